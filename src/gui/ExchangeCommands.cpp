// The main window's exports, archives and list files, and the two commands that work on the whole library:
// emptying it and syncing the local-file flags.

#include "InfoPopup.h"
#include "MainWindow.h"
#include "Ribbon.h"
#include "exchange/Backup.h"
#include "exchange/ListFiles.h"
#include "exchange/TextFiles.h"
#include "library/DataModule.h"
#include "shell/Config.h"
#include "shell/UserPrompts.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QScopeGuard>

#include <cmath>

namespace {

const QString BackupFilter = QStringLiteral("Database backup file (*.vbk)");

// A saved file takes the default extension when its name has none.
QString WithExtension(const QString &fileName, const QString &extension)
{
    return QFileInfo(fileName).suffix().isEmpty() ? fileName + extension : fileName;
}

QString FolderOf(const QString &fileName)
{
    return QFileInfo(fileName).absolutePath() + u'/';
}

// A list file exchanged on its own: what it is called in the dialogs, its file type, how the library writes it
// and how it takes one in.
struct TListFileKind
{
    const char *What;
    const char *DefaultName;
    const char *Filter;
    QString (*Text)(TdmMain &);
    void (*Import)(TdmMain &, const QStringList &);
};

const TListFileKind StyleList {"templates", "templates.tlst", "Template list (*.tlst)", StyleListText, ImportStyleList};
const TListFileKind GroupList {
    "groups", "groups.glst", "Group list (*.glst)", GroupMemberListText, ImportGroupMemberList};

void ExportListFile(TdmMain &dm, TUserPrompts &prompts, const QString &folder, const TListFileKind &kind)
{
    const QString file = prompts.SaveFileName(QStringLiteral("Export ") + QLatin1String(kind.What), folder,
        QString::fromLatin1(kind.DefaultName), QString::fromLatin1(kind.Filter));
    if (file.isEmpty())
        return;
    const TCursorSaver busy;
    SaveTextFile(WithExtension(file, u'.' + QFileInfo(QString::fromLatin1(kind.DefaultName)).suffix()), kind.Text(dm));
}

// True when a file was taken in. The file is read whole before the library changes.
bool ImportListFile(TdmMain &dm, TUserPrompts &prompts, const QString &folder, const TListFileKind &kind)
{
    const QString file = prompts.OpenFileName(
        QStringLiteral("Import ") + QLatin1String(kind.What), folder, QString::fromLatin1(kind.Filter));
    if (file.isEmpty())
        return false;
    const TCursorSaver busy;
    kind.Import(dm, ReadTextLines(file));
    return true;
}

} // namespace

TProgress TfrmMain::StatusProgress()
{
    return [this](int done, int total) { FProgress->setValue(total > 0 ? int(std::lround(100.0 * done / total)) : 0); };
}

void TfrmMain::ExportRIS()
{
    TPathOptions &paths = FConfig.GetOptions<TPathOptions>();
    const QString caption = QStringLiteral("Exporting RIS to folder ...");
    const QString folder = FPrompts.SelectFolder(caption, paths.LastSaveRISFolder());
    if (folder.isEmpty())
        return;
    const TCursorSaver busy;
    const TInfoPopupScope popup(caption);
    ExportRISFiles(CheckedPapers(), folder, [&](int done, int total) {
        paths.SetLastSaveRISFolder(folder);
        SetInfoPopupText(QStringLiteral("RIS exporting: %1 of %2 is done ...").arg(done).arg(total));
    });
}

void TfrmMain::ExportFullTexts(bool withRIS)
{
    TPathOptions &paths = FConfig.GetOptions<TPathOptions>();
    const QString caption = QStringLiteral("Exporting PDF to folder ...");
    const QString folder = FPrompts.SelectFolder(caption, paths.LastSavePDFFolder());
    if (folder.isEmpty())
        return;
    const TCursorSaver busy;
    const TInfoPopupScope popup(caption);
    const auto finish = qScopeGuard([this] {
        if (TPaperListModel *model = ActivePaperModel())
            model->UncheckAll();
    });
    const QString step = withRIS ? QStringLiteral("Exporting PDF&RIS: %1 of %2 is done ...")
                                 : QStringLiteral("PDF export: %1 of %2 is done ...");
    ExportPaperFiles(CheckedPapers(), FConfig.LibraryFolder(), folder, withRIS, FPrompts,
        [&](int done, int total) { SetInfoPopupText(step.arg(done).arg(total)); });
    paths.SetLastSavePDFFolder(folder);
}

