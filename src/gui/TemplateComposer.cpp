#include "TemplateComposer.h"

#include "records/LibraryRecords.h"
#include "records/TypeCodes.h"
#include "shell/UserPrompts.h"
#include "shell/VarnelError.h"
#include "styles/Templater.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

struct TInsertButton
{
    int Tag;
    const char *Caption;
    const char *Before;
    const char *After; // around the selection; null for an element that replaces it
    int CaretOffset;
    const char *Hint;
};

// clang-format off
const TInsertButton InsertButtons[] = {
    {1, "F.M. Last", "%fn", nullptr, 3, "Authors in a form of: \nIntials are first, the last name is the last.\nex: I.E. Petrov"},
    {2, "Last F.M.", "%ln", nullptr, 3, "Authors in a form of: \nThe last name is the firs, initials are last\nex: Petrov I.E."},
    {3, "Last FM", "%ld", nullptr, 3, "Authors in a form of: \nThe last name is the firs, initials are last\nWithout dots\nex: Petrov IE"},
    {4, "[ ... ]", "[", "]", 1, nullptr},
    {5, "( ... )", "(", ")", 1, nullptr},
    {6, ",", ",", nullptr, 1, nullptr},
    {7, "Title", "%pt", nullptr, 3, nullptr},
    {8, "First page", "%ps", nullptr, 3, nullptr},
    {9, "Last page", "%pe", nullptr, 3, nullptr},
    {10, "Title", "%jt", nullptr, 3, nullptr},
    {11, "Jour. Abbrv.", "%ja", nullptr, 3, "Journal's abbreviation\nEx: Tribol. Lett."},
    {12, "Jour Abbrv", "%jd", nullptr, 3, "Journal's abbreviation without dots\nEx: Tribol Lett"},
    {13, "Volume", "%jv", nullptr, 3, nullptr},
    {14, "Issue", "%ji", nullptr, 3, nullptr},
    {15, "Year", "%jy", nullptr, 3, nullptr},
    {16, "Publisher's title", "%pb", nullptr, 3, nullptr},
    {17, "City", "%cy", nullptr, 3, nullptr},
    {18, "Year", "%jy", nullptr, 3, nullptr},
    {19, "Italic", "\\i ", "\\i0", 2, nullptr},
    {20, "Bold", "\\b ", "\\b0", 2, nullptr},
    {21, "Underline", "\\ul ", "\\ul0", 3, nullptr},
    {22, "StrikeOut", "\\strike ", "\\strike0", 7, nullptr},
};
// clang-format on

const struct
{
    const char *Caption;
    int First, Last;
} ButtonGroups[] = {{"Authors", 1, 3}, {"Helpers", 4, 6}, {"Paper", 7, 9}, {"Journal", 10, 15}, {"Publisher", 16, 18},
    {"Font style", 19, 22}};

// The style's formatting codes as the preview's markup.
QString PreviewHtml(const QString &line)
{
    QString html = line.toHtmlEscaped();
    for (const auto &[code, tag] : {std::pair {"\\b0", "</b>"}, std::pair {"\\b ", "<b>"}, std::pair {"\\i0", "</i>"},
             std::pair {"\\i ", "<i>"}, std::pair {"\\ul0", "</u>"}, std::pair {"\\ul ", "<u>"},
             std::pair {"\\strike0", "</s>"}, std::pair {"\\strike ", "<s>"}})
        html.replace(QLatin1String(code), QLatin1String(tag));
    return html;
}

} // namespace

TInsertion InsertElement(const QString &text, int start, int selectionLength, int tag)
{
    const auto button = std::find_if(
        std::begin(InsertButtons), std::end(InsertButtons), [tag](const TInsertButton &b) { return b.Tag == tag; });
    if (button == std::end(InsertButtons))
        return {text, start};
    start = std::clamp(start, 0, int(text.size()));
    selectionLength = std::clamp(selectionLength, 0, int(text.size()) - start);
    const QString selected = text.mid(start, selectionLength);
    QString inserted = QString::fromLatin1(button->Before);
    if (button->After)
        inserted += selected + QString::fromLatin1(button->After);
    QString result = text;
    result.remove(start, selectionLength);
    result.insert(start, inserted + u' ');
    return {result, start + button->CaretOffset};
}

