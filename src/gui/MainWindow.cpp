#include "MainWindow.h"

#include "Commands.h"
#include "InfoPopup.h"
#include "JournalEditor.h"
#include "NewVersionInfo.h"
#include "PaperEditor.h"
#include "PaperInfoPanel.h"
#include "PaperListDelegate.h"
#include "PdfViewer.h"
#include "Ribbon.h"
#include "SettingsDialog.h"
#include "StylesManager.h"
#include "VarnelVersion.h"
#include "exchange/ImportFile.h"
#include "library/DataModule.h"
#include "shell/Config.h"
#include "shell/PaperFiles.h"
#include "shell/TextUtils.h"
#include "shell/UserPrompts.h"
#include "views/ColumnLayouts.h"
#include "web/AddPaperFromWeb.h"
#include "web/DownloadManagerThread.h"
#include "web/LocalStatus.h"
#include "web/VersionChecker.h"
#include "web/WebParser.h"
#include "wordlink/WordDocument.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <numeric>

namespace {

const char *const SectionOfPage[] = {"COLUMNS_JOURNALS", "COLUMNS_SEARCH", "COLUMNS_GROUPS"};

// Sizes of a two-pane splitter from the first pane's percentage, and back.
void SetPercent(QSplitter *splitter, int percent)
{
    percent = std::clamp(percent, 1, 99);
    splitter->setSizes({percent * 100, (100 - percent) * 100});
}

int Percent(const QSplitter *splitter)
{
    const QList<int> sizes = splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    return total > 0 ? sizes.value(0) * 100 / total : 50;
}

// The small find window of F3: every change of its text and every Right press go to the main window.
class TfrmBookSearch final : public QDialog
{
public:
    explicit TfrmBookSearch(TfrmMain *owner)
        : QDialog(owner, Qt::FramelessWindowHint | Qt::Dialog)
        , FOwner(owner)
    {
        setWindowOpacity(200.0 / 255.0);
        resize(258, 58);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QStringLiteral("Find by Author, Title or Journal")));
        FEdit = new QLineEdit;
        FEdit->setToolTip(QStringLiteral("Right : Next search result\nCtrl + Left : Clear\nESC : Close"));
        layout->addWidget(FEdit);
        connect(FEdit, &QLineEdit::textChanged, this, [this](const QString &text) { Report(text, false); });
        FEdit->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == FEdit && event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Right) {
                Report(FEdit->text(), true);
                return true;
            }
            if (key->key() == Qt::Key_Left && key->modifiers() & Qt::ControlModifier) {
                FEdit->clear();
                return true;
            }
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape) {
                accept();
                return true;
            }
        }
        return QDialog::eventFilter(watched, event);
    }

private:
    void Report(const QString &text, bool next)
    {
        if (FBusy)
            return;
        FBusy = true;
        FOwner->LocatePaper(text, next);
        FBusy = false;
        raise();
    }

    TfrmMain *FOwner;
    QLineEdit *FEdit;
    bool FBusy = false;
};

} // namespace

TfrmMain::TfrmMain(TConfig &config, TdmMain &dm, TUserPrompts &prompts, QWidget *parent)
    : QMainWindow(parent)
    , FConfig(config)
    , FDm(dm)
    , FPrompts(prompts)
{
    setObjectName(QStringLiteral("TfrmMain"));
    setWindowTitle(QStringLiteral("Varnel"));
    for (auto &model : FPaperModels)
        model = std::make_unique<TPaperListModel>(this);
    FQueue.LocalStatusReceiver = this;
    RunJournalEditor = [](TfrmJournal &editor) { return editor.exec() == QDialog::Accepted; };
    RunPaperEditor = [](TfrmPaper &editor) { return editor.exec() == QDialog::Accepted; };
    RunStylesManager = [](TfrmTemplate &manager) { return manager.exec() == QDialog::Accepted; };
    RunSettings = [](TfrmSettings &settings) { return settings.exec() == QDialog::Accepted; };
    RunNewVersionDialog = [](TfrmNewVersionInfo &dialog) { dialog.exec(); };
    OpenWordDocument = []() -> std::shared_ptr<TWordDocument> {
        throw EVarnelError(QStringLiteral("No word processor is linked to this window."));
    };
    FUpdateTimer = new QTimer(this); // tmrCheckUpdate: one automatic check, 10 s after the start
    FUpdateTimer->setInterval(10000);
    FUpdateTimer->setSingleShot(true);
    connect(FUpdateTimer, &QTimer::timeout, this, [this] { CheckForUpdate(true); });

    FHeaderMenu = new QMenu(this);
    for (const auto &[caption, tag] : {std::pair {"ID", 91}, std::pair {"Author", 92}, std::pair {"Title", 93},
             std::pair {"Journal", 94}, std::pair {"Volume", 95}, std::pair {"Issue", 96}, std::pair {"Pages", 97},
             std::pair {"Year", 98}, std::pair {"Added", 100}, std::pair {"No", 99}}) {
        QAction *entry = FHeaderMenu->addAction(QString::fromLatin1(caption));
        entry->setCheckable(true);
        entry->setData(tag);
        entry->setVisible(tag != 99);
        connect(entry, &QAction::triggered, this, [this, tag] { HeaderMenuClick(tag); });
    }

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    FCommands = new TCommands(this);
    FRibbon = new TRibbon(*FCommands, this);
    FCitationGroup = FRibbon->Group(QStringLiteral("Content"), QStringLiteral("Citation"));
    FJournalGroup = FRibbon->Group(QStringLiteral("Content"), QStringLiteral("Journal"));
    layout->addWidget(FRibbon);
    FPages = new QTabWidget;
    FPages->setTabPosition(QTabWidget::West);
    FPages->addTab(BuildJournalsPage(), QStringLiteral("All citations"));
    FPages->addTab(BuildSearchPage(), QStringLiteral("Search"));
    FPages->addTab(BuildGroupsPage(), QStringLiteral("Groups"));
    FPages->addTab(BuildDownloadsPage(), QStringLiteral("Downloads"));
    FPages->setTabVisible(pgDownloads, false); // reached through the "Downloads" ribbon tab only
    layout->addWidget(FPages, 1);
    setCentralWidget(central);
    connect(FPages, &QTabWidget::currentChanged, this, &TfrmMain::PageChanged);
    connect(FRibbon, &QTabWidget::currentChanged, this, &TfrmMain::RibbonTabChanged);
    BindCommands();
    BuildContextMenus();
    FQueue.NotifyPage(); // the download commands as an idle page offers them

    statusBar()->addWidget(new QLabel(QStringLiteral(VARNEL_VERSION)));
    FStatus = new QLabel;
    statusBar()->addWidget(FStatus, 1);
    FProgress = new QProgressBar;
    FProgress->setMaximumWidth(160);
    FProgress->setValue(0);
    statusBar()->addWidget(FProgress);
    statusBar()->addWidget(new QLabel);
    resize(1024, 700);
    setWindowIcon(TCommands::CommandIcon(QStringLiteral("varnel")));

    FDownloadManager = std::make_unique<TDownloadManager>(FQueue, FDm, FPrompts, &FConfig.GetOptions<TProxyOptions>(),
        TWebSites::FromIni(FConfig.IniFile()), [this] { return FConfig.LibraryFolder(); });
}