void TfrmMain::ExportAll()
{
    TPathOptions &paths = FConfig.GetOptions<TPathOptions>();
    const QString folder
        = FPrompts.SelectFolder(QStringLiteral("Exporting All to folder ..."), paths.LastSaveAllFolder());
    if (folder.isEmpty())
        return;
    const TCursorSaver busy;
    const int written = ExportAllRIS(FDm, folder, StatusProgress());
    paths.SetLastSaveAllFolder(folder);
    FStatus->setText(QStringLiteral("%1 papers were exported").arg(written));
}

void TfrmMain::BackupDatabase()
{
    TPathOptions &paths = FConfig.GetOptions<TPathOptions>();
    QString file = FPrompts.SaveFileName(
        QStringLiteral("Backup database"), paths.LastBackupFolder(), QStringLiteral("varnel.vbk"), BackupFilter);
    if (file.isEmpty())
        return;
    file = WithExtension(file, QStringLiteral(".vbk"));
    {
        const TCursorSaver busy;
        const TInfoPopupScope popup(QStringLiteral("Backuping entire database ..."));
        BackupLibrary(FDm, file, StatusProgress());
    }
    paths.SetLastBackupFolder(FolderOf(file));
    FStatus->setText(QStringLiteral("The library was saved to %1").arg(file));
}

void TfrmMain::RestoreDatabase()
{
    TPathOptions &paths = FConfig.GetOptions<TPathOptions>();
    const QString file
        = FPrompts.OpenFileName(QStringLiteral("Restore database"), paths.LastBackupFolder(), BackupFilter);
    if (file.isEmpty())
        return;
    paths.SetLastBackupFolder(FolderOf(file));
    const auto refresh = qScopeGuard([this] { RefreshWholeLibrary(); }); // also after a restore that failed half-way
    const TCursorSaver busy;
    const TInfoPopupScope popup(QStringLiteral("Restoring database ..."));
    ReleaseViewers();
    RestoreLibrary(FDm, FPrompts, file, FConfig.LibraryFolder(), StatusProgress());
}

void TfrmMain::RecreateDatabase()
{
    if (!FPrompts.Ask(QStringLiteral("Do you really want to empty the database? All data will be lost!"),
            QStringLiteral("Varnel: Empty database"), TMessageKind::mkWarning))
        return;
    const auto refresh = qScopeGuard([this] { RefreshWholeLibrary(); });
    const TCursorSaver busy;
    ReleaseViewers();
    EmptyDatabase(FDm);
}

void TfrmMain::SyncLibraryFiles()
{
    const TCursorSaver busy;
    SyncLocalFiles(FDm, FConfig.LibraryFolder());
    ReloadLibraryViews();
}

void TfrmMain::RefreshWholeLibrary()
{
    LastPaper = nullptr;
    ReloadLibraryViews();
    BuildGroupTree();
    RefreshStyles();
}

void TfrmMain::RefreshStyles()
{
    const QString current = FRibbon->Templates()->currentText();
    FillStyleList();
    QComboBox *selector = FRibbon->Templates();
    ActivateStyle(selector->findText(current) >= 0 ? current : selector->itemText(0));
}

void TfrmMain::ExportTemplates()
{
    ExportListFile(FDm, FPrompts, FConfig.GetOptions<TPathOptions>().LastBackupFolder(), StyleList);
}

void TfrmMain::ImportTemplates()
{
    if (ImportListFile(FDm, FPrompts, FConfig.GetOptions<TPathOptions>().LastBackupFolder(), StyleList))
        RefreshStyles();
}

void TfrmMain::ExportGroups()
{
    ExportListFile(FDm, FPrompts, FConfig.GetOptions<TPathOptions>().LastBackupFolder(), GroupList);
}

void TfrmMain::ImportGroups()
{
    if (ImportListFile(FDm, FPrompts, FConfig.GetOptions<TPathOptions>().LastBackupFolder(), GroupList))
        BuildGroupTree();
}
