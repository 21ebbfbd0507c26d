#pragma once

#include "DownloadListModel.h"
#include "LibraryTrees.h"
#include "PaperListModel.h"
#include "exchange/Exports.h"
#include "shell/StartupArguments.h"
#include "styles/Templater.h"
#include "views/QuickSearch.h"
#include "web/DownloadQueue.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QPrinter;
class QProgressBar;
class QMenu;
class QLabel;
class QLineEdit;
class QSplitter;
class QTabWidget;
class QTreeView;
class QWidget;
class TCommands;
class TConfig;
class TPdfViewer;
class QTimer;
class TfrmJournal;
class TfrmNewVersionInfo;
class TVersionCheckerThread;
class TWordDocument;
class TWordHelper;
class TfrmPaper;
class TfrmSettings;
class TfrmTemplate;
class TRibbon;
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
    // The focused paper of the active list and its row; none off the library pages or without a focus.
    TPaperRecord *FocusedPaper(int *row = nullptr) const;
    // The active list's first selected row in list order, if any.
    std::optional<int> FirstSelectedRow() const;
    // The papers a command acts on: the first selected one and every checked one, in list order; the checks
    // are taken.
    TPaperRefs CheckedPapers();
    void SelectJournalAndPaper(int paperId, int journalId);
    void SelectGroupAndPaper(int paperId, int groupId);
    void ReloadLibraryViews();
    void SetBookLocalStatus(int id, bool local);
    void DatabaseSearch();
    // Clears the three viewers so that no PDF file is held open.
    void ReleaseViewers();
    // The [Viewer] options to the three viewers: the folder is Path or else the program's folder; a program
    // name without a folder is taken from the program's folder.
    void ApplyViewerOptions();
    // The style selector: the titles of every citation style, in the store's order.
    void FillStyleList();
    // The wide layout of a page shows its viewer beside the list; the normal one in the "View PDF" tab.
    void SetWideMode(int page, bool wide);
    bool WideMode(int page) const { return FWideMode[page]; }
    // Ctrl+Right/Ctrl+Left: the next or previous node of the page's tree, then the first paper of its list.
    void MoveInTree(bool next);
    // Journals: a new entry in the focused node's category, editing the focused journal (its files follow a new
    // title), deleting the selected one with its papers.
    void JournalAdd();
    void JournalEdit();
    void JournalDelete();
    // Groups and folders: the focused folder takes a new group; "Favorites" is never deleted or moved.
    void GroupAdd();
    void GroupAddFolder();
    void GroupEdit();
    void GroupDelete();
    void GroupClear();
    void MoveGroupToFolder(int targetCode);
    // The groups offered by "Favorites" and the lists' "Add to Group" menus, folders as submenus.
    void BuildAddToGroupMenus();
    void AddCheckedToGroup(int groupId);
    void DeleteCheckedFromGroup();
    // The first selected paper of the group's list: 1 first, 2 up, 3 down (the last one wraps to the top),
    // 4 last; the new order is stored.
    void SortGroupOrder(int tag);
    // Shows the journal editor; true when it was accepted. Tests answer it instead of a user.
    std::function<bool(TfrmJournal &)> RunJournalEditor;
    // Papers by hand: a new one in the journal last chosen, editing the focused one of the active list,
    // deleting the one shown last.
    void PaperAdd();
    void PaperEdit();
    void PaperDelete();
    std::function<bool(TfrmPaper &)> RunPaperEditor;
    // The styles manager; after "Ok" its chosen style becomes the current one.
    void ManageStyles();
    std::function<bool(TfrmTemplate &)> RunStylesManager;
    // The settings dialog; saved, the viewers take the viewer options again.
    void ShowSettings();
    std::function<bool(TfrmSettings &)> RunSettings;
    // Makes the style of that title the current one and remembers it.
    void ActivateStyle(const QString &title);
    QMenu *MoveToFolderMenu() const { return FMoveToFolder; }
    // Dragging in the groups page: within the list the focused paper goes after the paper dropped on; onto
    // another group the selected papers move there, or are copied with Ctrl. Neither takes a drop on the
    // focused node itself.
    bool CanDropOnGroupList(int row) const;
    void DropOnGroupList(int row);
    bool CanDropOnGroup(const QModelIndex &group) const;
    void DropOnGroup(const QModelIndex &group, bool copy);
    QMenu *AddToGroupMenu(int page) const;

    // A look for a newer version on a thread of its own; the automatic one (hidden) says nothing when the
    // program is up to date. The announcement dialog is shown by RunNewVersionDialog.
    void CheckForUpdate(bool hidden);
    std::function<void(TfrmNewVersionInfo &)> RunNewVersionDialog;
    QTimer *UpdateTimer() const { return FUpdateTimer; }
    const std::vector<std::unique_ptr<TVersionCheckerThread>> &VersionCheckers() const { return FVersionCheckers; }

    // The help pages at a context number (0: the contents).
    void ShowHelp(int context);
    void UpdateDatabase();
    // The chosen papers of the active list (the first selected one checked too; the checks are taken), each
    // formatted with the current style and numbered from 1 in list order, as one reference text. The numbering
    // gallery's choice, when one is made, stands in for the style's number format.
    QString ChosenReferences();
    // Copy: the reference text on the clipboard as plain text and as RTF (hanging indents, the style's bold).
    void CopyReferences();
    // Print: one reference per line on that printer, as one job.
    void PrintReferences(QPrinter &printer);
    // The quick search's step (F3): selects the next paper of the active list holding the text.
    void LocatePaper(const QString &text, bool next);

    // The start's own arguments once the window is built: a paper from the web, a citation file. True when a
    // file was imported (the last selections are then not restored).
    bool CheckParams(const TStartupRequest &request);
    // A citation file and its companion, then the views; the last paper imported is selected.
    void ImportFile(const QString &fileName);
    // The address proposed by "Import from Web" and "Add from URL": the clipboard's text when it holds
    // "http://", else nothing.
    static QString ProposedAddress(const QString &clipboardText);
    // "Import from Web": an address asked for, the paper added and its PDF queued and started.
    void ImportFromWeb();
    // "Add from file ...": citation files chosen, each imported with its companion, the progress shown.
    void ImportFromFiles();
    // "Attach file ...": a full-text file moved into the library as the focused paper's file.
    void AttachFile();
    // "Add from URL": a PDF address queued for the paper shown; "Download pdf": the checked papers queued.
    void DownloadFromUrl();
    void DownloadChecked();
    // The clipboard's text as RIS records; the last paper imported is selected in its journal.
    void ImportFromClipboard();
    // A paper from its address or DOI, queued for its PDF; the download starts unless told otherwise.
    void AddPaperFromWeb(const QString &url, bool startDownload);
    // What a later start hands over: an address is added and its download started, a citation file imported;
    // 1 once handled, 0 for a tag of no meaning.
    int ReceiveHandOver(const THandOver &handOver);
    // "Read": the focused paper's file opened outside the window, or, without one, offered for download.
    void PaperRead();

    // Exports of the chosen papers into a folder: their RIS files, their full-text files (with RIS files
    // too), and the whole library as RIS files.
    void ExportRIS();
    void ExportFullTexts(bool withRIS);
    void ExportAll();
    // The backup archive written and read back; the library emptied after a question; the local-file flags
    // synced with the library folder. The views follow the new library.
    void BackupDatabase();
    void RestoreDatabase();
    void RecreateDatabase();
    void SyncLibraryFiles();
    // The style list and the group member list files.
    void ExportTemplates();
    void ImportTemplates();
    void ExportGroups();
    void ImportGroups();

    // The word-processor commands on the running word processor's open document: the chosen papers cited at
    // the cursor, the reference list pasted, citations turned into text, bracketed numbers into citations of
    // the selected group, the cited papers added to it, the fields refreshed.
    void WordPaste();
    void WordPrepareList();
    void WordConvertToText();
    void WordConvertToObjects();
    void WordObjectsToGroup();
    void WordUpdateReferences();
    // The document of the running word processor; raises EVarnelError when there is none. The program connects
    // to LibreOffice Writer; tests hand in a document of their own.
    std::function<std::shared_ptr<TWordDocument>()> OpenWordDocument;

    // The column header menu: its entries checked for the active list's columns, "Journal" and "No" shown
    // for the groups list only; choosing an entry removes or adds that column and saves the layouts.
    void SyncHeaderMenu();
    void HeaderMenuClick(int tag);
    QMenu *HeaderMenu() const { return FHeaderMenu; }

    // For tests and the command handlers.
    QTabWidget *Pages() const { return FPages; }
    TRibbon *Ribbon() const { return FRibbon; }
    TCommands &Commands() const { return *FCommands; }
    QTreeView *JournalsTree() const { return FJournalsView; }
    QTreeView *GroupsTree() const { return FGroupsView; }
    QTreeView *PaperList(int page) const;
    QTabWidget *DetailTabs(int page) const { return FDetailTabs[page]; }
    TPdfViewer *Viewer(int page) const { return FViewers[page]; }
    // The page's "View PDF" tab; none in the wide layout, which shows the viewer beside the list.
    QWidget *PdfSheet(int page) const { return FPdfSheets[page]; }
    QMenu *PaperMenu(int page) const { return FPaperMenus[page]; }
    QMenu *JournalsMenu() const { return FJournalsMenu; }
    QMenu *GroupsMenu() const { return FGroupsMenu; }
    QMenu *JournalPanelMenu() const { return FJournalPanelMenu; }
    TTemplater &Templater() { return FTemplater; }
    TPaperListModel &PaperModel(int page) const;
    TPaperInfoPanel *InfoPanel(int page) const;
    QWidget *CitationGroup() const { return FCitationGroup; }
    QWidget *JournalGroup() const { return FJournalGroup; }
    QLineEdit *JournalFinder() const { return FJournalFinder; }
    QLabel *JournalTitleLabel() const { return FJournalTitle; }
    QLineEdit *SearchField(const QString &name) const;
    QLabel *StatusPane() const { return FStatus; }
    QProgressBar *ProgressPane() const { return FProgress; }
    TDownloadQueue &DownloadQueue() { return FQueue; }
    QTreeView *DownloadList() const { return FDownloadView; }
    TDownloadManager &DownloadManager() const { return *FDownloadManager; }
    // "Delete" of the download page: the selected entries, except the one downloading.
    void DeleteSelectedDownloads();

