#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTabWidget;
class QTextEdit;
class TUserPrompts;

// What an insert button of the composer does to the template text: the element or the codes around the
// selection, one blank after them, and where the caret goes.
struct TInsertion
{
    QString Text;
    int Caret = 0;
};
TInsertion InsertElement(const QString &text, int start, int selectionLength, int tag);

// The template composer: one template text of a style with its publication type and the style's parameters,
// insert buttons for the elements and formatting codes, a preview on demo data and validation on saving.
class TfrmCreateMask final : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmCreateMask(TUserPrompts &prompts, QWidget *parent = nullptr);

    QString Template() const;
    void SetTemplate(const QString &text);
    QString AuthDelimeter() const;
    void SetAuthDelimeter(const QString &value);
    QString NumFormat() const;
    void SetNumFormat(const QString &value);
    int EtAlLimit() const;
    void SetEtAlLimit(int value);
    QComboBox *Types() const { return FTypes; }

    // The preview of the template on the demo data (also run when the "Preview" page is chosen).
    void ParseTestTemplate();
    QString PreviewText() const;
    // "&Save": closes only with a valid template text.
    void SaveMask();
    void Insert(int tag);
    QLineEdit *Demo(const QString &name) const;
    QLabel *DemoLabel(const QString &name) const;
    QTabWidget *Pages() const { return FPages; }
    // Opens the help pages at a topic; set by the styles manager.
    std::function<void(int)> ShowHelp;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TUserPrompts &FPrompts;
    QTabWidget *FPages;
    QTextEdit *FTemplate;
    QLineEdit *FAuthDelimeter;
    QLineEdit *FNumFormat;
    QSpinBox *FEtAlLimit;
    QComboBox *FTypes;
    QTextEdit *FPreview;
};
