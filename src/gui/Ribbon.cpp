#include "Ribbon.h"

#include "Commands.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// One place in a group: a large button, a small button (stacked three to a column), a row of small
// image-only buttons (one place of a column), or the style selector. The first command is the button's;
// the others fill its drop-down.
struct TItem
{
    enum TKind { Large, Small, Row, Templates };
    TKind Kind;
    QStringList Commands;
};

struct TGroupDesc
{
    QString Caption;
    QList<TItem> Items;
};

struct TTabDesc
{
    QString Caption;
    QList<TGroupDesc> Groups;
};

TItem Item(TItem::TKind kind, std::initializer_list<const char *> commands)
{
    TItem item {kind, {}};
    for (const char *name : commands)
        item.Commands << QString::fromLatin1(name);
    return item;
}

TItem L(std::initializer_list<const char *> commands)
{
    return Item(TItem::Large, commands);
}

TItem S(std::initializer_list<const char *> commands)
{
    return Item(TItem::Small, commands);
}

QList<TTabDesc> RibbonLayout()
{
    return {
        {QStringLiteral("Content"),
            {{QStringLiteral("Journal"), {L({"JournalAdd"}), L({"JournalEdit", "JournalDelete"})}},
                {QStringLiteral("Citation"),
                    {L({"PaperRead"}), L({"PaperAdd"}), L({"PaperEdit", "PaperDelete"}), S({"actTreeUncheckAll"}),
                        S({"TreeCheckAll"}), S({"PaperDownloadPDF"}), S({"actPaperAttachFile"}),
                        S({"actPaperDownloadPDF"})}},
                {QStringLiteral("View"), {L({"actViewMode"})}},
                {QStringLiteral("Import"), {L({"PaperAddSciDir"}), L({"acPaperFromFile", "ImportFromClipboard"})}},
                {QStringLiteral("Export"),
                    {L({"PaperCopyRef", "NumberNoneActn", "NumberArabicParenActn", "NumberArabicDotActn",
                         "NumberArabicSquareActn"}),
                        L({"WordPaste", "actWordFastMode", "WordPrepareList", "WordConvertToText",
                            "actWordConvertToObj", "actWordObjectsToGroup", "actWordUpdateRefernces"}),
                        Item(TItem::Templates, {}), S({"DatabaseSelectTemplate"}),
                        S({"FileSaveRIS", "acPaperExportPDF", "actPaperExportPDFRIS"})}},
                {QStringLiteral("Manage group"),
                    {L({"PaperAddToFavorites"}), L({"GroupAdd", "actGroupAddFolder"}), S({"GroupEdit"}),
                        S({"GroupClear", "GroupDelete"}), S({"actPaperDeleteFromGroup"}),
                        Item(TItem::Row, {"GroupFirst", "GroupUp", "GroupDown", "GroupLast"})}}}},
        {QStringLiteral("Downloads"),
            {{QStringLiteral("Start/Stop"), {L({"DwnlStart"}), L({"DwnlPause"})}},
                {QStringLiteral("Organize"), {L({"DwnlLast"}), L({"DwnlUp"}), L({"DwnlDown"}), L({"DwnlFirst"})}},
                {QStringLiteral("List"), {L({"DwnlDelete"}), L({"DwnlClear"})}}}},
        {QStringLiteral("Tools"),
            {{QStringLiteral("Search"), {L({"actFastSearch"})}},
                {QStringLiteral("Import"), {S({"DBImportTemplates"}), S({"DBImportGroups"})}},
                {QStringLiteral("Export"), {S({"DBExportTemplates"}), S({"DBExportGroups"}), S({"DatabaseExportAll"})}},
                {QStringLiteral("Database"),
                    {L({"actDBStatistics"}), L({"DatabaseBackup"}), L({"DataBaseRestore"}), S({"DBSyncLocalFiles"}),
                        S({"DBUpdate"}), S({"DBRecreate"})}},
                {QStringLiteral("Print"), {L({"FilePrint"})}}, {QStringLiteral("Settings"), {L({"FileOptions"})}}}},
        {QStringLiteral("Help"),
            {{QStringLiteral("Web Help"),
                 {L({"actHelpHomePage"}), L({"actHelpCheckUpdate"}), S({"actHelpWiki"}), S({"actHelpSupport"})}},
                {QStringLiteral("Tutorials"),
                    {L({"actQuickStart"}), L({"actHelpMSWord"}), L({"actHelpStyles"}), L({"actHelpDataImport"})}},
                {QStringLiteral("Help"), {L({"Help"}), L({"HelpAbout"})}}}},
    };
}

