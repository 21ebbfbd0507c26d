#include "JournalEditor.h"

#include "records/TypeCodes.h"
#include "shell/UserPrompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

struct TTypeLook
{
    QChar Code;
    const char *TitleLabel;
    const char *Caption;
    bool Impact, City, Abbrv;
};

const TTypeLook Looks[] = {
    {u'J', "Journal title", "New/Edit Journal", true, false, true},
    {u'P', "Publisher", "New/Edit Publisher", false, true, false},
    {u'C', "Conference name", "New/Edit Conference", false, true, true},
};

} // namespace

TfrmJournal::TfrmJournal(TUserPrompts &prompts, QWidget *parent)
    : QDialog(parent, Qt::Tool)
    , FPrompts(prompts)
{
    setObjectName(QStringLiteral("TfrmJournal"));
    setWindowTitle(QStringLiteral("New/Edit Journal"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    const auto edit = [](const char *name) {
        auto *field = new QLineEdit;
        field->setObjectName(QString::fromLatin1(name));
        return field;
    };
    FTitle = edit("Title");
    FAbbrv = edit("Abbrv");
    FImpact = edit("Impact");
    FURL = edit("URL");
    FCity = edit("City");
    FTitleLabel = new QLabel(QStringLiteral("Title"));
    form->addRow(FTitleLabel, FTitle);
    form->addRow(QStringLiteral("Abbreviation"), FAbbrv);
    form->addRow(QStringLiteral("Impact"), FImpact);
    form->addRow(QStringLiteral("URL"), FURL);
    form->addRow(QStringLiteral("City"), FCity);
    FTypes = new QComboBox;
    FTypes->addItems({QStringLiteral("Journal"), QStringLiteral("Publisher"), QStringLiteral("Conference")});
    FTypes->setEnabled(false);
    form->addRow(FTypes);
    layout->addLayout(form);
    FComment = new QPlainTextEdit;
    FComment->setObjectName(QStringLiteral("Comment"));
    layout->addWidget(FComment);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmJournal::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfrmJournal::reject);
    layout->addWidget(buttons);
    resize(420, 360);
}

void TfrmJournal::SetValues(const TJournalRecord &journal)
{
    FTitle->setText(journal.Title);
    FAbbrv->setText(journal.Abbrv);
    FImpact->setText(journal.Impact);
    FURL->setText(journal.URL);
    FCity->setText(journal.City);
    FComment->setPlainText(journal.Comment);
    // Only the three editable kinds have a look; the containers of patents and dissertations never come here.
    const int index = std::clamp(JournalTypeIndex(journal.JType), 0, 2);
    FTypes->setCurrentIndex(index);
    const TTypeLook &look = Looks[index];
    FTitleLabel->setText(QString::fromLatin1(look.TitleLabel));
    setWindowTitle(QString::fromLatin1(look.Caption));
    FImpact->setEnabled(look.Impact);
    FCity->setEnabled(look.City);
    FAbbrv->setEnabled(look.Abbrv);
}

void TfrmJournal::GetValues(TJournalRecord &journal) const
{
    journal.Title = FTitle->text();
    journal.Abbrv = FAbbrv->text();
    journal.City = FCity->text();
    journal.Impact = FImpact->text();
    journal.URL = FURL->text();
    journal.Comment = FComment->toPlainText();
    journal.JType = Looks[std::clamp(FTypes->currentIndex(), 0, 2)].Code;
}

bool TfrmJournal::ValidateData() const
{
    return !FTitle->text().isEmpty();
}

void TfrmJournal::accept()
{
    if (!ValidateData()) {
        FPrompts.ShowMessage(QStringLiteral("Please fill requred fields!"), TMessageKind::mkWarning);
        return;
    }
    QDialog::accept();
}

QLineEdit *TfrmJournal::Field(const QString &name) const
{
    return findChild<QLineEdit *>(name);
}
