// The main window's commands: what each ribbon button, shortcut and context-menu entry runs, and the menus.

#include "Commands.h"
#include "MainWindow.h"
#include "NewVersionInfo.h"
#include "PaperInfoPanel.h"
#include "Ribbon.h"
#include "VarnelVersion.h"
#include "library/DataModule.h"
#include "shell/Config.h"
#include "shell/UserPrompts.h"
#include "shell/VarnelError.h"
#include "styles/ReferenceText.h"
#include "web/DownloadManagerThread.h"
#include "web/VersionChecker.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const char *const HomePage = "https://www.varnel.org/";
const char *const SupportPage = "https://www.varnel.org/support";
const char *const WikiPage = "https://www.varnel.org/wiki/Varnel%3AMainPage";

} // namespace

void TfrmMain::BindCommands()
{
    TCommands &c = *FCommands;
    const auto open = [this](const char *url) { return [this, url] { FPrompts.OpenUrl(QString::fromLatin1(url)); }; };
    const auto help = [this](int context) { return [this, context] { ShowHelp(context); }; };
    const auto page = [this](int index) {
        return [this, index] {
            if (FDownloadsShown)
                FRibbon->setCurrentIndex(0); // the library pages come back with the "Content" tab
            FPages->setCurrentIndex(index);
        };
    };

    c.Bind("actTreeUncheckAll", [this] {
        if (TPaperListModel *model = ActivePaperModel())
            model->UncheckAll();
    });
    c.Bind("TreeCheckAll", [this] {
        QTreeView *list = ActivePaperList();
        if (!list)
            return;
        QList<int> rows;
        for (const QModelIndex &row : list->selectionModel()->selectedRows())
            rows << row.row();
        if (ActivePaperModel()->CheckAll(rows))
            list->clearSelection();
    });
    c.Bind("actViewMode", [this] {
        const int index = FPages->currentIndex();
        if (index >= 0 && index < 3)
            SetWideMode(index, !FWideMode[index]);
    });
    c.Bind("actFastSearch", [this] { ShowQuickSearch(); });
    c.Bind("DwnlStart", [this] { FDownloadManager->Start(); });
    c.Bind("DwnlPause", [this] { FDownloadManager->Stop(); });
    c.Bind("DwnlDelete", [this] { DeleteSelectedDownloads(); });
    c.Bind("DwnlClear", [this] { FQueue.Clear(); });
    c.Bind("actDBStatistics", [this] { ShowStatistics(); });
    c.Bind("ImportFromClipboard", [this] { ImportFromClipboard(); });
    c.Bind("PaperAddSciDir", [this] { ImportFromWeb(); });
    c.Bind("acPaperFromFile", [this] { ImportFromFiles(); });
    c.Bind("actPaperAttachFile", [this] { AttachFile(); });
    c.Bind("actPaperDownloadPDF", [this] { DownloadFromUrl(); });
    c.Bind("PaperDownloadPDF", [this] { DownloadChecked(); });
    c.Bind("PaperRead", [this] { PaperRead(); });
    c.Bind("PaperAdd", [this] { PaperAdd(); });
    c.Bind("PaperEdit", [this] { PaperEdit(); });
    c.Bind("PaperDelete", [this] { PaperDelete(); });
    c.Bind("JournalAdd", [this] { JournalAdd(); });
    c.Bind("JournalEdit", [this] { JournalEdit(); });
    c.Bind("JournalDelete", [this] { JournalDelete(); });
    c.Bind("GroupAdd", [this] { GroupAdd(); });
    c.Bind("actGroupAddFolder", [this] { GroupAddFolder(); });
    c.Bind("GroupEdit", [this] { GroupEdit(); });
    c.Bind("GroupDelete", [this] { GroupDelete(); });
    c.Bind("GroupClear", [this] { GroupClear(); });
    c.Bind("PaperAddToFavorites", [this] { AddCheckedToGroup(1); });
    c.Bind("actPaperDeleteFromGroup", [this] { DeleteCheckedFromGroup(); });
    c.Bind("GroupFirst", [this] { SortGroupOrder(1); });
    c.Bind("GroupUp", [this] { SortGroupOrder(2); });
    c.Bind("GroupDown", [this] { SortGroupOrder(3); });
    c.Bind("GroupLast", [this] { SortGroupOrder(4); });
    c.Bind("PaperCopyRef", [this] { CopyReferences(); });
    c.Bind("DatabaseSelectTemplate", [this] { ManageStyles(); });
    c.Bind("FileOptions", [this] { ShowSettings(); });
    connect(FRibbon->Templates(), &QComboBox::activated, this,
        [this](int index) { ActivateStyle(FRibbon->Templates()->itemText(index)); });
    c.Bind("FilePrint", [this] {
        QPrinter printer;
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() == QDialog::Accepted)
            PrintReferences(printer);
    });
    for (const char *numbering :
        {"NumberNoneActn", "NumberArabicParenActn", "NumberArabicDotActn", "NumberArabicSquareActn"})
        c.Bind(numbering, [] {}); // a choice read by the next copy
    c.Bind("DBUpdate", [this] { UpdateDatabase(); });
    c.Bind("FileSaveRIS", [this] { ExportRIS(); });
    c.Bind("WordPaste", [this] { WordPaste(); });
    c.Bind("WordPrepareList", [this] { WordPrepareList(); });
    c.Bind("WordConvertToText", [this] { WordConvertToText(); });
    c.Bind("actWordConvertToObj", [this] { WordConvertToObjects(); });
    c.Bind("actWordObjectsToGroup", [this] { WordObjectsToGroup(); });
    c.Bind("actWordUpdateRefernces", [this] { WordUpdateReferences(); });
    c.Bind("actWordFastMode", [this] {
        FConfig.GetOptions<TOtherOptions>().SetFastWordInsertion(
            FCommands->Get(QStringLiteral("actWordFastMode"))->isChecked());
    });
    c.Bind("acPaperExportPDF", [this] { ExportFullTexts(false); });
    c.Bind("actPaperExportPDFRIS", [this] { ExportFullTexts(true); });
    c.Bind("DatabaseExportAll", [this] { ExportAll(); });
    c.Bind("DatabaseBackup", [this] { BackupDatabase(); });
    c.Bind("DataBaseRestore", [this] { RestoreDatabase(); });
    c.Bind("DBRecreate", [this] { RecreateDatabase(); });
    c.Bind("DBSyncLocalFiles", [this] { SyncLibraryFiles(); });
    c.Bind("DBExportTemplates", [this] { ExportTemplates(); });
    c.Bind("DBImportTemplates", [this] { ImportTemplates(); });
    c.Bind("DBExportGroups", [this] { ExportGroups(); });
    c.Bind("DBImportGroups", [this] { ImportGroups(); });
    c.Bind("actHelpHomePage", open(HomePage));
    c.Bind("actHelpSupport", open(SupportPage));
    c.Bind("actHelpWiki", open(WikiPage));
    c.Bind("Help", help(0));
    c.Bind("actQuickStart", help(60));
    c.Bind("actHelpStyles", help(303));
    c.Bind("actHelpDataImport", help(700));
    c.Bind("actHelpMSWord", help(900));
    c.Bind("HelpAbout", [this] { ShowAbout(); });
    c.Bind("actHelpCheckUpdate", [this] { CheckForUpdate(false); });
    c.Bind("acJournalShow", page(pgJournals));
    c.Bind("acSearchShow", page(pgSearch));
    c.Bind("acGroupShow", page(pgGroups));
    c.Bind("FileExit", [this] { close(); });
    c.Bind("DatabaseSearch", [this] { DatabaseSearch(); });

    // Ctrl+Right and Ctrl+Left walk the page's tree.
    for (const auto &[key, next] : {std::pair {Qt::Key_Right, true}, std::pair {Qt::Key_Left, false}}) {
        auto *walk = new QAction(this);
        walk->setShortcut(QKeySequence(Qt::CTRL | key));
        connect(walk, &QAction::triggered, this, [this, next = next] { MoveInTree(next); });
        addAction(walk);
    }
}

