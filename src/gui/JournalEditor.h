#pragma once

#include "records/LibraryRecords.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class TUserPrompts;

// The journal editor: title, abbreviation, impact, address, city and comment of a journal, publisher or
// conference. The type is shown but never changed; the labels and the enabled fields follow it. "Ok" closes
// only with a title.
class TfrmJournal final : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmJournal(TUserPrompts &prompts, QWidget *parent = nullptr);

    void SetValues(const TJournalRecord &journal);
    void GetValues(TJournalRecord &journal) const;
    bool ValidateData() const;
    void accept() override;

    QLineEdit *Field(const QString &name) const;
    QLabel *TitleLabel() const { return FTitleLabel; }
    QComboBox *Types() const { return FTypes; }

private:
    TUserPrompts &FPrompts;
    QLabel *FTitleLabel;
    QLineEdit *FTitle;
    QLineEdit *FAbbrv;
    QLineEdit *FImpact;
    QLineEdit *FURL;
    QLineEdit *FCity;
    QPlainTextEdit *FComment;
    QComboBox *FTypes;
};
