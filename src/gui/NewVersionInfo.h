#pragma once

#include <QDialog>

#include <functional>

class QLabel;
struct TVersionInfo;

// The announcement of a newer version: its number, the change list and the download address as a link; a click
// hands the address, as the update file gives it, to openUrl.
class TfrmNewVersionInfo final : public QDialog
{
    Q_OBJECT

public:
    TfrmNewVersionInfo(
        const TVersionInfo &info, const std::function<void(const QString &)> &openUrl, QWidget *parent = nullptr);

    QLabel *VersionLabel() const { return FVersion; }
    QLabel *ChangesLabel() const { return FChanges; }
    QLabel *UrlLabel() const { return FUrl; }

private:
    QLabel *FVersion;
    QLabel *FChanges;
    QLabel *FUrl;
};