void TfrmMain::BuildContextMenus()
{
    TCommands &c = *FCommands;
    // A context menu from its entries: a caption with the command it runs, "-" for a separator; "Go to Journal"
    // and the submenus "Add to Group" (filled when the groups are known) and "Move to Folder" are the window's
    // own. It opens over the view's items.
    using TEntry = std::pair<const char *, const char *>;
    const auto menu = [this, &c](const char *name, QAbstractItemView *view, std::initializer_list<TEntry> entries) {
        auto *result = new QMenu(this);
        result->setObjectName(QString::fromLatin1(name));
        for (const auto &[caption, command] : entries) {
            const QString text = QString::fromLatin1(caption);
            if (command)
                TCommands::AddMenuEntry(result, text, c[command]);
            else if (text == QLatin1String("-"))
                result->addSeparator();
            else if (text == QLatin1String("Go to Journal"))
                result->addAction(text, this, &TfrmMain::GoToJournal);
            else
                result->addMenu(text)->setObjectName(text == QLatin1String("Add to Group")
                        ? QStringLiteral("AddToGroup")
                        : QStringLiteral("MoveToFolder"));
        }
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, result,
            [result, view](const QPoint &at) { result->popup(view->viewport()->mapToGlobal(at)); });
        return result;
    };
    const TEntry separator {"-", nullptr};

    FPaperMenus[pgJournals] = menu("pmPapersJ", FPaperViews[pgJournals],
        {{"Read", "PaperRead"}, {"Copy as formatted text", "PaperCopyRef"}, {"Edit description", "PaperEdit"},
            {"Add to downloads", "PaperDownloadPDF"}, separator, {"Add To Favorites", "PaperAddToFavorites"},
            {"Add to Group", nullptr}, separator, {"Delete", "PaperDelete"}});
    FPaperMenus[pgSearch] = menu("pmPapersS", FPaperViews[pgSearch],
        {{"Read", "PaperRead"}, {"Copy Ref", "PaperCopyRef"}, {"Edit", "PaperEdit"},
            {"Download pdf", "PaperDownloadPDF"}, {"Go to Journal", nullptr}, separator,
            {"Add To Favorites", "PaperAddToFavorites"}, {"Add to Group", nullptr}, separator,
            {"Delete", "PaperDelete"}});
    FPaperMenus[pgGroups] = menu("pmPapersG", FPaperViews[pgGroups],
        {{"Read", "PaperRead"}, {"Copy as formatted text", "PaperCopyRef"}, {"Edit", "PaperEdit"},
            {"Add to downloads", "PaperDownloadPDF"}, {"Go to Journal", nullptr}, separator,
            {"Delete from Group", "actPaperDeleteFromGroup"}, separator, {"Delete", "PaperDelete"}});
    for (QTreeView *list : FPaperViews)
        connect(list, &QAbstractItemView::doubleClicked, c["PaperRead"], &QAction::trigger);

    FJournalsMenu = menu("pmJournalsList", FJournalsView,
        {{"New ...", "JournalAdd"}, {"Edit ...", "JournalEdit"}, separator, {"Delete", "JournalDelete"}});
    connect(FJournalsView, &QAbstractItemView::doubleClicked, c["JournalEdit"], &QAction::trigger);
    FGroupsMenu = menu("pmGroupsList", FGroupsView,
        {{"Move to Folder", nullptr}, separator, {"Edit ...", "GroupEdit"}, {"Clear", "GroupClear"},
            {"Delete", "GroupDelete"}});
    FMoveToFolder = FGroupsMenu->findChild<QMenu *>(QStringLiteral("MoveToFolder"));

    // The journal panel's "Copy" takes the label the menu was opened over: its text, or the journal's
    // address for the link; over the panel's background there is nothing to copy.
    FJournalPanelMenu = new QMenu(this);
    FJournalPanelMenu->setObjectName(QStringLiteral("pmJournalPanel"));
    QAction *copy = FJournalPanelMenu->addAction(QStringLiteral("Copy"));
    FJournalPanelMenu->addSeparator();
    TCommands::AddMenuEntry(FJournalPanelMenu, QStringLiteral("Edit ..."), c["JournalEdit"]);
    connect(copy, &QAction::triggered, this, [this, copy] {
        const auto *label = qobject_cast<const QLabel *>(copy->data().value<QObject *>());
        if (!label)
            return;
        QApplication::clipboard()->setText(
            label == FJournalUrl ? FJournalUrl->property("address").toString() : label->text());
    });
    QWidget *panel = FJournalTitle->parentWidget();
    for (QWidget *source : {panel, static_cast<QWidget *>(FJournalTitle), static_cast<QWidget *>(FJournalAbbrv),
             static_cast<QWidget *>(FJournalImpact), static_cast<QWidget *>(FJournalUrl)}) {
        source->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(source, &QWidget::customContextMenuRequested, this, [this, source, panel, copy](const QPoint &at) {
            copy->setData(QVariant::fromValue<QObject *>(source == panel ? nullptr : source));
            copy->setEnabled(source != panel);
            FJournalPanelMenu->popup(source->mapToGlobal(at));
        });
    }
}