TfrmMain::~TfrmMain()
{
    FDownloadManager.reset(); // ends a run that is still going
    // A check still running ends without showing anything more.
    for (const auto &checker : FVersionCheckers) {
        checker->OnNewVersion = nullptr;
        checker->OnMessage = nullptr;
    }
    FVersionCheckers.clear();
    SaveLayout();
}

QTreeView *TfrmMain::NewPaperList(TPaperListModel &model, int tag)
{
    auto *view = new QTreeView;
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true); // long lists scroll without measuring every row
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setModel(&model);
    view->setItemDelegate(new TPaperListDelegate(view));
    view->setProperty("listTag", tag);
    view->header()->setSectionsClickable(true);
    view->header()->setSectionsMovable(true);
    view->header()->setStretchLastSection(false); // every column keeps the width the layout gives it
    view->header()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view->header(), &QHeaderView::customContextMenuRequested, this, [this, view](const QPoint &at) {
        SyncHeaderMenu();
        FHeaderMenu->exec(view->header()->mapToGlobal(at));
    });
    connect(view->header(), &QHeaderView::sectionClicked, &model, [view, &model](int logical) {
        model.HeaderClicked(logical);
        view->header()->setSortIndicator(logical, model.SortDirection());
    });
    const int page = tag - ltJournals;
    connect(
        view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this, page] { PaperSelected(page); });
    return view;
}

QSplitter *TfrmMain::BuildListAndDetails(int page, QWidget *searchForm)
{
    FPaperViews[page] = NewPaperList(*FPaperModels[page], ltJournals + page);
    FInfoPanels[page] = new TPaperInfoPanel;
    FDetailTabs[page] = new QTabWidget;
    if (searchForm)
        FDetailTabs[page]->addTab(searchForm, QStringLiteral("Search Query"));
    FDetailTabs[page]->addTab(FInfoPanels[page], QStringLiteral("Description"));
    FViewers[page] = new TPdfViewer;
    FViewers[page]->setObjectName(QStringLiteral("PdfViewer") + QLatin1Char("JSG"[page]));
    FPdfSheets[page] = new QWidget;
    (new QVBoxLayout(FPdfSheets[page]))->setContentsMargins(0, 0, 0, 0);
    FPdfSheets[page]->layout()->addWidget(FViewers[page]);
    FDetailTabs[page]->addTab(FPdfSheets[page], QStringLiteral("View PDF"));
    connect(FDetailTabs[page], &QTabWidget::currentChanged, this, [this, page] { DetailTabChanged(page); });

    // The panes may be made small: the splitter's place is the user's, and comes back as it was left.
    FDetailTabs[page]->setMinimumHeight(60);
    FPaperViews[page]->setMinimumHeight(60);
    auto *listAndDetails = new QSplitter(Qt::Vertical);
    listAndDetails->addWidget(FPaperViews[page]);
    listAndDetails->addWidget(FDetailTabs[page]);
    const int vertical[] = {1, 2, 4};
    FSplitters[vertical[page]] = listAndDetails;
    FViewerPanels[page] = new QWidget;
    (new QVBoxLayout(FViewerPanels[page]))->setContentsMargins(0, 0, 0, 0);
    FSplittersH[page] = new QSplitter(Qt::Horizontal);
    FSplittersH[page]->addWidget(listAndDetails);
    FSplittersH[page]->addWidget(FViewerPanels[page]);
    FViewerPanels[page]->hide();
    return FSplittersH[page];
}

