#pragma once

#include "records/LibraryRecords.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;
class TConfig;
class TdmMain;
class TfrmEditorAuthor;
class TUserPrompts;

// Asks for a full-text file in the folder last used for one (and remembers the new folder); empty when
// cancelled.
QString PickFullTextFile(TConfig &config, TUserPrompts &prompts);

// The paper editor: the bibliographic fields, the authors (each in the author editor) and a full-text file
// that is moved into the library when the editor is accepted. The subtitle and the type are shown, not edited.
class TfrmPaper final : public QDialog
{
    Q_OBJECT

public:
    TfrmPaper(TConfig &config, TdmMain &dm, TUserPrompts &prompts, QWidget *parent = nullptr);
    ~TfrmPaper() override;

    void SetValues(const TPaperRecord &paper);
    // The fields into the record; a picked file goes into the library under the paper's name.
    void GetValues(TPaperRecord &paper);
    // A title, a whole-number year and at least one author.
    bool ValidateData() const;
    void accept() override;

    // Adds (mmNew) or edits the selected author, again and again while the author editor asks for one more.
    void ModifyAuthor(TModifyMode mode);
    void DeleteAuthor();
    void PickFile();

    // Shows the author editor; tests answer it instead of a user.
    std::function<int(TfrmEditorAuthor &, TModifyMode)> RunAuthorEditor;

    QLineEdit *Field(const QString &name) const;
    QComboBox *Types() const { return FTypes; }
    QTreeWidget *Authors() const { return FAuthors; }
    QString SelectedFileName() const { return FSelectedFileName; }

private:
    TConfig &FConfig;
    TdmMain &FDm;
    TUserPrompts &FPrompts;
    QComboBox *FTypes;
    QPlainTextEdit *FAbst;
    QTreeWidget *FAuthors;
    TfrmEditorAuthor *FAuthorEditor;
    QString FSelectedFileName;
};