void TfrmMain::MoveInTree(bool next)
{
    const int index = FPages->currentIndex();
    QTreeView *tree = index == pgJournals ? FJournalsView : index == pgGroups ? FGroupsView : nullptr;
    if (!tree)
        return;
    const QModelIndex chosen = NodeInTreeOrder(*tree->model(), tree->currentIndex(), next);
    tree->selectionModel()->clearSelection();
    if (chosen.isValid()) {
        tree->setCurrentIndex(chosen);
        if (chosen.parent().isValid())
            tree->expand(chosen.parent());
    }
    if (QTreeView *list = ActivePaperList(); list && list->model()->rowCount() > 0)
        list->setCurrentIndex(list->model()->index(0, 0));
}

void TfrmMain::GoToJournal()
{
    if (!LastPaper)
        return;
    const int paperId = LastPaper->ID;
    const int journalId = LastPaper->JID;
    SelectJournalAndPaper(paperId, journalId);
    FPages->setCurrentIndex(pgJournals);
}

void TfrmMain::ShowStatistics()
{
    TStatRecord stats;
    FDm.GetStats(stats);
    FPrompts.ShowMessage(
        QStringLiteral("Database contents:\n\nJournals: %1\nPapers: %2").arg(stats.Journals).arg(stats.Papers));
}