QWidget *TfrmMain::BuildJournalsPage()
{
    auto *left = new QWidget;
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto *finder = new QHBoxLayout;
    finder->addWidget(new QLabel(QStringLiteral("Find")));
    FJournalFinder = new QLineEdit;
    FJournalFinder->setClearButtonEnabled(true);
    finder->addWidget(FJournalFinder, 1);
    leftLayout->addLayout(finder);
    connect(FJournalFinder, &QLineEdit::textChanged, this, &TfrmMain::FindJournal);
    FJournalFinder->installEventFilter(this);
    FJournalsView = new QTreeView;
    FJournalsView->setModel(&FJournals);
    leftLayout->addWidget(FJournalsView, 1);
    connect(FJournalsView->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex &current) { JournalSelected(current); });
    auto *info = new QGroupBox;
    auto *infoLayout = new QGridLayout(info);
    FJournalTitle = new QLabel;
    QFont bold = FJournalTitle->font();
    bold.setBold(true);
    FJournalTitle->setFont(bold);
    FJournalTitle->setWordWrap(true);
    FJournalImpact = new QLabel;
    FJournalImpact->setAlignment(Qt::AlignRight);
    FJournalAbbrv = new QLabel;
    QFont italic = FJournalAbbrv->font();
    italic.setItalic(true);
    FJournalAbbrv->setFont(italic);
    FJournalUrl = new QLabel;
    FJournalUrl->setOpenExternalLinks(true);
    infoLayout->addWidget(FJournalTitle, 0, 0);
    infoLayout->addWidget(FJournalImpact, 0, 1);
    infoLayout->addWidget(FJournalAbbrv, 1, 0, 1, 2);
    infoLayout->addWidget(FJournalUrl, 2, 0, 1, 2);
    leftLayout->addWidget(info);

    FSplitters[0] = new QSplitter(Qt::Horizontal);
    FSplitters[0]->addWidget(left);
    FSplitters[0]->addWidget(BuildListAndDetails(pgJournals));
    return FSplitters[0];
}

QWidget *TfrmMain::BuildSearchPage()
{
    auto *form = new QWidget;
    auto *grid = new QGridLayout(form);
    const auto field = [this](const char *name) {
        auto *edit = new QLineEdit;
        edit->setObjectName(QString::fromLatin1(name));
        connect(edit, &QLineEdit::returnPressed, this, &TfrmMain::DatabaseSearch);
        FSearchFields << edit;
        return edit;
    };
    // Short fields share a row: ID, Year and Added; Volume and Issue.
    const auto row = [&grid](int at, const char *caption, QWidget *wide) {
        grid->addWidget(new QLabel(QString::fromLatin1(caption)), at, 0);
        grid->addWidget(wide, at, 1, 1, 5);
    };
    row(0, "Title", field("Title"));
    grid->addWidget(new QLabel(QStringLiteral("ID")), 1, 0);
    grid->addWidget(field("ID"), 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Year")), 1, 2);
    grid->addWidget(field("Year"), 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Added")), 1, 4);
    FAdded = new QComboBox;
    FAdded->setEditable(true);
    FAdded->addItems({QStringLiteral("Today"), QStringLiteral("Past 3 days"), QStringLiteral("Past week"),
        QStringLiteral("Past 2 weeks"), QStringLiteral("Past month"), QStringLiteral("Past 3 months")});
    FAdded->setCurrentIndex(-1);
    grid->addWidget(FAdded, 1, 5);
    row(2, "Author", field("Author"));
    row(3, "Journal", field("Journal"));
    grid->addWidget(new QLabel(QStringLiteral("Volume")), 4, 0);
    grid->addWidget(field("Volume"), 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("Issue")), 4, 2);
    grid->addWidget(field("Issue"), 4, 3);
    row(5, "Keywords", field("Keywords"));
    row(6, "Abstract", field("Abstract"));
    row(7, "Pages", field("Pages"));
    auto *buttons = new QHBoxLayout;
    auto *search = new QPushButton(QStringLiteral("Search"));
    search->setIcon(TCommands::CommandIcon(QStringLiteral("edit-find")));
    auto *clear = new QPushButton(QStringLiteral("Clear"));
    connect(search, &QPushButton::clicked, (*FCommands)["DatabaseSearch"], &QAction::trigger);
    connect(clear, &QPushButton::clicked, this, [this] {
        for (QLineEdit *edit : FSearchFields)
            edit->clear();
    });
    buttons->addWidget(search);
    buttons->addWidget(clear);
    buttons->addStretch(1);
    grid->addLayout(buttons, 8, 0, 1, 6);
    grid->setRowStretch(9, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);

    return BuildListAndDetails(pgSearch, form);
}

QWidget *TfrmMain::BuildGroupsPage()
{
    FGroupsView = new QTreeView;
    FGroupsView->setModel(&FGroups);
    connect(FGroupsView->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex &current) { GroupSelected(current); });
    FSplitters[3] = new QSplitter(Qt::Horizontal);
    FSplitters[3]->addWidget(FGroupsView);
    FSplitters[3]->addWidget(BuildListAndDetails(pgGroups));
    // Papers are dragged within the group's list and onto other groups.
    FPaperViews[pgGroups]->setDragEnabled(true);
    for (QWidget *target : {FPaperViews[pgGroups]->viewport(), FGroupsView->viewport()}) {
        target->setAcceptDrops(true);
        target->installEventFilter(this);
    }
    return FSplitters[3];
}

