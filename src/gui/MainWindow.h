#pragma once

#include "DownloadListModel.h"
#include "LibraryTrees.h"
#include "PaperListModel.h"
#include "shell/StartupArguments.h"
#include "views/QuickSearch.h"
#include "web/DownloadQueue.h"

#include <QMainWindow>

#include <memory>

class QComboBox;
class QMenu;
class QLabel;
class QLineEdit;
class QSplitter;
class QTabWidget;
class QTreeView;
class QWidget;
class TConfig;
class TDownloadManager;
class TdmMain;
class TPaperInfoPanel;
class TUserPrompts;

// The main window: a ribbon of four tabs over four pages (all citations by journal, search, groups, downloads),
// each library page a tree or form on the left, a paper list and its detail tabs on the right. It keeps the
// selections and the layout in the settings and brings every view back after changes to the library.
class TfrmMain final : public QMainWindow
{
    Q_OBJECT

public:
    enum TPage { pgJournals = 0, pgSearch = 1, pgGroups = 2, pgDownloads = 3 };
    enum TListTag { ltJournals = 81, ltSearch = 82, ltGroups = 83 };

    TfrmMain(TConfig &config, TdmMain &dm, TUserPrompts &prompts, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The creation steps after the library was opened (or not): trees, layout, the last selections.
    void Start(bool connected, const TStartupRequest &request = {});

    QTreeView *ActivePaperList() const;
    TPaperListModel *ActivePaperModel() const;
    void SelectJournalAndPaper(int paperId, int journalId);
    void SelectGroupAndPaper(int paperId, int groupId);
    void ReloadLibraryViews();
    void SetBookLocalStatus(int id, bool local);
    void DatabaseSearch();
    // The quick search's step (F3): selects the next paper of the active list holding the text.
    void LocatePaper(const QString &text, bool next);

    // The start's own arguments once the window is built: a paper from the web, a citation file. True when a
    // file was imported (the last selections are then not restored).
    bool CheckParams(const TStartupRequest &request);
    // A citation file and its companion, then the views; the last paper imported is selected.
    void ImportFile(const QString &fileName);
    // A paper from its address or DOI, queued for its PDF; the download starts unless told otherwise.
    void AddPaperFromWeb(const QString &url, bool startDownload);

    // The column header menu: its entries checked for the active list's columns, "Journal" and "No" shown
    // for the groups list only; choosing an entry removes or adds that column and saves the layouts.
    void SyncHeaderMenu();
    void HeaderMenuClick(int tag);
    QMenu *HeaderMenu() const { return FHeaderMenu; }

    // For tests and the command handlers.
    QTabWidget *Pages() const { return FPages; }
    QTabWidget *Ribbon() const { return FRibbon; }
    QTreeView *JournalsTree() const { return FJournalsView; }
    QTreeView *GroupsTree() const { return FGroupsView; }
    QTreeView *PaperList(int page) const;
    TPaperListModel &PaperModel(int page) const;
    TPaperInfoPanel *InfoPanel(int page) const;
    QWidget *CitationGroup() const { return FCitationGroup; }
    QWidget *JournalGroup() const { return FJournalGroup; }
    QLineEdit *JournalFinder() const { return FJournalFinder; }
    QLineEdit *SearchField(const QString &name) const;
    QLabel *StatusPane() const { return FStatus; }
    TDownloadQueue &DownloadQueue() { return FQueue; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void customEvent(QEvent *event) override;

private:
    struct TLibraryPage;
    QWidget *BuildJournalsPage();
    QWidget *BuildSearchPage();
    QWidget *BuildGroupsPage();
    QWidget *BuildDownloadsPage();
    void BuildRibbon();
    QTreeView *NewPaperList(TPaperListModel &model, int tag);
    // A page's paper list over its detail tabs ("Search Query" first on the search page).
    QSplitter *BuildListAndDetails(int page, QWidget *searchForm = nullptr);
    void ShowJournal(const QModelIndex &node);
    void SelectPaperInList(int page, int paperId);
    void BuildJournalTree();
    void BuildGroupTree();
    void LoadPaperList(int page, bool selectFirst, bool withOrder);
    void JournalSelected(const QModelIndex &index);
    void GroupSelected(const QModelIndex &index);
    void PaperSelected(int page);
    void PageChanged(int page);
    void RibbonTabChanged(int tab);
    void FindJournal(const QString &text);
    void LoadColumnLayouts();
    void SaveColumnLayouts();
    void RestoreLayout();
    void SaveLayout();
    void ShowQuickSearch();
    void ShowStatistics();

    TConfig &FConfig;
    TdmMain &FDm;
    TUserPrompts &FPrompts;
    bool OnLoading = true;
    bool FrgPaperState = false;
    int FLastActivePage = -1;
    int FCurrentPage = -1;
    bool FDownloadsShown = false;
    int FActiveGroupIndex = 0;
    TPaperRecord *LastPaper = nullptr;
    TQuickSearch FQuickSearch;

    TJournalTreeModel FJournals;
    TGroupTreeModel FGroups;
    std::unique_ptr<TPaperListModel> FPaperModels[3];
    TDownloadQueue FQueue;
    TDownloadListModel FDownloads {FQueue};
    std::unique_ptr<TDownloadManager> FDownloadManager;

    QTabWidget *FRibbon = nullptr;
    QTabWidget *FPages = nullptr;
    QTreeView *FJournalsView = nullptr;
    QTreeView *FGroupsView = nullptr;
    QTreeView *FPaperViews[3] = {};
    TPaperInfoPanel *FInfoPanels[3] = {};
    QTabWidget *FDetailTabs[3] = {};
    QSplitter *FSplitters[5] = {}; // SplitterVJ, SplitterJ, SplitterS, SplitterVG, SplitterG
    QLineEdit *FJournalFinder = nullptr;
    QLabel *FJournalTitle = nullptr;
    QLabel *FJournalAbbrv = nullptr;
    QLabel *FJournalImpact = nullptr;
    QLabel *FJournalUrl = nullptr;
    QList<QLineEdit *> FSearchFields;
    QComboBox *FAdded = nullptr;
    QWidget *FCitationGroup = nullptr;
    QWidget *FJournalGroup = nullptr;
    QList<QAction *> FGroupActions;
    QLabel *FStatus = nullptr;
    QMenu *FHeaderMenu = nullptr;
};