protected:
    void closeEvent(QCloseEvent *event) override;
    void customEvent(QEvent *event) override;
    // The journal finder passes Up and Down on to the journals tree; Enter goes to the paper list.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct TLibraryPage;
    QWidget *BuildJournalsPage();
    QWidget *BuildSearchPage();
    QWidget *BuildGroupsPage();
    QWidget *BuildDownloadsPage();
    void BindCommands();
    void BuildContextMenus();
    void ShowAbout();
    void GoToJournal();
    void DetailTabChanged(int page);
    void ReadViewerOptions();
    QTreeView *NewPaperList(TPaperListModel &model, int tag);
    // A page's paper list over its detail tabs ("Search Query" first on the search page).
    // Returns the page's horizontal splitter: list and details on the left, the wide layout's viewer panel right.
    QSplitter *BuildListAndDetails(int page, QWidget *searchForm = nullptr);
    void ShowJournal(const QModelIndex &node);
    void SelectPaperInList(int page, int paperId);
    // A paper of a list changed by a command: stored, its row repainted, its details shown again.
    void StoreFocusedPaper(int page, int row);
    void BuildJournalTree();
    // The groups tree, its "Move to Folder" menu and the add-to-group menus, from one reading of the groups.
    void BuildGroupTree();
    void BuildAddToGroupMenus(const TGroups &groups);
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
    // One word-processor command: the busy cursor, the popup (none for an empty text), the document and a
    // helper on it, all let go also when the command fails.
    void RunWordAction(const QString &popupText, const std::function<void(TWordHelper &)> &action);
    // The group selected on the Groups page; 0, told to the user, when none or a folder is.
    int SelectedGroupForWord();
    // Progress of a long operation in the status bar's progress pane.
    TProgress StatusProgress();
    // After the library was replaced: no last paper, the trees, lists, group menus and styles again.
    void RefreshWholeLibrary();
    // The style selector again, keeping the current style when it is still there.
    void RefreshStyles();

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
    const TJournalRecord *FLastJournal = nullptr; // a node of the journals tree; none once the tree is rebuilt
    TQuickSearch FQuickSearch;

    TJournalTreeModel FJournals;
    TGroupTreeModel FGroups;
    std::unique_ptr<TPaperListModel> FPaperModels[3];
    TDownloadQueue FQueue;
    TDownloadListModel FDownloads {FQueue};
    std::unique_ptr<TDownloadManager> FDownloadManager;
    QTimer *FUpdateTimer = nullptr;
    std::vector<std::unique_ptr<TVersionCheckerThread>> FVersionCheckers;

    TCommands *FCommands = nullptr;
    TRibbon *FRibbon = nullptr;
    TTemplater FTemplater;
    TTemplateRecord FTemplate;
    bool FWideMode[3] = {};
    TPdfViewer *FViewers[3] = {};
    QWidget *FPdfSheets[3] = {};
    QWidget *FViewerPanels[3] = {}; // pnlPDFViewerRightJ, S, G
    QSplitter *FSplittersH[3] = {}; // SplitterJH, SplitterSH, SplitterGH
    QMenu *FPaperMenus[3] = {};
    QMenu *FJournalsMenu = nullptr;
    QMenu *FGroupsMenu = nullptr;
    QMenu *FJournalPanelMenu = nullptr;
    QMenu *FMoveToFolder = nullptr;
    QTabWidget *FPages = nullptr;
    QTreeView *FJournalsView = nullptr;
    QTreeView *FGroupsView = nullptr;
    QTreeView *FPaperViews[3] = {};
    QTreeView *FDownloadView = nullptr; // tvDownloadList
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
    QLabel *FStatus = nullptr;
    QProgressBar *FProgress = nullptr;
    QMenu *FHeaderMenu = nullptr;
};