QWidget *TfrmMain::BuildDownloadsPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *list = new QTreeView;
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setModel(&FDownloads);
    layout->addWidget(list, 1);
    FDownloadView = list;
    auto *strip = new QHBoxLayout;
    auto *state = new QLabel(QStringLiteral("Waiting"));
    auto *author = new QLabel(QStringLiteral("Author"));
    auto *title = new QLabel(QStringLiteral("Title"));
    auto *count = new QLabel(QStringLiteral("(0)"));
    auto *progress = new QProgressBar;
    strip->addWidget(state);
    strip->addWidget(author);
    strip->addWidget(title, 1);
    strip->addWidget(progress);
    strip->addWidget(count);
    layout->addLayout(strip);
    connect(&FQueue, &TDownloadQueue::PageChanged, this, [this, state, author, title, count, progress] {
        const TDownloadQueue::TPageState &page = FQueue.Page();
        state->setText(page.State);
        author->setText(page.Author);
        title->setText(page.Title);
        count->setText(page.Count);
        progress->setValue(page.Progress);
        progress->setVisible(page.ProgressVisible);
        // A run going keeps the list as it is: only Stop is offered.
        for (const char *name : {"DwnlStart", "DwnlDelete", "DwnlClear", "DwnlFirst", "DwnlUp", "DwnlDown", "DwnlLast"})
            FCommands->SetEnabled(name, page.Idle);
        FCommands->SetEnabled("DwnlPause", !page.Idle);
    });
    progress->setVisible(false);
    return page;
}

void TfrmMain::Start(bool connected, const TStartupRequest &request)
{
    OnLoading = true;
    const TLastOptions &last = FConfig.GetOptions<TLastOptions>();
    FDetailTabs[pgJournals]->setCurrentIndex(last.JInfoIndx());
    FDetailTabs[pgGroups]->setCurrentIndex(last.GInfoIndx());
    FDetailTabs[pgSearch]->setCurrentIndex(0);
    const int activePage = std::clamp(last.ActivePage(), 0, int(pgGroups));
    ApplyViewerOptions();
    LoadColumnLayouts();
    SyncHeaderMenu();
    (*FCommands)["actWordFastMode"]->setChecked(FConfig.GetOptions<TOtherOptions>().FastWordInsertion());
    if (FConfig.GetOptions<TOtherOptions>().CheckForUpdates())
        FUpdateTimer->start();
    if (!connected) {
        FStatus->setText(QStringLiteral("DB is not connected. Check settings"));
        FPages->setCurrentIndex(activePage);
        return;
    }
    FDm.GetTemplateByTitle(last.LastTemplateTitle(), FTemplate);
    FTemplater.SetTemplate(&FTemplate);
    FillStyleList();
    FRibbon->Templates()->setCurrentText(last.LastTemplateTitle());
    BuildJournalTree();
    BuildGroupTree();
    RestoreLayout();
    // The page change's rules run once, whether or not the page is the current one already.
    if (FPages->currentIndex() == activePage)
        PageChanged(activePage);
    else
        FPages->setCurrentIndex(activePage);
    if (!CheckParams(request)) {
        SelectJournalAndPaper(last.LastPaper(), last.LastJournal());
        SelectGroupAndPaper(last.LastGroupPaper(), last.LastGroup());
    }
    OnLoading = false;
}

QTreeView *TfrmMain::PaperList(int page) const
{
    return page >= 0 && page < 3 ? FPaperViews[page] : nullptr;
}

TPaperListModel &TfrmMain::PaperModel(int page) const
{
    return *FPaperModels[page];
}

TPaperInfoPanel *TfrmMain::InfoPanel(int page) const
{
    return page >= 0 && page < 3 ? FInfoPanels[page] : nullptr;
}

QTreeView *TfrmMain::ActivePaperList() const
{
    return PaperList(FPages->currentIndex());
}

TPaperListModel *TfrmMain::ActivePaperModel() const
{
    const int page = FPages->currentIndex();
    return page >= 0 && page < 3 ? FPaperModels[page].get() : nullptr;
}

QLineEdit *TfrmMain::SearchField(const QString &name) const
{
    for (QLineEdit *edit : FSearchFields)
        if (edit->objectName() == name)
            return edit;
    return nullptr;
}

void TfrmMain::BuildJournalTree()
{
    TJournals journals;
    FDm.GetJournals(journals);
    FLastJournal = nullptr;
    FJournals.Build(journals);
}

void TfrmMain::BuildGroupTree()
{
    TGroups groups;
    FDm.GetGroups(groups);
    FGroups.Build(groups);
    FGroupsView->expandAll();
    // "Move to Folder": "Root", then every folder.
    FMoveToFolder->clear();
    for (const auto &[caption, code] : FGroups.MoveTargets()) {
        FMoveToFolder->addAction(caption, this, [this, code = code] { MoveGroupToFolder(code); });
        if (code == TGroupTreeModel::RootCode)
            FMoveToFolder->addSeparator();
    }
    BuildAddToGroupMenus(groups);
}

void TfrmMain::LoadPaperList(int page, bool selectFirst, bool withOrder)
{
    TPapers papers;
    FDm.GetPapers(papers, withOrder);
    if (LastPaper && FPaperModels[page]->RowOfPaper(LastPaper->ID) >= 0)
        LastPaper = nullptr; // its record goes with the old rows
    FPaperModels[page]->SetPapers(std::move(papers));
    FPaperViews[page]->header()->setSortIndicatorShown(false);
    if (selectFirst && FPaperModels[page]->rowCount() > 0)
        FPaperViews[page]->setCurrentIndex(FPaperModels[page]->index(0, 0));
}

