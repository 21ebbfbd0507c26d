#include "Commands.h"

#include "shell/VarnelError.h"

#include <QAction>
#include <QFile>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

namespace {

struct TCommandDesc
{
    const char *Name;
    const char *Caption;
    const char *Shortcut; // as the screen tip shows it; "Enter" stands for both Enter keys
    const char *Description;
    const char *Icon;
};

// clang-format off
const TCommandDesc CommandTable[] = {
    // Content: Journal
    {"JournalAdd", "&New", nullptr, "Add a new item to the selected section (Journal, Publisher or Conference)", "document-new"},
    {"JournalEdit", "&Edit", nullptr, "Edit selected entry.", "document-properties"},
    {"JournalDelete", "&Delete journal", nullptr, "Delete selected intryl (all sub-entries will be deleted)", "edit-delete"},
    // Content: Citation
    {"PaperRead", "&Read", "Shift+Enter", "Open selected paper in the external PDF Viewer", "document-open"},
    {"PaperAdd", "&New", nullptr, "Add new record (Paper, Book, Dissertation, Confernce or Patent) ", "document-new"},
    {"PaperEdit", "&Edit", "Ctrl+Enter", "Edite selected entry", "document-properties"},
    {"PaperDelete", "&Delete selected paper", nullptr, "Delete selected entry", "edit-delete"},
    {"actTreeUncheckAll", "&UnCheck", nullptr, "UnCheck all items", "uncheck"},
    {"TreeCheckAll", "C&heck", nullptr, "Check all items", "check"},
    {"PaperDownloadPDF", "&Download", "Shift+Ctrl+P", "Authomatically recognise and download pdf from the journal web-site ", "download"},
    {"actPaperAttachFile", "&From file ...", nullptr, nullptr, "mail-attachment"},
    {"actPaperDownloadPDF", "Fr&om URL ...", nullptr, "Download pdf by using\na direct download link", "insert-link"},
    // Content: View, Import
    {"actViewMode", "&Wide", nullptr, "Toggle layout  between normal/wide screen", "view-dual"},
    {"PaperAddSciDir", "&Web", "Ctrl+I", "Import citation data from ScienceDirect or AIP web-sites. Input url of the paper's page into an input box appear.", "web-browser"},
    {"acPaperFromFile", "&File", "Ctrl+F", "Import data from the RIS or ENW file", "document-import"},
    {"ImportFromClipboard", "&Import from Clipboard", nullptr, "Import data from clipboard (in RIS format)", "edit-paste"},
    // Content: Export
    {"PaperCopyRef", "&Copy", "Ctrl+C", "Copy formatted reference to clipboard", "edit-copy"},
    {"NumberNoneActn", "None", nullptr, nullptr, nullptr},
    {"NumberArabicParenActn", "1)", nullptr, nullptr, nullptr},
    {"NumberArabicDotActn", "1.", nullptr, nullptr, nullptr},
    {"NumberArabicSquareActn", "[1]", nullptr, nullptr, nullptr},
    {"WordPaste", "&Word", nullptr, "Paste selected papers as citations to active LibreOffice Writer document", "x-office-document"},
    {"actWordFastMode", "&Use fast insertion", nullptr, nullptr, nullptr},
    {"WordPrepareList", "&Insert Bibliography", nullptr, "Create bibliography using selected style and insert to active LibreOffice Writer document", nullptr},
    {"WordConvertToText", "&Convert to text", nullptr, "Convert all embedded citation objects in active LibreOffice Writer document to text representation", nullptr},
    {"actWordConvertToObj", "C&onvert to objects", nullptr, nullptr, nullptr},
    {"actWordObjectsToGroup", "&Extract to group", nullptr, nullptr, nullptr},
    {"actWordUpdateRefernces", "U&pdate citations", nullptr, nullptr, nullptr},
    {"DatabaseSelectTemplate", "&Manage styles", nullptr, "Select style for formatting of the bibliography list", "styles"},
    {"FileSaveRIS", "& Export RIS ...", "Ctrl+S", "Export selected entries to separate RIS files", "document-save"},
    {"acPaperExportPDF", "&Export PDF ...", nullptr, "Copy files of the selected citations into a folder", nullptr},
    {"actPaperExportPDFRIS", "E&xport PDF && RIS", nullptr, nullptr, nullptr},
    // Content: Manage group
    {"PaperAddToFavorites", "F&avorites", "Ctrl+0", "Add selected entry to Favorites", "favorites"},
    {"GroupAdd", "&New", nullptr, "Create a new group", "folder-new"},
    {"actGroupAddFolder", "&Folder", nullptr, "Create a folder in the list of groups", "folder-new"},
    {"GroupEdit", "&Edit", nullptr, "Edit title of the selected group", "document-properties"},
    {"GroupClear", "&Clear", nullptr, "Delete papers from the selected group (but not from the database)", "edit-clear"},
    {"GroupDelete", "&Delete", nullptr, "Delete group", "edit-delete"},
    {"actPaperDeleteFromGroup", "&Delete", nullptr, "Delete checked papers from the active group.", "list-remove"},
    {"GroupFirst", "&First", nullptr, "Move first", "go-top"},
    {"GroupUp", "&Up", nullptr, "Move Up", "go-up"},
    {"GroupDown", "Do&wn", nullptr, "Move down", "go-down"},
    {"GroupLast", "&Last", nullptr, "Move last", "go-bottom"},
    // Downloads
    {"DwnlStart", "&Start", nullptr, "Start downloads", "media-playback-start"},
    {"DwnlPause", "S&top", nullptr, nullptr, "media-playback-stop"},
    {"DwnlLast", "&First", nullptr, nullptr, "go-top"},
    {"DwnlUp", "&DwnlUp", nullptr, nullptr, "go-up"},
    {"DwnlDown", "D&wnlDown", nullptr, nullptr, "go-down"},
    {"DwnlFirst", "&Last", nullptr, nullptr, "go-bottom"},
    {"DwnlDelete", "&Delete", nullptr, nullptr, "list-remove"},
    {"DwnlClear", "&Clear", nullptr, "Clear the list of downloads", "edit-clear"},
    // Tools
    {"actFastSearch", "&In active\r\nlist", "F3", nullptr, "edit-find"},
    {"DBImportTemplates", "&Templates", nullptr, "Import templates from exchange file", "document-import"},
    {"DBImportGroups", "&Groups", nullptr, "Import groups from exchange file", "document-import"},
    {"DBExportTemplates", "&Templates", nullptr, "Export templates to exchange file", "document-export"},
    {"DBExportGroups", "&Groups", nullptr, "Export groups to exchange file", "document-export"},
    {"DatabaseExportAll", "&Export All", nullptr, "Export All entries to separate RIS files to the destination folder", "document-export"},
    {"actDBStatistics", "&DB Info", nullptr, nullptr, "dialog-information"},
    {"DatabaseBackup", "&Backup", nullptr, "Backup database", "backup"},
    {"DataBaseRestore", "&Restore", nullptr, "Restore database from a backup file", "document-revert"},
    {"DBSyncLocalFiles", "&Sync local files", nullptr, "Syncronize database with local storage of pdf files", "view-refresh"},
    {"DBUpdate", "&Update", nullptr, "Update Database structure. Make a backup first!", "system-software-update"},
    {"DBRecreate", "&Empty Database", nullptr, nullptr, "user-trash"},
    {"FilePrint", "&Checked \r\ncitation", nullptr, nullptr, "document-print"},
    {"FileOptions", "&Options", nullptr, nullptr, "preferences-system"},
    // Help
    {"actHelpHomePage", "&Home\r\nPage", nullptr, nullptr, "go-home"},
    {"actHelpCheckUpdate", "&Check\r\nfor update", nullptr, nullptr, "system-software-update"},
    {"actHelpWiki", "&Wiki", nullptr, nullptr, "wiki"},
    {"actHelpSupport", "&Support", nullptr, nullptr, "support"},
    {"actQuickStart", "&Quick\r\nStart", nullptr, nullptr, "help-browser"},
    {"actHelpMSWord", "&Writer\r\nIntegration", nullptr, nullptr, "x-office-document"},
    {"actHelpStyles", "&Styles\r\nmanagement", nullptr, nullptr, "styles"},
    {"actHelpDataImport", "&Data\r\nImport", nullptr, nullptr, "document-import"},
    {"Help", "&Help content", "F1", nullptr, "help-contents"},
    {"HelpAbout", "&About\r\nVarnel", nullptr, nullptr, "dialog-information"},
    // Without a ribbon button
    {"acSearchShow", "Search", "Ctrl+Alt+S", nullptr, nullptr},
    {"acJournalShow", "Journals", "Ctrl+Alt+J", nullptr, nullptr},
    {"acGroupShow", "Groups", "Ctrl+Alt+G", nullptr, nullptr},
    {"FileExit", "Exit", nullptr, nullptr, nullptr},
    {"DatabaseSearch", "Search", nullptr, nullptr, nullptr},
    {"SearchTitle", "Title", nullptr, nullptr, nullptr},
    {"SearchID", "ID", nullptr, nullptr, nullptr},
    {"SearchAuthor", "Author", nullptr, nullptr, nullptr},
    {"HelpRoot", "Help", nullptr, nullptr, nullptr},
    {"TemplateEdit", "Edit", nullptr, nullptr, nullptr},
};
// clang-format on

// "Enter" in a shortcut means both the main Return key and the keypad's Enter key.
QList<QKeySequence> KeysOf(const QString &text)
{
    if (!text.contains(QLatin1String("Enter")))
        return {QKeySequence(text, QKeySequence::PortableText)};
    QString main = text;
    main.replace(QLatin1String("Enter"), QLatin1String("Return"));
    QString keypad = text;
    keypad.replace(QLatin1String("Enter"), QLatin1String("Num+Enter"));
    return {QKeySequence(main, QKeySequence::PortableText), QKeySequence(keypad, QKeySequence::PortableText)};
}

QString PlainCaption(QString caption)
{
    caption.replace(QLatin1String("\r\n"), QLatin1String(" "));
    caption.replace(QLatin1String("&&"), QLatin1String("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return caption.simplified();
}

} // namespace

TCommands::TCommands(QWidget *owner)
    : QObject(owner)
{
    for (const TCommandDesc &desc : CommandTable) {
        const QString caption = QString::fromUtf8(desc.Caption);
        auto *action = new QAction(owner);
        action->setObjectName(QString::fromLatin1(desc.Name));
        action->setText(QString(caption).replace(QLatin1String("\r\n"), QLatin1String(" ")));
        // The ribbon shows the caption with its line break; menus show it on one line.
        action->setIconText(QString(caption).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        const QString shortcut = desc.Shortcut ? QString::fromLatin1(desc.Shortcut) : QString();
        if (!shortcut.isEmpty())
            action->setShortcuts(KeysOf(shortcut));
        action->setToolTip(ScreenTip(
            PlainCaption(caption), desc.Description ? QString::fromUtf8(desc.Description) : QString(), shortcut));
        if (desc.Icon)
            action->setIcon(CommandIcon(QString::fromLatin1(desc.Icon)));
        action->setEnabled(false);
        owner->addAction(action);
        FActions.insert(action->objectName(), action);
    }
}

QAction *TCommands::Get(const QString &name) const
{
    QAction *action = FActions.value(name);
    if (!action)
        throw EVarnelError(QStringLiteral("Unknown command \"%1\"").arg(name));
    return action;
}

void TCommands::Bind(const char *name, std::function<void()> handler)
{
    QAction *action = (*this)[name];
    action->setProperty("bound", true);
    action->setEnabled(true);
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
}

bool TCommands::IsBound(const QAction *action) const
{
    return action->property("bound").toBool();
}

void TCommands::SetEnabled(const QString &name, bool enabled)
{
    QAction *action = Get(name);
    action->setEnabled(enabled && IsBound(action));
}

QAction *TCommands::AddMenuEntry(QMenu *menu, const QString &caption, QAction *command)
{
    QAction *entry = menu->addAction(caption);
    entry->setIcon(command->icon());
    entry->setShortcut(command->shortcut());
    entry->setShortcutVisibleInContextMenu(true);
    entry->setEnabled(command->isEnabled());
    connect(entry, &QAction::triggered, command, &QAction::trigger);
    connect(command, &QAction::enabledChanged, entry, &QAction::setEnabled);
    return entry;
}

QString TCommands::ScreenTip(const QString &caption, const QString &description, const QString &shortcut)
{
    QString tip = QStringLiteral("<b>%1</b>").arg(caption.toHtmlEscaped());
    if (!description.trimmed().isEmpty())
        tip += QStringLiteral("<br>")
            + description.trimmed().toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>"));
    if (!shortcut.isEmpty())
        tip += QStringLiteral("<br><i>(%1)</i>").arg(shortcut);
    return tip;
}

QIcon TCommands::CommandIcon(const QString &name)
{
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    const QString bundled = QStringLiteral(":/icons/%1.svg").arg(name);
    return QFile::exists(bundled) ? QIcon(bundled) : QIcon();
}
