#include "LibraryTrees.h"

#include <QFont>

namespace {

TJournalRecord Category(const char *title, QChar type, bool allowChild, int id)
{
    TJournalRecord category;
    category.Title = QString::fromLatin1(title);
    category.JType = type;
    category.AllowChild = allowChild;
    category.ID = id;
    category.Level = 0;
    return category;
}

} // namespace

void TJournalTreeModel::Build(const TJournals &journals)
{
    beginResetModel();
    FRoots.clear();
    TNode *journalsNode = AddRoot(Category("Journals", u'J', true, 0));
    TNode *books = AddRoot(Category("Books", u'P', true, 0));
    TNode *proceedings = AddRoot(Category("Proceedings", u'C', true, 0));
    AddRoot(Category("Patents", u'A', false, 1));
    AddRoot(Category("Dissertations", u'D', false, 2));
    for (const auto &journal : journals) {
        if (!journal || journal->ID < 3)
            continue;
        TJournalRecord copy = *journal;
        copy.AllowChild = true;
        copy.Level = 1;
        TNode *category = copy.JType == u'P' ? books : copy.JType == u'C' ? proceedings : journalsNode;
        AddChild(category, copy);
    }
    endResetModel();
}

QModelIndex TJournalTreeModel::FindInTreeOrder(const std::function<bool(const TJournalRecord &)> &test) const
{
    for (std::size_t root = 0; root < FRoots.size(); ++root) {
        if (test(*FRoots[root]->Record))
            return index(int(root), 0);
        for (std::size_t child = 0; child < FRoots[root]->Children.size(); ++child)
            if (test(*FRoots[root]->Children[child]->Record))
                return index(int(child), 0, index(int(root), 0));
    }
    return {};
}

QModelIndex TJournalTreeModel::IndexOfJournal(int id) const
{
    return FindInTreeOrder([id](const TJournalRecord &journal) { return journal.Level == 1 && journal.ID == id; });
}

QVariant TJournalTreeModel::data(const QModelIndex &index, int role) const
{
    const TJournalRecord *journal = Record(index);
    return journal && role == Qt::DisplayRole ? QVariant(journal->Title) : QVariant();
}

void TGroupTreeModel::Build(const TGroups &groups)
{
    beginResetModel();
    FRoots.clear();
    FMoveTargets = {{QStringLiteral("Root"), RootCode}};
    // Groups come folders first (code descending): a group's folder is already there when it comes.
    for (const auto &group : groups) {
        if (!group)
            continue;
        if (IsGroupFolder(*group)) {
            FMoveTargets.append({group->Title, group->Code});
            AddRoot(*group);
            continue;
        }
        const auto folder = std::find_if(FRoots.begin(), FRoots.end(),
            [&group](const auto &node) { return node->Record->Code == group->Code + RootCode; });
        if (folder != FRoots.end())
            AddChild(folder->get(), *group);
        else
            AddRoot(*group);
    }
    endResetModel();
}

QModelIndex TGroupTreeModel::IndexOfGroup(int id) const
{
    for (std::size_t root = 0; root < FRoots.size(); ++root) {
        if (FRoots[root]->Record->ID == id)
            return index(int(root), 0);
        for (std::size_t child = 0; child < FRoots[root]->Children.size(); ++child)
            if (FRoots[root]->Children[child]->Record->ID == id)
                return index(int(child), 0, index(int(root), 0));
    }
    return {};
}

QVariant TGroupTreeModel::data(const QModelIndex &index, int role) const
{
    const TGroupRecord *group = Record(index);
    if (!group)
        return {};
    if (role == Qt::DisplayRole)
        return group->Title;
    if (role == Qt::FontRole && IsGroupFolder(*group)) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return {};
}

// The node after or before this one when every node is visited parent first, expanded or not.
QModelIndex NodeInTreeOrder(const QAbstractItemModel &model, const QModelIndex &node, bool next)
{
    if (!node.isValid())
        return next ? model.index(0, 0) : QModelIndex();
    if (next) {
        if (model.rowCount(node) > 0)
            return model.index(0, 0, node);
        for (QModelIndex at = node; at.isValid(); at = at.parent())
            if (at.row() + 1 < model.rowCount(at.parent()))
                return model.index(at.row() + 1, 0, at.parent());
        return {};
    }
    if (node.row() == 0)
        return node.parent();
    QModelIndex at = model.index(node.row() - 1, 0, node.parent());
    while (model.rowCount(at) > 0)
        at = model.index(model.rowCount(at) - 1, 0, at);
    return at;
}

// The last node when every node is visited parent first.
QModelIndex LastInTreeOrder(const QAbstractItemModel &model)
{
    QModelIndex last;
    for (int rows = model.rowCount(); rows > 0; rows = model.rowCount(last))
        last = model.index(rows - 1, 0, last);
    return last;
}