TfrmCreateMask::TfrmCreateMask(TUserPrompts &prompts, QWidget *parent)
    : QDialog(parent)
    , FPrompts(prompts)
{
    setObjectName(QStringLiteral("TfrmCreateMask"));
    setWindowTitle(QStringLiteral("Template composition"));
    auto *layout = new QVBoxLayout(this);
    FPages = new QTabWidget;
    layout->addWidget(FPages);

    // Editor
    auto *editor = new QWidget;
    auto *editorLayout = new QVBoxLayout(editor);
    auto *typeRow = new QHBoxLayout;
    FTypes = new QComboBox;
    for (const QString &name : PaperTypeNames)
        FTypes->addItem(name);
    typeRow->addWidget(FTypes);
    auto *clear = new QPushButton(QStringLiteral("Clear template"));
    typeRow->addWidget(clear);
    typeRow->addStretch(1);
    editorLayout->addLayout(typeRow);
    FTemplate = new QTextEdit;
    FTemplate->setAcceptRichText(false);
    FTemplate->setObjectName(QStringLiteral("edTemplate"));
    FTemplate->setMaximumHeight(90);
    connect(clear, &QPushButton::clicked, FTemplate, &QTextEdit::clear);
    editorLayout->addWidget(FTemplate);
    auto *groups = new QGridLayout;
    int column = 0;
    for (const auto &group : ButtonGroups) {
        auto *box = new QGroupBox(QString::fromLatin1(group.Caption));
        auto *buttons = new QVBoxLayout(box);
        for (int tag = group.First; tag <= group.Last; ++tag) {
            const TInsertButton &desc = InsertButtons[tag - 1];
            auto *button = new QPushButton(QString::fromLatin1(desc.Caption));
            button->setObjectName(QStringLiteral("Insert%1").arg(tag));
            button->setAutoDefault(false);
            if (desc.Hint)
                button->setToolTip(QString::fromLatin1(desc.Hint));
            connect(button, &QPushButton::clicked, this, [this, tag] { Insert(tag); });
            buttons->addWidget(button);
        }
        buttons->addStretch(1);
        groups->addWidget(box, 0, column++);
    }
    editorLayout->addLayout(groups);
    editorLayout->addWidget(new QLabel(QStringLiteral("Click on an element to add it into the template")));
    FPages->addTab(editor, QStringLiteral("Editor"));

    // Preview
    auto *preview = new QWidget;
    auto *previewLayout = new QVBoxLayout(preview);
    auto *demo = new QGroupBox(QStringLiteral("Demo data"));
    auto *demoLayout = new QFormLayout(demo);
    for (const auto &[name, text] :
        {std::pair {"First", "Ivan"}, std::pair {"Last", "Ivanov"}, std::pair {"First2", "Peter"},
            std::pair {"Last2", "Petrov"}, std::pair {"Title", "New impressive results"},
            std::pair {"Abbreviation", "J. Inter. Facts"}, std::pair {"City", "San Diego"}, std::pair {"Volume", "512"},
            std::pair {"Issue", "1-2"}, std::pair {"P1", "125"}, std::pair {"P2", "147"}, std::pair {"Year", "2012"}}) {
        auto *edit = new QLineEdit(QString::fromLatin1(text));
        edit->setObjectName(QString::fromLatin1(name));
        auto *label = new QLabel(QString::fromLatin1(name));
        label->setObjectName(QStringLiteral("label") + QString::fromLatin1(name));
        demoLayout->addRow(label, edit);
        connect(edit, &QLineEdit::textEdited, this, &TfrmCreateMask::ParseTestTemplate);
    }
    previewLayout->addWidget(demo);
    FPreview = new QTextEdit;
    FPreview->setReadOnly(true);
    FPreview->setObjectName(QStringLiteral("Preview"));
    previewLayout->addWidget(FPreview);
    FPages->addTab(preview, QStringLiteral("Preview"));

    // Template Parameters
    auto *parameters = new QWidget;
    auto *parameterLayout = new QFormLayout(parameters);
    FAuthDelimeter = new QLineEdit(QStringLiteral(","));
    FNumFormat = new QLineEdit(QStringLiteral("[%d]"));
    FEtAlLimit = new QSpinBox;
    FEtAlLimit->setRange(1, 99);
    FEtAlLimit->setValue(6);
    parameterLayout->addRow(QStringLiteral("Author delimeter char"), FAuthDelimeter);
    parameterLayout->addRow(QStringLiteral("List numbering format"), FNumFormat);
    parameterLayout->addRow(new QLabel(QStringLiteral(
        "'%d' will be replased with a paper number in the current list.\nValid examples: [%d], (%d). %d.")));
    parameterLayout->addRow(QStringLiteral("'et al.' limit"), FEtAlLimit);
    auto *limit = new QLabel(QStringLiteral("If a paper has more authors than the limit value N here, only N author "
                                            "will be listed and 'et al.' will be added. "));
    limit->setWordWrap(true);
    parameterLayout->addRow(limit);
    FPages->addTab(parameters, QStringLiteral("Template Parameters"));

    // Help
    auto *help = new QTextEdit;
    help->setReadOnly(true);
    QString elements;
    for (const QString &name : TTemplater::ElementNames())
        elements += u'%' + name + u'\n';
    help->setPlainText(QStringLiteral("Elements of a template:\n\n") + elements);
    FPages->addTab(help, QStringLiteral("Help"));
    connect(FPages, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == 1)
            ParseTestTemplate();
    });

    auto *buttons = new QDialogButtonBox;
    QPushButton *save = buttons->addButton(QStringLiteral("&Save"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    QPushButton *helpButton = buttons->addButton(QStringLiteral("Help"), QDialogButtonBox::HelpRole);
    connect(helpButton, &QPushButton::clicked, this, [this] {
        if (ShowHelp)
            ShowHelp(304);
    });
    disconnect(save, nullptr, nullptr, nullptr);
    connect(save, &QPushButton::clicked, this, &TfrmCreateMask::SaveMask);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(760, 460);
}

QString TfrmCreateMask::Template() const
{
    return FTemplate->toPlainText();
}

void TfrmCreateMask::SetTemplate(const QString &text)
{
    FTemplate->setPlainText(text);
}

QString TfrmCreateMask::AuthDelimeter() const
{
    return FAuthDelimeter->text();
}

void TfrmCreateMask::SetAuthDelimeter(const QString &value)
{
    FAuthDelimeter->setText(value);
}

QString TfrmCreateMask::NumFormat() const
{
    return FNumFormat->text();
}

void TfrmCreateMask::SetNumFormat(const QString &value)
{
    FNumFormat->setText(value);
}

int TfrmCreateMask::EtAlLimit() const
{
    return FEtAlLimit->value();
}

void TfrmCreateMask::SetEtAlLimit(int value)
{
    FEtAlLimit->setValue(value);
}

QLineEdit *TfrmCreateMask::Demo(const QString &name) const
{
    return findChild<QLineEdit *>(name);
}

QLabel *TfrmCreateMask::DemoLabel(const QString &name) const
{
    return findChild<QLabel *>(QStringLiteral("label") + name);
}

void TfrmCreateMask::showEvent(QShowEvent *event)
{
    FPages->setCurrentIndex(0);
    QDialog::showEvent(event);
}

void TfrmCreateMask::Insert(int tag)
{
    QTextCursor cursor = FTemplate->textCursor();
    const TInsertion result
        = InsertElement(Template(), cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart(), tag);
    FTemplate->setPlainText(result.Text);
    cursor = FTemplate->textCursor();
    cursor.setPosition(result.Caret);
    FTemplate->setTextCursor(cursor);
    FTemplate->setFocus();
}

void TfrmCreateMask::ParseTestTemplate()
{
    const int typeIndex = FTypes->currentIndex();
    const QChar type = typeIndex < 0 ? QChar(u'J') : QChar(PaperTypeCodes[std::size_t(typeIndex)]);
    const bool book = type == u'B';
    // The two container edits follow the type on every preview.
    DemoLabel(QStringLiteral("Abbreviation"))
        ->setText(book ? QStringLiteral("Publisher") : QStringLiteral("Journal name"));
    DemoLabel(QStringLiteral("City"))->setText(book ? QStringLiteral("City") : QStringLiteral("J. Abbrev."));
    Demo(QStringLiteral("Abbreviation"))
        ->setText(book ? QStringLiteral("AIP Publishing") : QStringLiteral("Applied Physics Letters"));
    Demo(QStringLiteral("City"))->setText(book ? QStringLiteral("San-Diego") : QStringLiteral("App. Phys. Lett."));

    TTemplateRecord style;
    style.Fields = {{0, type, Template()}};
    style.AuthDelimeter = AuthDelimeter().left(1);
    style.NumFormat = NumFormat();
    style.EtAlLimit = EtAlLimit();
    TTemplater templater;
    if (templater.SetTemplate(&style) != TErrorType::ErFine) {
        FPreview->setPlainText(QStringLiteral("Template error!"));
        return;
    }
    const auto demo = [this](const char *name) { return Demo(QString::fromLatin1(name))->text(); };
    TPaperRecord paper;
    paper.PType = type;
    paper.Title = demo("Title");
    paper.Journal = std::make_shared<TJournalRecord>();
    paper.Journal->Title = demo("Abbreviation");
    paper.Journal->Abbrv = demo("City");
    paper.Journal->City = demo("City");
    paper.Volume = demo("Volume");
    paper.Issue = demo("Issue");
    paper.PS = demo("P1");
    paper.PE = demo("P2");
    bool yearOk = false;
    paper.Year = demo("Year").toInt(&yearOk);
    paper.AuthorList = {{0, demo("First"), demo("Last")}, {0, demo("First2"), demo("Last2")}};
    try {
        if (!yearOk)
            throw EVarnelError(QStringLiteral("\"%1\" is not a valid year").arg(demo("Year")));
        FPreview->setHtml(PreviewHtml(templater.ParseString(paper, 1)));
    } catch (const EVarnelError &error) {
        FPrompts.ShowMessage(error.Message(), TMessageKind::mkError);
    }
}

QString TfrmCreateMask::PreviewText() const
{
    return FPreview->toPlainText();
}

void TfrmCreateMask::SaveMask()
{
    TTemplater templater;
    switch (templater.ValidateTemplate(Template())) {
    case TErrorType::ErFine:
        accept();
        return;
    case TErrorType::ErTemplate:
        FPrompts.ShowMessage(QStringLiteral("Wrong template format!"), TMessageKind::mkWarning);
        return;
    case TErrorType::ErBlocks:
        FPrompts.ShowMessage(QStringLiteral("Check blocks!"), TMessageKind::mkWarning);
        return;
    case TErrorType::ErElements:
        FPrompts.ShowMessage(QStringLiteral("Unsupported elements!"), TMessageKind::mkWarning);
        return;
    }
}