void TfrmMain::ShowAbout()
{
    QDialog about(this);
    about.setObjectName(QStringLiteral("frmAbout"));
    about.setWindowTitle(QStringLiteral("About"));
    auto *layout = new QVBoxLayout(&about);
    auto *icon = new QLabel;
    icon->setPixmap(windowIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    auto *name = new QLabel(QStringLiteral("<h2>Varnel</h2>"));
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    auto *version = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(VARNEL_VERSION)));
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);
    layout->addWidget(new QLabel(QStringLiteral("A reference manager for scientific literature.")));
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, &about, &QDialog::reject);
    layout->addWidget(buttons);
    about.exec();
}

void TfrmMain::ShowHelp(int context)
{
    const QString file = FConfig.GetSystemFileName(TVarnelSystemFile::sfAppHelp);
    if (!QFileInfo::exists(file)) {
        FPrompts.ShowMessage(QStringLiteral("The help pages were not found (%1).").arg(file), TMessageKind::mkError);
        return;
    }
    QUrl url = QUrl::fromLocalFile(file);
    if (context != 0)
        url.setFragment(QStringLiteral("context-%1").arg(context));
    if (!FPrompts.OpenUrl(url.toString()))
        FPrompts.ShowMessage(
            QStringLiteral("No program could open the help pages (%1).").arg(file), TMessageKind::mkError);
}