void TfrmMain::JournalSelected(const QModelIndex &index)
{
    const TJournalRecord *journal = FJournals.Record(index);
    if (!journal)
        return;
    LastPaper = nullptr;
    FInfoPanels[pgJournals]->Clear();
    FViewers[pgJournals]->Clear();
    FRibbon->SetGroupEnabled(FJournalGroup, journal->AllowChild);
    FRibbon->SetGroupEnabled(FCitationGroup, !journal->AllowChild || journal->Level == 1);
    FrgPaperState = FCitationGroup->isEnabled();
    FDm.PreparePaperJID(journal->ID);
    LoadPaperList(pgJournals, !OnLoading, false);
    FJournalTitle->setText(journal->Title);
    FJournalAbbrv->setText(journal->Abbrv);
    FJournalImpact->setText(journal->Impact);
    FJournalUrl->setProperty("address", journal->URL);
    FJournalUrl->setText(
        journal->URL.isEmpty() ? QString() : QStringLiteral("<a href=\"%1\">%1</a>").arg(journal->URL.toHtmlEscaped()));
    FLastJournal = journal;
    FConfig.GetOptions<TLastOptions>().SetLastJournal(journal->ID);
}

void TfrmMain::GroupSelected(const QModelIndex &index)
{
    const TGroupRecord *group = FGroups.Record(index);
    if (!group)
        return;
    FInfoPanels[pgGroups]->Clear();
    FViewers[pgGroups]->Clear();
    FDm.PreparePaperByGroup(group->ID);
    LoadPaperList(pgGroups, OnLoading, true);
    FActiveGroupIndex = group->ID;
    FConfig.GetOptions<TLastOptions>().SetLastGroup(group->ID);
}

void TfrmMain::PaperSelected(int page)
{
    if (OnLoading)
        return;
    TPaperRecord *paper = FPaperModels[page]->Paper(FPaperViews[page]->currentIndex().row());
    if (!paper)
        return;
    const TJournalRecord *journal = paper->Journal.get();
    FInfoPanels[page]->SetBookInfo(paper->ID, paper->PType, AuthorsText(*paper), paper->Title,
        journal ? journal->Title : QString(), journal ? journal->Abbrv : QString(), paper->Volume, paper->Issue,
        QStringLiteral("%1 - %2").arg(paper->PS, paper->PE), QString::number(paper->Year), paper->URL, paper->Abst,
        paper->FileName);
    LastPaper = paper;
    TPdfViewer *viewer = FViewers[page];
    viewer->Clear();
    viewer->SetPdfFileName(PaperFullPath(FConfig.LibraryFolder(), *paper));
    if (page == pgGroups)
        FConfig.GetOptions<TLastOptions>().SetLastGroupPaper(paper->ID);
    else
        FConfig.GetOptions<TLastOptions>().SetLastPaper(paper->ID);
    const bool showPdf = !FPdfSheets[page] || FDetailTabs[page]->currentWidget() == FPdfSheets[page];
    if (showPdf && paper->Local)
        viewer->View();
}

void TfrmMain::DetailTabChanged(int page)
{
    if (!FPdfSheets[page] || FDetailTabs[page]->currentWidget() != FPdfSheets[page])
        return;
    if (!FPaperViews[page]->currentIndex().isValid() || (page == pgJournals && !(LastPaper && LastPaper->Local)))
        return;
    FViewers[page]->View();
}

void TfrmMain::SetWideMode(int page, bool wide)
{
    FWideMode[page] = wide;
    TPdfViewer *viewer = FViewers[page];
    if (wide) {
        FViewerPanels[page]->layout()->addWidget(viewer);
        FViewerPanels[page]->show();
        if (FPdfSheets[page]) {
            delete std::exchange(FPdfSheets[page], nullptr);
            FDetailTabs[page]->setCurrentIndex(0);
        }
    } else {
        if (!FPdfSheets[page]) {
            FPdfSheets[page] = new QWidget;
            (new QVBoxLayout(FPdfSheets[page]))->setContentsMargins(0, 0, 0, 0);
            FDetailTabs[page]->addTab(FPdfSheets[page], QStringLiteral("View PDF"));
        }
        FPdfSheets[page]->layout()->addWidget(viewer);
        FViewerPanels[page]->hide();
    }
    viewer->show();
    PaperSelected(page);
}

void TfrmMain::ApplyViewerOptions()
{
    const TViewerOptions &options = FConfig.GetOptions<TViewerOptions>();
    const QString path = options.Path().isEmpty() ? FConfig.ProgramFolder() : options.Path();
    const QString exe = options.ExeName().contains(QLatin1Char('/')) ? options.ExeName()
                                                                     : FConfig.ProgramFolder() + options.ExeName();
    for (TPdfViewer *viewer : FViewers)
        viewer->Setup(exe, path, options.Params());
}

void TfrmMain::ReleaseViewers()
{
    for (TPdfViewer *viewer : FViewers)
        viewer->Clear();
}

void TfrmMain::ManageStyles()
{
    TTemplates styles;
    FDm.GetTemplates(styles);
    TfrmTemplate manager(FDm, FPrompts, this);
    manager.SetShowHelp([this](int context) { ShowHelp(context); });
    manager.FillList(styles, FRibbon->Templates()->currentText());
    if (!RunStylesManager(manager))
        return;
    FillStyleList();
    ActivateStyle(manager.LastTemplateTitle());
}

void TfrmMain::ShowSettings()
{
    TfrmSettings settings(FConfig, FPrompts, this);
    settings.ShowHelp = [this](int context) { ShowHelp(context); };
    if (RunSettings(settings))
        ApplyViewerOptions();
}

