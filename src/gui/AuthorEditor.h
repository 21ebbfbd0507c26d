#pragma once

#include "records/LibraryRecords.h"

#include <QDialog>
#include <QLabel>

class QLineEdit;
class QPushButton;
class QVBoxLayout;

// A label drawn as a rounded box in the tooltip colours, its text word-wrapped and vertically centred.
class TFenStaticTip final : public QLabel
{
    Q_OBJECT

public:
    explicit TFenStaticTip(QWidget *parent = nullptr);
    int ArcSize = 10;
    int TextMargin = 10;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The small editors' frame: the fields in a framed panel, "Save" and "Cancel" at the bottom right.
class TfrmEditorBase : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmEditorBase(QWidget *parent = nullptr);

protected:
    QVBoxLayout *Fields() const { return FFields; }
    QVBoxLayout *Bottom() const { return FBottom; }
    QPushButton *SaveButton() const { return FSave; }

private:
    QVBoxLayout *FFields;
    QVBoxLayout *FBottom;
    QPushButton *FSave;
};

// One author's first and last name. Enter saves; in a new author Ctrl+Enter (or "One more") saves and asks
// for the next one; "Replace" swaps the two names and drops their commas.
class TfrmEditorAuthor final : public TfrmEditorBase
{
    Q_OBJECT

public:
    explicit TfrmEditorAuthor(QWidget *parent = nullptr);

    // Prepares the editor for the mode (a new author starts empty) and shows it modally.
    int ShowMode(TModifyMode mode);
    // The preparation of ShowMode without showing.
    void Prepare(TModifyMode mode);
    bool Continue = false;

    QLineEdit *FirstEdit() const { return FFirst; }
    QLineEdit *LastEdit() const { return FLast; }
    QPushButton *OneMoreButton() const { return FOneMore; }
    TFenStaticTip *StaticTip() const { return FTip; }
    void Replace();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Finish(bool more);

    TModifyMode FMode = TModifyMode::mmNew;
    QLineEdit *FFirst;
    QLineEdit *FLast;
    QPushButton *FOneMore;
    TFenStaticTip *FTip;
};
