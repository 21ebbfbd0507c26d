#include "MainWindow.h"

#include "PaperInfoPanel.h"
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
#include "web/WebParser.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
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

QToolButton *RibbonButton(QAction *action)
{
    auto *button = new QToolButton;
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    return button;
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
    BuildRibbon();
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

    statusBar()->addWidget(new QLabel(QStringLiteral(VARNEL_VERSION)));
    FStatus = new QLabel;
    statusBar()->addWidget(FStatus, 1);
    auto *progress = new QProgressBar;
    progress->setMaximumWidth(160);
    progress->setValue(0);
    statusBar()->addWidget(progress);
    statusBar()->addWidget(new QLabel);
    resize(1024, 700);

    FDownloadManager = std::make_unique<TDownloadManager>(FQueue, FDm, FPrompts, &FConfig.GetOptions<TProxyOptions>(),
        TWebSites {}, [this] { return FConfig.LibraryFolder(); });
}

TfrmMain::~TfrmMain()
{
    FDownloadManager.reset(); // ends a run that is still going
    SaveLayout();
}

void TfrmMain::BuildRibbon()
{
    FRibbon = new QTabWidget;
    FRibbon->setDocumentMode(true);
    const auto tab = [this](const QString &caption, const QList<QWidget *> &groups) {
        auto *page = new QWidget;
        auto *row = new QHBoxLayout(page);
        row->setContentsMargins(4, 2, 4, 2);
        for (QWidget *group : groups)
            row->addWidget(group);
        row->addStretch(1);
        FRibbon->addTab(page, caption);
    };
    const auto group = [](const QString &caption, const QList<QAction *> &actions) {
        auto *box = new QGroupBox(caption);
        auto *row = new QHBoxLayout(box);
        row->setContentsMargins(2, 2, 2, 2);
        for (QAction *action : actions)
            row->addWidget(RibbonButton(action));
        return box;
    };
    // Commands whose parts come later are present and disabled.
    const auto later = [this](const QString &caption) {
        auto *action = new QAction(caption, this);
        action->setEnabled(false);
        return action;
    };
    auto *find = new QAction(QStringLiteral("Find"), this);
    find->setShortcut(Qt::Key_F3);
    connect(find, &QAction::triggered, this, &TfrmMain::ShowQuickSearch);
    addAction(find);
    QGroupBox *citation = group(QStringLiteral("Citation"),
        {later(QStringLiteral("New")), later(QStringLiteral("Edit")), later(QStringLiteral("Delete"))});
    QGroupBox *journal = group(QStringLiteral("Journal"),
        {later(QStringLiteral("New")), later(QStringLiteral("Edit")), later(QStringLiteral("Delete"))});
    FCitationGroup = citation;
    FJournalGroup = journal;
    QList<QAction *> groupActions;
    for (const char *caption : {"Edit", "Clear", "Delete", "First", "Last", "Up", "Down"})
        groupActions << later(QString::fromLatin1(caption));
    FGroupActions = groupActions;
    tab(QStringLiteral("Content"),
        {citation, journal, group(QStringLiteral("Groups"), groupActions), group(QStringLiteral("Search"), {find})});

    auto *start = new QAction(QStringLiteral("Start"), this);
    connect(start, &QAction::triggered, this, [this] { FDownloadManager->Start(); });
    auto *stop = new QAction(QStringLiteral("Stop"), this);
    connect(stop, &QAction::triggered, this, [this] { FDownloadManager->Stop(); });
    auto *clear = new QAction(QStringLiteral("Clear"), this);
    connect(clear, &QAction::triggered, this, [this] { FQueue.Clear(); });
    tab(QStringLiteral("Downloads"), {group(QStringLiteral("Download"), {start, stop, clear})});

    auto *statistics = new QAction(QStringLiteral("Statistics"), this);
    connect(statistics, &QAction::triggered, this, &TfrmMain::ShowStatistics);
    tab(QStringLiteral("Tools"),
        {group(QStringLiteral("Database"),
            {statistics, later(QStringLiteral("Backup")), later(QStringLiteral("Restore"))})});

    auto *about = new QAction(QStringLiteral("About"), this);
    connect(about, &QAction::triggered, this, [this] {
        FPrompts.ShowMessage(QStringLiteral("Varnel %1\nA reference manager for scientific literature.")
                                 .arg(QStringLiteral(VARNEL_VERSION)),
            TMessageKind::mkInformation, QStringLiteral("About"));
    });
    tab(QStringLiteral("Help"), {group(QStringLiteral("Help"), {about, later(QStringLiteral("Check for update"))})});
}

QTreeView *TfrmMain::NewPaperList(TPaperListModel &model, int tag)
{
    auto *view = new QTreeView;
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true); // long lists scroll without measuring every row
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setModel(&model);
    view->setProperty("listTag", tag);
    view->header()->setSectionsClickable(true);
    view->header()->setSectionsMovable(true);
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
    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(FPaperViews[page]);
    splitter->addWidget(FDetailTabs[page]);
    return splitter;
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

    FSplitters[1] = BuildListAndDetails(pgJournals);
    FSplitters[0] = new QSplitter(Qt::Horizontal);
    FSplitters[0]->addWidget(left);
    FSplitters[0]->addWidget(FSplitters[1]);
    return FSplitters[0];
}

