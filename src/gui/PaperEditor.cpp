#include "PaperEditor.h"

#include "AuthorEditor.h"
#include "library/DataModule.h"
#include "records/TypeCodes.h"
#include "shell/Config.h"
#include "shell/PaperFiles.h"
#include "shell/UserPrompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum TAuthorRole { IdRole = Qt::UserRole };

} // namespace

TfrmPaper::TfrmPaper(TConfig &config, TdmMain &dm, TUserPrompts &prompts, QWidget *parent)
    : QDialog(parent, Qt::Tool)
    , FConfig(config)
    , FDm(dm)
    , FPrompts(prompts)
{
    setObjectName(QStringLiteral("TfrmPaper"));
    setWindowTitle(QStringLiteral("New/Edit journal"));
    const auto edit = [this](const char *name) {
        auto *field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(name));
        return field;
    };
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(edit("Title"));
    QLineEdit *subTitle = edit("SubTitle");
    subTitle->setEnabled(false);
    layout->addWidget(subTitle);
    FTypes = new QComboBox;
    for (const QString &name : PaperTypeNames)
        FTypes->addItem(name);
    FTypes->setEnabled(false);

    auto *grid = new QGridLayout;
    grid->addWidget(FTypes, 0, 0, 1, 2);
    const auto row = [&](int at, const char *caption, QWidget *field, int column = 0, int span = 1) {
        grid->addWidget(new QLabel(QString::fromLatin1(caption)), at, column);
        grid->addWidget(field, at, column + 1, 1, span);
    };
    row(1, "Year", edit("Year"));
    row(1, "Volume", edit("Volume"), 2);
    row(2, "Issue", edit("Issue"));
    auto *pages = new QHBoxLayout;
    pages->addWidget(edit("PageStart"));
    pages->addWidget(new QLabel(QStringLiteral("-")));
    pages->addWidget(edit("PageEnd"));
    grid->addWidget(new QLabel(QStringLiteral("pp.")), 2, 2);
    grid->addLayout(pages, 2, 3);
    row(3, "Keywords", edit("Keywords"), 0, 3);
    row(4, "URL", edit("URL"), 0, 3);
    row(5, "DOI", edit("DOI"), 0, 3);
    layout->addLayout(grid);

    FAuthors = new QTreeWidget;
    FAuthors->setRootIsDecorated(false);
    FAuthors->setHeaderLabels({QStringLiteral("First"), QStringLiteral("Last")});
    FAuthors->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(FAuthors, &QTreeWidget::itemDoubleClicked, this, [this] { ModifyAuthor(TModifyMode::mmEdit); });
    auto *authors = new QHBoxLayout;
    authors->addWidget(FAuthors, 1);
    auto *authorButtons = new QVBoxLayout;
    for (const auto &[caption, action] :
        {std::pair<const char *, std::function<void()>> {"Add", [this] { ModifyAuthor(TModifyMode::mmNew); }},
            std::pair<const char *, std::function<void()>> {"Edit", [this] { ModifyAuthor(TModifyMode::mmEdit); }},
            std::pair<const char *, std::function<void()>> {"Delete", [this] { DeleteAuthor(); }}}) {
        auto *button = new QPushButton(QString::fromLatin1(caption));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, action);
        authorButtons->addWidget(button);
    }
    authorButtons->addStretch(1);
    authors->addLayout(authorButtons);
    layout->addLayout(authors, 1);
    FAbst = new QPlainTextEdit;
    FAbst->setObjectName(QStringLiteral("Abst"));
    layout->addWidget(FAbst, 1);

    auto *bottom = new QHBoxLayout;
    auto *file = new QPushButton(QStringLiteral("Add file ..."));
    file->setAutoDefault(false);
    connect(file, &QPushButton::clicked, this, &TfrmPaper::PickFile);
    bottom->addWidget(file);
    bottom->addStretch(1);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmPaper::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfrmPaper::reject);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    FAuthorEditor = new TfrmEditorAuthor(this);
    RunAuthorEditor = [](TfrmEditorAuthor &editor, TModifyMode mode) { return editor.ShowMode(mode); };
    resize(560, 620);
}

TfrmPaper::~TfrmPaper() = default;

QLineEdit *TfrmPaper::Field(const QString &name) const
{
    return findChild<QLineEdit *>(name);
}

