// The main window's journal and group commands: the journal editor, groups and folders, papers in groups.

#include "Commands.h"
#include "InfoPopup.h"
#include "JournalEditor.h"
#include "MainWindow.h"
#include "PaperInfoPanel.h"
#include "PdfViewer.h"
#include "Ribbon.h"
#include "library/DataModule.h"
#include "shell/Config.h"
#include "shell/UserPrompts.h"

#include <QMenu>
#include <QTreeView>

QMenu *TfrmMain::AddToGroupMenu(int page) const
{
    return page == pgJournals || page == pgSearch ? FPaperMenus[page]->findChild<QMenu *>(QStringLiteral("AddToGroup"))
                                                  : nullptr;
}

void TfrmMain::JournalAdd()
{
    QModelIndex node = FJournalsView->currentIndex();
    if (!node.isValid()) {
        FPrompts.ShowMessage(QStringLiteral("Please, select parent category first!"), TMessageKind::mkWarning);
        return;
    }
    if (node.parent().isValid())
        node = node.parent(); // a new entry goes into the focused journal's category
    const TJournalRecord *category = FJournals.Record(node);
    if (!category->AllowChild) {
        // Patents and dissertations hang right under their container; it takes no journals.
        FPrompts.ShowMessage(
            QStringLiteral(
                "\"%1\" holds its papers directly: choose \"Journals\", \"Books\" or \"Proceedings\" to add an entry.")
                .arg(category->Title),
            TMessageKind::mkWarning);
        return;
    }
    TJournalRecord journal;
    journal.ID = -1;
    journal.JType = category->JType;
    TfrmJournal editor(FPrompts, this);
    editor.SetValues(journal);
    if (!RunJournalEditor(editor))
        return;
    editor.GetValues(journal);
    FDm.UpdateJournal(journal);
    BuildJournalTree();
    SelectJournalAndPaper(-1, FDm.GetJournalID(journal.Title));
}

void TfrmMain::JournalEdit()
{
    TJournalRecord *journal = FJournals.Record(FJournalsView->currentIndex());
    if (!journal || journal->Level == 0)
        return; // categories are not edited
    const int journalId = journal->ID;
    const int paperId = LastPaper ? LastPaper->ID : -1;
    const QString oldTitle = journal->Title;
    TfrmJournal editor(FPrompts, this);
    editor.SetValues(*journal);
    if (!RunJournalEditor(editor))
        return;
    editor.GetValues(*journal);
    FDm.UpdateJournal(*journal);
    if (journal->Title != oldTitle) {
        const TCursorSaver busy;
        const TInfoPopupScope popup(QStringLiteral("Updating journal info ..."));
        ReleaseViewers(); // no file of the journal may be open while its folder moves
        FDm.UpdatePaths(FConfig.LibraryFolder(), oldTitle, *journal);
    }
    BuildJournalTree();
    SelectJournalAndPaper(paperId, journalId);
}

void TfrmMain::JournalDelete()
{
    const QModelIndexList selected = FJournalsView->selectionModel()->selectedRows();
    const TJournalRecord *journal = selected.isEmpty() ? nullptr : FJournals.Record(selected.first());
    if (!journal)
        return;
    if (journal->Level == 0) {
        // "Patents" or "Dissertations" would take every patent or dissertation with them.
        FPrompts.ShowMessage(QStringLiteral("A category cannot be deleted."), TMessageKind::mkWarning);
        return;
    }
    if (!FPrompts.Ask(QStringLiteral("Delete selected Journal? All included papers will be deleted!")))
        return;
    FDm.DeleteJournal(journal->ID);
    FPaperModels[pgJournals]->SetPapers({});
    FViewers[pgJournals]->Clear();
    FInfoPanels[pgJournals]->Clear();
    ReloadLibraryViews();
}

void TfrmMain::GroupAddFolder()
{
    const QString title = FPrompts.InputText(QStringLiteral("Adding a new folder"), QStringLiteral("Title"), QString());
    if (title.isEmpty())
        return;
    const int highest = FDm.CountGroupFolders();
    FDm.AddGroup(title, highest < 0 ? GroupFolderBase : highest + GroupFolderBase);
    BuildGroupTree();
    FGroupsView->setCurrentIndex(LastInTreeOrder(FGroups));
}

void TfrmMain::GroupAdd()
{
    const QString title = FPrompts.InputText(QStringLiteral("Add new group"), QStringLiteral("Title"), QString());
    if (title.isEmpty())
        return;
    const TGroupRecord *focused = FGroups.Record(FGroupsView->currentIndex());
    FDm.AddGroup(title, focused && IsGroupFolder(*focused) ? focused->Code - GroupFolderOffset : 0);
    BuildGroupTree();
    FGroupsView->setCurrentIndex(LastInTreeOrder(FGroups));
}

void TfrmMain::GroupEdit()
{
    const QModelIndex node = FGroupsView->currentIndex();
    TGroupRecord *group = FGroups.Record(node);
    if (!group)
        return;
    const QString title
        = FPrompts.InputText(QStringLiteral("Edit Group's title "), QStringLiteral("New title"), group->Title);
    if (title.isEmpty() || title == group->Title)
        return;
    FDm.UpdateGroup(group->ID, title);
    group->Title = title;
    FGroupsView->update(node);
    BuildAddToGroupMenus();
}

void TfrmMain::GroupDelete()
{
    if (FActiveGroupIndex == 1) {
        FPrompts.ShowMessage(QStringLiteral("Can't delete the Favorites!"), TMessageKind::mkWarning);
        return;
    }
    if (!FPrompts.Ask(QStringLiteral("Delete selected Folder/Group?")))
        return;
    FDm.DeleteGoup(FActiveGroupIndex);
    BuildGroupTree();
}