void TfrmMain::UpdateDatabase()
{
    QString file = FConfig.GetSystemFileName(TVarnelSystemFile::sfDBUpdateFile);
    if (!QFileInfo::exists(file))
        file = FPrompts.OpenFileName(QStringLiteral("Open update file"), FConfig.DataFolder(),
            QStringLiteral("SQL scripts (*.sql);;All files (*)"));
    if (file.isEmpty())
        return;
    try {
        FDm.UpdateDB(file);
    } catch (const EVarnelError &error) {
        // A script that cannot be read is said, not taken for a finished update.
        FPrompts.ShowMessage(error.Message(), TMessageKind::mkError);
        return;
    }
    FPrompts.ShowMessage(QStringLiteral("Database update complete!"));
}

QString TfrmMain::ChosenReferences()
{
    const TPaperRefs papers = CheckedPapers();
    // The gallery's number formats; "None" leaves the number out.
    TTemplateRecord style = FTemplate;
    TTemplater templater;
    const TCommands &c = *FCommands;
    if (c["NumberArabicParenActn"]->isChecked())
        style.NumFormat = QStringLiteral("%d)");
    else if (c["NumberArabicDotActn"]->isChecked())
        style.NumFormat = QStringLiteral("%d.");
    else if (c["NumberArabicSquareActn"]->isChecked())
        style.NumFormat = QStringLiteral("[%d]");
    templater.SetNumbered(!c["NumberNoneActn"]->isChecked());
    if (templater.SetTemplate(&style) != TErrorType::ErFine)
        throw EVarnelError(QStringLiteral("The style \"%1\" cannot format references.").arg(FTemplate.Title));
    return FormatReferences(templater, papers);
}

void TfrmMain::CopyReferences()
{
    QString text;
    try {
        text = ChosenReferences();
    } catch (const EVarnelError &error) {
        FPrompts.ShowMessage(error.Message(), TMessageKind::mkError);
        return;
    }
    auto *data = new QMimeData;
    data->setText(text);
    const QByteArray rtf = ReferenceRtf(text);
    data->setData(QStringLiteral("text/rtf"), rtf);
    data->setData(QStringLiteral("application/rtf"), rtf);
    QApplication::clipboard()->setMimeData(data);
}

void TfrmMain::PrintReferences(QPrinter &printer)
{
    QStringList lines;
    try {
        lines = ChosenReferences().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    } catch (const EVarnelError &error) {
        FPrompts.ShowMessage(error.Message(), TMessageKind::mkError);
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        FPrompts.ShowMessage(QStringLiteral("The printer could not be started."), TMessageKind::mkError);
        return;
    }
    // One reference per line, wrapped at the page's width, a new page when the next one does not fit.
    const QRect page = painter.viewport();
    int top = 0;
    for (const QString &line : std::as_const(lines)) {
        const QRect needed = painter.boundingRect(QRect(0, 0, page.width(), page.height()), Qt::TextWordWrap, line);
        if (top > 0 && top + needed.height() > page.height()) {
            printer.newPage();
            top = 0;
        }
        painter.drawText(QRect(0, top, page.width(), needed.height()), Qt::TextWordWrap, line);
        top += needed.height();
    }
    painter.end();
}

void TfrmMain::CheckForUpdate(bool hidden)
{
    std::erase_if(FVersionCheckers, [](const auto &checker) { return checker->isFinished(); });
    auto checker = std::make_unique<TVersionCheckerThread>(&FConfig.GetOptions<TProxyOptions>());
    checker->URl = FConfig.GetOptions<TOtherOptions>().UpdateInfoURL();
    checker->OldVersion = QStringLiteral(VARNEL_VERSION);
    checker->Hidden = hidden;
    checker->OnStatus = [this](const QString &text) { FStatus->setText(text); };
    checker->OnNewVersion = [this](const TVersionInfo &info) {
        TfrmNewVersionInfo dialog(
            info, [this](const QString &url) { FPrompts.OpenUrl(url); }, this);
        RunNewVersionDialog(dialog);
    };
    checker->OnMessage = [this](const QString &text) { FPrompts.ShowMessage(text); };
    checker->start();
    FVersionCheckers.push_back(std::move(checker));
}