QToolButton *Button(QAction *action, bool large)
{
    auto *button = new QToolButton;
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setObjectName(action->objectName() + QStringLiteral("Button"));
    if (large) {
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(32, 32));
        button->setMinimumWidth(std::max(52, button->sizeHint().width())); // never an elided caption
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    } else {
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setIconSize(QSize(16, 16));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    return button;
}

} // namespace

TRibbon::TRibbon(TCommands &commands, QWidget *parent)
    : QTabWidget(parent)
    , FCommands(commands)
{
    setObjectName(QStringLiteral("Ribbon"));
    setDocumentMode(true);
    // The numbering gallery is one choice among four.
    auto *numbering = new QActionGroup(this);
    for (const char *name :
        {"NumberNoneActn", "NumberArabicParenActn", "NumberArabicDotActn", "NumberArabicSquareActn"}) {
        commands[name]->setCheckable(true);
        numbering->addAction(commands[name]);
    }
    // No choice: the style's own number format.
    numbering->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    commands["actWordFastMode"]->setCheckable(true);

    for (const TTabDesc &tab : RibbonLayout()) {
        auto *page = new QWidget;
        auto *row = new QHBoxLayout(page);
        row->setContentsMargins(2, 2, 2, 0);
        row->setSpacing(0);
        for (const TGroupDesc &desc : tab.Groups) {
            auto *group = new QWidget;
            group->setObjectName(tab.Caption + QLatin1Char('/') + desc.Caption);
            auto *column = new QVBoxLayout(group);
            column->setContentsMargins(4, 0, 4, 0);
            column->setSpacing(0);
            auto *buttons = new QHBoxLayout;
            buttons->setSpacing(1);
            QGridLayout *stack = nullptr;
            int stacked = 0;
            for (const TItem &item : desc.Items) {
                QWidget *widget = nullptr;
                if (item.Kind == TItem::Templates) {
                    FTemplates = new QComboBox;
                    FTemplates->setObjectName(QStringLiteral("cbTemplates"));
                    FTemplates->setMinimumContentsLength(12);
                    FTemplates->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
                    widget = FTemplates;
                } else if (item.Kind == TItem::Row) {
                    widget = new QWidget;
                    auto *icons = new QHBoxLayout(widget);
                    icons->setContentsMargins(0, 0, 0, 0);
                    icons->setSpacing(0);
                    for (const QString &name : item.Commands) {
                        QToolButton *button = Button(FCommands.Get(name), false);
                        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
                        icons->addWidget(button);
                    }
                    icons->addStretch(1);
                } else {
                    QToolButton *button = Button(FCommands.Get(item.Commands.first()), item.Kind == TItem::Large);
                    QMenu *menu = nullptr;
                    if (item.Commands.size() > 1) {
                        menu = new QMenu(button);
                        for (const QString &name : item.Commands.mid(1))
                            menu->addAction(FCommands.Get(name));
                    } else if (item.Commands.first() == QLatin1String("PaperAddToFavorites")) {
                        menu = FFavoritesMenu = new QMenu(button);
                    }
                    if (menu) {
                        button->setMenu(menu);
                        button->setPopupMode(QToolButton::MenuButtonPopup);
                    }
                    if (item.Kind == TItem::Large) {
                        buttons->addWidget(button);
                        stack = nullptr;
                        continue;
                    }
                    widget = button;
                }
                if (!stack || stacked == 3) {
                    stack = new QGridLayout;
                    stack->setSpacing(1);
                    buttons->addLayout(stack);
                    stacked = 0;
                }
                stack->addWidget(widget, stacked++, 0, Qt::AlignTop);
            }
            if (stack)
                stack->setRowStretch(3, 1);
            column->addLayout(buttons, 1);
            auto *caption = new QLabel(desc.Caption);
            caption->setAlignment(Qt::AlignCenter);
            caption->setForegroundRole(QPalette::PlaceholderText);
            column->addWidget(caption);
            row->addWidget(group);
            auto *line = new QFrame;
            line->setFrameShape(QFrame::VLine);
            line->setFrameShadow(QFrame::Sunken);
            row->addWidget(line);
            FGroups.insert(group->objectName(), group);
        }
        row->addStretch(1);
        addTab(page, tab.Caption);
    }
    setFixedHeight(sizeHint().height());
}

QWidget *TRibbon::Group(const QString &tab, const QString &caption) const
{
    return FGroups.value(tab + QLatin1Char('/') + caption);
}

void TRibbon::SetGroupEnabled(QWidget *group, bool enabled)
{
    group->setEnabled(enabled);
    for (QToolButton *button : group->findChildren<QToolButton *>()) {
        QAction *action = button->defaultAction();
        FCommands.SetEnabled(action->objectName(), enabled);
        if (button->menu())
            for (QAction *entry : button->menu()->actions())
                if (FCommands.Has(entry->objectName()))
                    FCommands.SetEnabled(entry->objectName(), enabled);
    }
}
