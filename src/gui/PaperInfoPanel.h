#pragma once

#include <QLabel>
#include <QWidget>

class QMenu;

// The "Description" tab of a library page: authors, title (bold), citation line, address (a link that opens
// in the browser), abstract, and a reference label. Every text can be copied through its context menu.
class TPaperInfoPanel final : public QWidget
{
    Q_OBJECT

public:
    explicit TPaperInfoPanel(QWidget *parent = nullptr);

    // ID and FileName are not shown.
    void SetBookInfo(int ID, QChar AType, const QString &Authors, const QString &Title, const QString &Journal,
        const QString &Abbrv, const QString &Vol, const QString &Issue, const QString &Pages, const QString &Year,
        const QString &URL, const QString &Abs, const QString &FileName);
    void Clear();

    QLabel *AuthorsLabel() const { return FAuthors; }
    QLabel *TitleLabel() const { return FTitle; }
    QLabel *JournalLabel() const { return FJournal; }
    QLabel *UrlLabel() const { return FURL; }
    QLabel *AbstractLabel() const { return FAbstract; }
    QLabel *IdLabel() const { return FID; }
    // "Copy to Clipboard" for the label the menu was opened over; the link label gives its address.
    void CopyLabelText(QLabel *label) const;

private:
    QLabel *FAuthors;
    QLabel *FTitle;
    QLabel *FJournal;
    QLabel *FURL;
    QLabel *FAbstract;
    QLabel *FID;
    QString FUrlText;
};
