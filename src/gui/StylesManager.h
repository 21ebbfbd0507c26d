#pragma once

#include "records/LibraryRecords.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;
class TdmMain;
class TfrmCreateMask;
class TUserPrompts;

// The styles manager: the library's citation styles with their template fields in a tree. Styles and fields
// are added and edited here and saved with "Ok"; deletions reach the library at once. The style chosen last
// is the one the window makes active after "Ok".
class TfrmTemplate final : public QDialog
{
    Q_OBJECT

public:
    TfrmTemplate(TdmMain &dm, TUserPrompts &prompts, QWidget *parent = nullptr);
    ~TfrmTemplate() override;

    // Rebuilds the tree from the styles; the style titled like the active one is chosen.
    void FillList(const TTemplates &templates, const QString &active);
    // The title of the style chosen last as it stands now (renamed here or not); empty when none was chosen.
    QString LastTemplateTitle() const;

    void AddStyle();
    void AddField();
    void ModifyTemplate();
    void Delete();
    void accept() override;

    // Opens the help pages at a topic; the window gives it its own, and the composer gets it too.
    void SetShowHelp(std::function<void(int)> showHelp);
    // Shows the composer; tests answer it instead of a user.
    std::function<bool(TfrmCreateMask &)> RunComposer;
    QTreeWidget *Tree() const { return FTree; }

private:
    struct TStyle;
    TStyle *StyleOf(QTreeWidgetItem *item) const;
    QTreeWidgetItem *StyleItem(QTreeWidgetItem *item) const;
    QTreeWidgetItem *AddFieldItem(QTreeWidgetItem *style, int id, QChar type, const QString &text);

    TdmMain &FDm;
    TUserPrompts &FPrompts;
    QTreeWidget *FTree;
    TfrmCreateMask *FComposer;
    std::vector<std::unique_ptr<TStyle>> FStyles;
    TStyle *FLast = nullptr;
    std::function<void(int)> FShowHelp;
};