QWidget *TfrmMain::BuildSearchPage()
{
    auto *form = new QWidget;
    auto *fields = new QFormLayout(form);
    for (const char *name :
        {"Title", "ID", "Year", "Author", "Journal", "Volume", "Issue", "Keywords", "Abstract", "Pages"}) {
        auto *edit = new QLineEdit;
        edit->setObjectName(QString::fromLatin1(name));
        connect(edit, &QLineEdit::returnPressed, this, &TfrmMain::DatabaseSearch);
        fields->addRow(QString::fromLatin1(name), edit);
        FSearchFields << edit;
    }
    FAdded = new QComboBox;
    FAdded->setEditable(true);
    FAdded->addItems({QStringLiteral("Today"), QStringLiteral("Past 3 days"), QStringLiteral("Past week"),
        QStringLiteral("Past 2 weeks"), QStringLiteral("Past month"), QStringLiteral("Past 3 months")});
    FAdded->setCurrentIndex(-1);
    fields->addRow(QStringLiteral("Added"), FAdded);
    auto *buttons = new QHBoxLayout;
    auto *search = new QPushButton(QStringLiteral("Search"));
    auto *clear = new QPushButton(QStringLiteral("Clear"));
    connect(search, &QPushButton::clicked, this, &TfrmMain::DatabaseSearch);
    connect(clear, &QPushButton::clicked, this, [this] {
        for (QLineEdit *edit : FSearchFields)
            edit->clear();
    });
    buttons->addWidget(search);
    buttons->addWidget(clear);
    buttons->addStretch(1);
    fields->addRow(buttons);

    FSplitters[2] = BuildListAndDetails(pgSearch, form);
    return FSplitters[2];
}

QWidget *TfrmMain::BuildGroupsPage()
{
    FGroupsView = new QTreeView;
    FGroupsView->setModel(&FGroups);
    connect(FGroupsView->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex &current) { GroupSelected(current); });
    FSplitters[4] = BuildListAndDetails(pgGroups);
    FSplitters[3] = new QSplitter(Qt::Horizontal);
    FSplitters[3]->addWidget(FGroupsView);
    FSplitters[3]->addWidget(FSplitters[4]);
    return FSplitters[3];
}

QWidget *TfrmMain::BuildDownloadsPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *list = new QTreeView;
    list->setRootIsDecorated(false);
    list->setModel(&FDownloads);
    layout->addWidget(list, 1);
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
    });
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
    LoadColumnLayouts();
    SyncHeaderMenu();
    if (!connected) {
        FStatus->setText(QStringLiteral("DB is not connected. Check settings"));
        FPages->setCurrentIndex(activePage);
        return;
    }
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
    FJournals.Build(journals);
}

void TfrmMain::BuildGroupTree()
{
    TGroups groups;
    FDm.GetGroups(groups);
    FGroups.Build(groups);
    FGroupsView->expandAll();
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
    FJournalGroup->setEnabled(journal->AllowChild);
    FCitationGroup->setEnabled(!journal->AllowChild || journal->Level == 1);
    FrgPaperState = FCitationGroup->isEnabled();
    FDm.PreparePaperJID(journal->ID);
    LoadPaperList(pgJournals, !OnLoading, false);
    FJournalTitle->setText(journal->Title);
    FJournalAbbrv->setText(journal->Abbrv);
    FJournalImpact->setText(journal->Impact);
    FJournalUrl->setText(
        journal->URL.isEmpty() ? QString() : QStringLiteral("<a href=\"%1\">%1</a>").arg(journal->URL.toHtmlEscaped()));
    FConfig.GetOptions<TLastOptions>().SetLastJournal(journal->ID);
}

void TfrmMain::GroupSelected(const QModelIndex &index)
{
    const TGroupRecord *group = FGroups.Record(index);
    if (!group)
        return;
    FInfoPanels[pgGroups]->Clear();
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
    PaperFullPath(FConfig.LibraryFolder(), *paper);
    if (page == pgGroups)
        FConfig.GetOptions<TLastOptions>().SetLastGroupPaper(paper->ID);
    else
        FConfig.GetOptions<TLastOptions>().SetLastPaper(paper->ID);
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
    if (group.isValid())
        FGroupsView->setCurrentIndex(group);
    SelectPaperInList(pgGroups, paperId);
}

void TfrmMain::ShowJournal(const QModelIndex &node)
{
    if (!node.isValid())
        return;
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
        ImportCitationFile(FDm, FPrompts, fileName, FConfig.LibraryFolder(), jid, pid);
    } catch (const EVarnelError &error) {
        FPrompts.ShowMessage(error.Message(), TMessageKind::mkError);
        return;
    }
    FPages->setCurrentIndex(pgJournals);
    ReloadLibraryViews();
    SelectJournalAndPaper(pid, jid);
}

void TfrmMain::AddPaperFromWeb(const QString &url, bool startDownload)
{
    FStatus->setText(QStringLiteral("Getting data from web ..."));
    int jid = 0, pid = 0;
    try {
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

void TfrmMain::ShowStatistics()
{
    TStatRecord stats;
    FDm.GetStats(stats);
    FPrompts.ShowMessage(QStringLiteral("Journals: %1\nPapers: %2").arg(stats.Journals).arg(stats.Papers),
        TMessageKind::mkInformation, QStringLiteral("Statistics"));
}

void TfrmMain::PageChanged(int page)
{
    // The paper commands' state is what the journal selection left; it is kept while another page is shown
    // (taking it again on every later page change would bring back a state that no selection made).
    if (page != pgJournals) {
        if (FCurrentPage == pgJournals)
            FrgPaperState = FCitationGroup->isEnabled();
        FJournalGroup->setEnabled(false);
        FCitationGroup->setEnabled(true);
    } else {
        FCitationGroup->setEnabled(FrgPaperState);
        FJournalGroup->setEnabled(true);
    }
    FCurrentPage = page;
    for (QAction *action : FGroupActions)
        action->setEnabled(false); // the group commands come with their own part
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