void TfrmMain::ActivateStyle(const QString &title)
{
    const QSignalBlocker quiet(FRibbon->Templates());
    FRibbon->Templates()->setCurrentText(title);
    FDm.GetTemplateByTitle(title, FTemplate);
    FTemplater.SetTemplate(&FTemplate);
    FConfig.GetOptions<TLastOptions>().SetLastTemplateTitle(title);
}

void TfrmMain::FillStyleList()
{
    TTemplates styles;
    FDm.GetTemplates(styles);
    QComboBox *selector = FRibbon->Templates();
    const QSignalBlocker quiet(selector);
    selector->clear();
    for (const auto &style : styles)
        selector->addItem(style->Title);
}

TPaperRecord *TfrmMain::FocusedPaper(int *row) const
{
    const QTreeView *list = ActivePaperList();
    if (!list)
        return nullptr;
    const int focused = list->currentIndex().row();
    if (row)
        *row = focused;
    return ActivePaperModel()->Paper(focused);
}

std::optional<int> TfrmMain::FirstSelectedRow() const
{
    std::optional<int> first;
    if (const QTreeView *list = ActivePaperList())
        for (const QModelIndex &row : list->selectionModel()->selectedRows())
            first = std::min(first.value_or(row.row()), row.row());
    return first;
}

TPaperRefs TfrmMain::CheckedPapers()
{
    TPaperListModel *model = ActivePaperModel();
    return model ? model->CheckedPapers(FirstSelectedRow()) : TPaperRefs {};
}

void TfrmMain::SelectJournalAndPaper(int paperId, int journalId)
{
    FJournalsView->selectionModel()->clearSelection();
    // A category counts too: Patents and Dissertations are the containers 1 and 2.
    const QModelIndex found
        = FJournals.FindInTreeOrder([journalId](const TJournalRecord &journal) { return journal.ID == journalId; });
    ShowJournal(found);
    SelectPaperInList(pgJournals, paperId);
}

void TfrmMain::SelectGroupAndPaper(int paperId, int groupId)
{
    const QModelIndex group = FGroups.IndexOfGroup(groupId);
    if (group.isValid()) {
        if (FGroupsView->currentIndex() == group)
            GroupSelected(group); // the selection runs also for the group already chosen
        else
            FGroupsView->setCurrentIndex(group);
    }
    SelectPaperInList(pgGroups, paperId);
}

void TfrmMain::ShowJournal(const QModelIndex &node)
{
    if (!node.isValid())
        return;
    if (FJournalsView->currentIndex() == node)
        JournalSelected(node); // the selection runs also for the journal already chosen
    else
        FJournalsView->setCurrentIndex(node); // runs the journal selection
    if (node.parent().isValid())
        FJournalsView->expand(node.parent());
}

// The paper of that ID in a page's list, or else its first paper; its details are shown even while loading.
void TfrmMain::SelectPaperInList(int page, int paperId)
{
    TPaperListModel &model = *FPaperModels[page];
    if (model.rowCount() == 0)
        return;
    const int row = std::max(0, model.RowOfPaper(paperId));
    FPaperViews[page]->setCurrentIndex(model.index(row, 0));
    const bool loading = std::exchange(OnLoading, false);
    PaperSelected(page);
    OnLoading = loading;
}

void TfrmMain::ReloadLibraryViews()
{
    LastPaper = nullptr;
    for (int page = 0; page < 3; ++page) {
        FPaperModels[page]->SetPapers({});
        FInfoPanels[page]->Clear();
    }
    ReleaseViewers();
    BuildJournalTree();
    GroupSelected(FGroupsView->currentIndex());
}

bool TfrmMain::CheckParams(const TStartupRequest &request)
{
    if (!request.AddUrl.isEmpty())
        AddPaperFromWeb(request.AddUrl, true);
    if (!request.ImportFile.isEmpty()) {
        ImportFile(request.ImportFile);
        return true;
    }
    return false;
}

void TfrmMain::ImportFile(const QString &fileName)
{
    int jid = 0, pid = 0;
    try {
        const TCursorSaver busy;
        ImportCitationFile(FDm, FPrompts, fileName, FConfig.LibraryFolder(), jid, pid);
    } catch (const EVarnelError &error) {
        FPrompts.ShowMessage(error.Message(), TMessageKind::mkError);
        return;
    }
    FPages->setCurrentIndex(pgJournals);
    ReloadLibraryViews();
    SelectJournalAndPaper(pid, jid);
}

void TfrmMain::ImportFromClipboard()
{
    int jid = 0, pid = 0;
    try {
        const TCursorSaver busy;
        ImportCitationLines(FDm, FPrompts,
            QApplication::clipboard()->text().split(QRegularExpression(QStringLiteral("\\r\\n|\\n|\\r"))), jid, pid);
    } catch (const EVarnelError &error) {
        FPrompts.ShowMessage(error.Message(), TMessageKind::mkError);
        return;
    }
    ReloadLibraryViews();
    SelectJournalAndPaper(pid, jid);
}

void TfrmMain::AddPaperFromWeb(const QString &url, bool startDownload)
{
    FStatus->setText(QStringLiteral("Getting data from web ..."));
    int jid = 0, pid = 0;
    try {
        const TCursorSaver busy;
        const TInfoPopupScope popup(QStringLiteral("Getting data from web ..."));
        TWebParser retriever(&FConfig.GetOptions<TProxyOptions>(), TWebSites::FromIni(FConfig.IniFile()));
        const TWebImport found = ::AddPaperFromWeb(FDm, FPrompts, retriever, url, jid, pid);
        ReloadLibraryViews();
        SelectJournalAndPaper(pid, jid);
        if (LastPaper && FQueue.Add(*LastPaper, found.PdfURL) && startDownload)
            FDownloadManager->Start(retriever.Cookies());
    } catch (const EVarnelError &error) {
        FPrompts.ShowMessage(error.Message(), TMessageKind::mkError);
    }
    FStatus->setText(QStringLiteral("Done"));
}