void TfrmPaper::SetValues(const TPaperRecord &paper)
{
    const auto set
        = [this](const char *name, const QString &value) { Field(QString::fromLatin1(name))->setText(value); };
    set("Title", paper.Title);
    set("SubTitle", paper.SubTitle);
    set("Year", QString::number(paper.Year));
    set("Volume", paper.Volume);
    set("Issue", paper.Issue);
    set("PageStart", paper.PS);
    set("PageEnd", paper.PE);
    set("Keywords", paper.Keywords);
    set("URL", paper.URL);
    set("DOI", paper.DOI);
    FAbst->setPlainText(paper.Abst);
    FTypes->setCurrentIndex(PaperTypeIndex(paper.PType));
    FAuthors->clear();
    for (const TAuthorRecord &author : paper.AuthorList) {
        auto *item = new QTreeWidgetItem(FAuthors, {author.First, author.Last});
        item->setData(0, IdRole, author.ID);
    }
    FSelectedFileName.clear();
}

void TfrmPaper::GetValues(TPaperRecord &paper)
{
    const auto get = [this](const char *name) { return Field(QString::fromLatin1(name))->text(); };
    paper.Title = get("Title");
    paper.SubTitle = get("SubTitle");
    paper.Volume = get("Volume");
    paper.Issue = get("Issue");
    paper.Year = get("Year").trimmed().toInt();
    paper.PS = get("PageStart");
    paper.PE = get("PageEnd");
    paper.URL = get("URL");
    paper.DOI = get("DOI");
    paper.Keywords = get("Keywords");
    paper.Abst = FAbst->toPlainText();
    paper.PType = QChar(PaperTypeCodes[std::size_t(std::clamp(FTypes->currentIndex(), 0, 5))]);
    paper.AuthorList.clear();
    for (int i = 0; i < FAuthors->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = FAuthors->topLevelItem(i);
        paper.AuthorList.append({item->data(0, IdRole).toInt(), item->text(0), item->text(1)});
    }
    MoveIntoLibrary(FConfig.LibraryFolder(), paper, FSelectedFileName);
}

bool TfrmPaper::ValidateData() const
{
    bool wholeYear = false;
    Field(QStringLiteral("Year"))->text().trimmed().toInt(&wholeYear);
    return !Field(QStringLiteral("Title"))->text().isEmpty() && FAuthors->topLevelItemCount() > 0 && wholeYear;
}

void TfrmPaper::accept()
{
    if (!ValidateData()) {
        FPrompts.ShowMessage(QStringLiteral("Please fill requred fields!"), TMessageKind::mkWarning);
        return;
    }
    QDialog::accept();
}

void TfrmPaper::ModifyAuthor(TModifyMode mode)
{
    do {
        QTreeWidgetItem *item = nullptr;
        if (mode == TModifyMode::mmEdit) {
            const QList<QTreeWidgetItem *> selected = FAuthors->selectedItems();
            if (selected.isEmpty())
                return;
            item = selected.first();
            FAuthorEditor->FirstEdit()->setText(item->text(0));
            FAuthorEditor->LastEdit()->setText(item->text(1));
        }
        if (RunAuthorEditor(*FAuthorEditor, mode) != QDialog::Accepted)
            return;
        if (mode == TModifyMode::mmNew) {
            item = new QTreeWidgetItem(FAuthors);
            item->setData(0, IdRole, 0);
        }
        item->setText(0, FAuthorEditor->FirstEdit()->text().trimmed());
        item->setText(1, FAuthorEditor->LastEdit()->text().trimmed());
    } while (FAuthorEditor->Continue);
}

void TfrmPaper::DeleteAuthor()
{
    if (!FPrompts.Ask(QStringLiteral("Delete selected author?")))
        return;
    const QList<QTreeWidgetItem *> selected = FAuthors->selectedItems();
    if (selected.isEmpty())
        return;
    QTreeWidgetItem *item = selected.first();
    // Gone from the library at once, also when the editor is cancelled afterwards.
    if (const int id = item->data(0, IdRole).toInt(); id > 0)
        FDm.DeleteAuthor(id);
    delete item;
}

QString PickFullTextFile(TConfig &config, TUserPrompts &prompts)
{
    TPathOptions &paths = config.GetOptions<TPathOptions>();
    const QString file = prompts.OpenFileName(
        QStringLiteral("Open"), paths.LastAddPaperFolder(), QStringLiteral("All formats  (*.pdf *.djvu *.chm)"));
    if (!file.isEmpty())
        paths.SetLastAddPaperFolder(QFileInfo(file).absolutePath() + u'/');
    return file;
}

void TfrmPaper::PickFile()
{
    const QString file = PickFullTextFile(FConfig, FPrompts);
    if (!file.isEmpty())
        FSelectedFileName = file;
}