void TfrmMain::GroupClear()
{
    if (!FPrompts.Ask(QStringLiteral("Empty selected group?")))
        return;
    FDm.ClearGoup(FActiveGroupIndex);
    FPaperModels[pgGroups]->SetPapers({});
    FInfoPanels[pgGroups]->Clear();
}

void TfrmMain::MoveGroupToFolder(int targetCode)
{
    const TGroupRecord *group = FGroups.Record(FGroupsView->currentIndex());
    if (!group || IsGroupFolder(*group) || group->ID == 1)
        return;
    FDm.UpdateGroupFolder(group->ID, targetCode);
    BuildGroupTree();
}

void TfrmMain::BuildAddToGroupMenus()
{
    TGroups groups;
    FDm.GetGroups(groups);
    BuildAddToGroupMenus(groups);
}

void TfrmMain::BuildAddToGroupMenus(const TGroups &groups)
{
    const QList<QMenu *> menus = {FRibbon->FavoritesMenu(), AddToGroupMenu(pgJournals), AddToGroupMenu(pgSearch)};
    const QIcon folderIcon = TCommands::CommandIcon(QStringLiteral("folder-new"));
    for (QMenu *menu : menus) {
        menu->clear();
        QHash<int, QMenu *> folders; // by folder code
        for (const auto &group : groups) {
            if (IsGroupFolder(*group)) {
                QMenu *folder = menu->addMenu(folderIcon, group->Title);
                folder->setProperty("code", group->Code);
                folders.insert(group->Code, folder);
                continue;
            }
            if (group->ID == 1)
                continue; // "Favorites" has its own command
            QMenu *parent = folders.value(group->Code + GroupFolderOffset, menu);
            const int id = group->ID;
            QAction *entry = parent->addAction(group->Title, this, [this, id] { AddCheckedToGroup(id); });
            entry->setData(id);
        }
        menu->setEnabled(!menu->isEmpty());
    }
}

void TfrmMain::AddCheckedToGroup(int groupId)
{
    if (!ActivePaperList())
        return;
    const TPaperRefs papers = CheckedPapers();
    FDm.AddToGroup(groupId, papers);
    const int lastId = papers.empty() ? 0 : papers.back()->ID;
    FDm.PreparePaperByGroup(groupId);
    LoadPaperList(pgGroups, false, true);
    if (lastId != 0)
        SelectGroupAndPaper(lastId, groupId);
}

void TfrmMain::DeleteCheckedFromGroup()
{
    if (!ActivePaperList())
        return;
    FDm.DeleteFromGroup(FActiveGroupIndex, CheckedPapers());
    FDm.PreparePaperByGroup(FActiveGroupIndex);
    FInfoPanels[pgGroups]->Clear();
    LoadPaperList(pgGroups, false, true);
    FDm.UpdateOrder(FActiveGroupIndex, FPaperModels[pgGroups]->PapersInListOrder());
}

void TfrmMain::SortGroupOrder(int tag)
{
    if (FPages->currentIndex() != pgGroups)
        return;
    QTreeView *list = FPaperViews[pgGroups];
    TPaperListModel &model = *FPaperModels[pgGroups];
    const std::optional<int> first = FirstSelectedRow();
    if (!first)
        return;
    const int row = *first;
    const int last = model.rowCount() - 1;
    int to = row;
    switch (tag) {
    case 1:
        to = 0;
        break;
    case 2:
        to = std::max(0, row - 1);
        break;
    case 3:
        to = row == last ? 0 : row + 1; // no next paper: to the top
        break;
    case 4:
        to = last;
        break;
    default:
        return;
    }
    model.MoveRow(row, to);
    list->setCurrentIndex(model.index(to, 0));
    FDm.UpdateOrder(FActiveGroupIndex, model.PapersInListOrder());
}

bool TfrmMain::CanDropOnGroupList(int row) const
{
    const QModelIndex focused = FPaperViews[pgGroups]->currentIndex();
    return row >= 0 && row < FPaperModels[pgGroups]->rowCount() && focused.isValid() && focused.row() != row;
}

void TfrmMain::DropOnGroupList(int row)
{
    if (!CanDropOnGroupList(row))
        return;
    TPaperListModel &model = *FPaperModels[pgGroups];
    const int from = FPaperViews[pgGroups]->currentIndex().row();
    const int to = from < row ? row : row + 1; // after the paper dropped on
    model.MoveRow(from, std::min(to, model.rowCount() - 1));
    FDm.UpdateOrder(FActiveGroupIndex, model.PapersInListOrder());
}

bool TfrmMain::CanDropOnGroup(const QModelIndex &group) const
{
    return group.isValid() && group != FGroupsView->currentIndex() && FGroups.Record(group);
}

void TfrmMain::DropOnGroup(const QModelIndex &group, bool copy)
{
    if (!CanDropOnGroup(group))
        return;
    QList<int> rows;
    for (const QModelIndex &row : FPaperViews[pgGroups]->selectionModel()->selectedRows())
        rows << row.row();
    const TPaperRefs papers = FPaperModels[pgGroups]->SelectedPapers(rows);
    const int target = FGroups.Record(group)->ID;
    if (copy) {
        FDm.AddToGroup(target, papers);
        return;
    }
    FDm.UpdateGroups(FActiveGroupIndex, target, papers);
    FDm.PreparePaperByGroup(FActiveGroupIndex);
    LoadPaperList(pgGroups, false, true);
}