void TfrmMain::SetBookLocalStatus(int id, bool local)
{
    for (auto &model : FPaperModels)
        model->SetLocal(id, local);
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    // The finder's events come while the window is still being built.
    const bool onList = FPaperViews[pgGroups] && watched == FPaperViews[pgGroups]->viewport();
    const QEvent::Type type = event->type();
    if ((onList || (FGroupsView && watched == FGroupsView->viewport()))
        && (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)) {
        auto *drag = static_cast<QDropEvent *>(event);
        if (!drag->mimeData()->hasFormat(TPaperListModel::PapersMimeType)) {
            drag->ignore();
            return true;
        }
        QTreeView *view = onList ? FPaperViews[pgGroups] : FGroupsView;
        const QModelIndex at = view->indexAt(drag->position().toPoint());
        const bool allowed = onList ? CanDropOnGroupList(at.row()) : CanDropOnGroup(at);
        // The drag always ends as a copy: the list's rows are never removed by the view, only reloaded here.
        drag->setDropAction(Qt::CopyAction);
        if (type == QEvent::DragEnter || allowed)
            drag->accept();
        else
            drag->ignore();
        if (type == QEvent::Drop && allowed) {
            if (onList)
                DropOnGroupList(at.row());
            else
                DropOnGroup(at, drag->modifiers().testFlag(Qt::ControlModifier));
        }
        return true;
    }
    if (watched == FJournalFinder && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers());
            QCoreApplication::sendEvent(FJournalsView, &copy);
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            FPaperViews[pgJournals]->setFocus();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::customEvent(QEvent *event)
{
    if (event->type() == TLocalStatusEvent::EventType()) {
        const TLocalStatusRecord record = static_cast<TLocalStatusEvent *>(event)->Record;
        SetBookLocalStatus(record.ID, record.IsLocal);
    }
}

void TfrmMain::DatabaseSearch()
{
    FInfoPanels[pgSearch]->Clear();
    FViewers[pgSearch]->Clear();
    const auto text = [this](const char *name) { return SearchField(QString::fromLatin1(name))->text(); };
    try {
        FDm.Search(text("ID"), text("Author"), text("Journal"), text("Title"), text("Year"), text("Volume"),
            text("Issue"), text("Pages"), text("Keywords"), text("Abstract"), FAdded->currentText(),
            FAdded->currentIndex());
    } catch (const EVarnelError &error) {
        FPrompts.ShowMessage(error.Message(), TMessageKind::mkError);
        return;
    }
    LoadPaperList(pgSearch, true, false);
}

void TfrmMain::FindJournal(const QString &text)
{
    if (text.isEmpty())
        return;
    const QString upper = AsciiUpper(text);
    const QModelIndex node = FJournals.FindInTreeOrder(
        [&upper](const TJournalRecord &journal) { return AsciiUpper(journal.Title).contains(upper); });
    ShowJournal(node);
}

void TfrmMain::LocatePaper(const QString &text, bool next)
{
    QTreeView *view = ActivePaperList();
    TPaperListModel *model = ActivePaperModel();
    if (!view || !model)
        return;
    view->clearSelection();
    const int row = FQuickSearch.Locate(
        text, next, model->rowCount(), [model](int r) -> const TPaperRecord * { return model->Paper(r); });
    if (row >= 0) {
        view->setCurrentIndex(model->index(row, 0));
        view->selectionModel()->select(model->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void TfrmMain::ShowQuickSearch()
{
    TfrmBookSearch popup(this);
    popup.exec();
}

void TfrmMain::PageChanged(int page)
{
    // The paper commands' state is what the journal selection left; it is kept while another page is shown
    // (taking it again on every later page change would bring back a state that no selection made).
    if (page != pgJournals) {
        if (FCurrentPage == pgJournals)
            FrgPaperState = FCitationGroup->isEnabled();
        FRibbon->SetGroupEnabled(FJournalGroup, false);
        FRibbon->SetGroupEnabled(FCitationGroup, true);
    } else {
        FRibbon->SetGroupEnabled(FCitationGroup, FrgPaperState);
        FRibbon->SetGroupEnabled(FJournalGroup, true);
    }
    FCurrentPage = page;
    for (const char *name : {"GroupEdit", "GroupClear", "GroupDelete", "GroupFirst", "GroupLast", "GroupUp",
             "GroupDown", "actPaperDeleteFromGroup"})
        FCommands->SetEnabled(name, page == pgGroups);
    if (page != pgDownloads)
        FConfig.GetOptions<TLastOptions>().SetActivePage(page);
}

void TfrmMain::RibbonTabChanged(int tab)
{
    const bool downloads = FRibbon->tabText(tab) == QLatin1String("Downloads");
    if (downloads == FDownloadsShown)
        return;
    FDownloadsShown = downloads;
    if (downloads)
        FLastActivePage = FPages->currentIndex();
    // The tab bar moves away from a tab it hides: the page to show is set once the tabs are as they should be.
    for (int page = 0; page < 3; ++page)
        FPages->setTabVisible(page, !downloads);
    FPages->setCurrentIndex(downloads ? int(pgDownloads) : FLastActivePage >= 0 ? FLastActivePage : int(pgJournals));
}

void TfrmMain::SyncHeaderMenu()
{
    const int page = FPages->currentIndex();
    if (page == pgDownloads)
        return;
    const TPaperListModel *model = ActivePaperModel();
    for (QAction *entry : FHeaderMenu->actions()) {
        const int tag = entry->data().toInt();
        entry->setChecked(model && model->ColumnOfTag(tag) >= 0);
        if (tag == 94 || tag == 99)
            entry->setVisible(page == pgGroups);
    }
}

void TfrmMain::HeaderMenuClick(int tag)
{
    TPaperListModel *model = ActivePaperModel();
    QTreeView *view = ActivePaperList();
    if (!model || !view)
        return;
    if (!model->RemoveColumnWithTag(tag)) {
        TColumnDesc column = GetColumnDefaults(tag);
        column.Width = view->header()->defaultSectionSize();
        column.Position = model->columnCount();
        model->AppendColumn(column);
        view->header()->resizeSection(model->columnCount() - 1, column.ClampedWidth());
    }
    SyncHeaderMenu();
    SaveColumnLayouts();
}

void TfrmMain::LoadColumnLayouts()
{
    TColumns columns(FConfig.GetSystemFileName(TVarnelSystemFile::sfColumnsStore));
    for (int page = 0; page < 3; ++page) {
        columns.Load(QString::fromLatin1(SectionOfPage[page]));
        QList<TColumnDesc> descs;
        for (int i = 0; i < columns.Count(); ++i)
            descs << columns.GetColumn(i);
        FPaperModels[page]->SetColumns(descs);
        QHeaderView *header = FPaperViews[page]->header();
        for (int i = 0; i < descs.size(); ++i) {
            header->resizeSection(i, descs[i].ClampedWidth());
        }
        // Display positions: move each column to its place, leftmost first.
        QList<int> byPosition(descs.size());
        std::iota(byPosition.begin(), byPosition.end(), 0);
        std::stable_sort(byPosition.begin(), byPosition.end(),
            [&descs](int a, int b) { return descs[a].Position < descs[b].Position; });
        for (int visual = 0; visual < byPosition.size(); ++visual)
            header->moveSection(header->visualIndex(byPosition[visual]), visual);
    }
}

void TfrmMain::SaveColumnLayouts()
{
    TColumns columns(FConfig.GetSystemFileName(TVarnelSystemFile::sfColumnsStore));
    for (int page = 0; page < 3; ++page) {
        columns.Clear();
        const QHeaderView *header = FPaperViews[page]->header();
        const QList<TColumnDesc> &descs = FPaperModels[page]->Columns();
        for (int i = 0; i < descs.size(); ++i) {
            TColumnDesc column = descs[i];
            column.Width = header->sectionSize(i);
            column.Position = header->visualIndex(i);
            columns.Append(column);
        }
        columns.Save(QString::fromLatin1(SectionOfPage[page]));
    }
}

void TfrmMain::RestoreLayout()
{
    const TWindowOptions &window = FConfig.GetOptions<TWindowOptions>();
    if (window.State() == 2) {
        setWindowState(Qt::WindowMaximized);
    } else if (window.State() == 1) {
        setWindowState(Qt::WindowMinimized);
    } else if (window.FormWidth() > 0 && window.FormHeight() > 0) {
        setGeometry(window.FormLeft(), window.FormTop(), window.FormWidth(), window.FormHeight());
    }
    SetPercent(FSplitters[0], window.SplitterVJ());
    SetPercent(FSplitters[1], window.SplitterJ());
    SetPercent(FSplitters[2], window.SplitterS());
    SetPercent(FSplitters[3], window.SplitterVG());
    SetPercent(FSplitters[4], window.SplitterG());
    SetPercent(FSplittersH[pgJournals], window.SplitterJH());
    SetPercent(FSplittersH[pgSearch], window.SplitterSH());
    SetPercent(FSplittersH[pgGroups], window.SplitterGH());
    SetWideMode(pgJournals, window.WideModeJ());
    SetWideMode(pgSearch, window.WideModeS());
    SetWideMode(pgGroups, window.WideModeG());
}

void TfrmMain::SaveLayout()
{
    TWindowOptions &window = FConfig.GetOptions<TWindowOptions>();
    const int state = isMaximized() ? 2 : isMinimized() ? 1 : 0;
    window.SetState(state);
    if (state == 0) {
        window.SetFormWidth(width());
        window.SetFormHeight(height());
        window.SetFormTop(y());
        window.SetFormLeft(x());
    }
    window.SetSplitterVJ(Percent(FSplitters[0]));
    window.SetSplitterJ(Percent(FSplitters[1]));
    window.SetSplitterS(Percent(FSplitters[2]));
    window.SetSplitterVG(Percent(FSplitters[3]));
    window.SetSplitterG(Percent(FSplitters[4]));
    window.SetSplitterJH(Percent(FSplittersH[pgJournals]));
    window.SetSplitterSH(Percent(FSplittersH[pgSearch]));
    window.SetSplitterGH(Percent(FSplittersH[pgGroups]));
    window.SetWideModeS(FWideMode[pgSearch]);
    window.SetWideModeJ(FWideMode[pgJournals]);
    window.SetWideModeG(FWideMode[pgGroups]);
    TLastOptions &last = FConfig.GetOptions<TLastOptions>();
    last.SetJInfoIndx(FDetailTabs[pgJournals]->currentIndex());
    last.SetGInfoIndx(FDetailTabs[pgGroups]->currentIndex());
    last.SetSInfoIndx(FDetailTabs[pgSearch]->currentIndex());
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    SaveColumnLayouts();
    event->accept();
}
