#pragma once

#include "records/LibraryRecords.h"

#include <QAbstractItemModel>

#include <functional>
#include <memory>
#include <vector>

// A tree of records two levels deep (roots and their children), the shape of the journals and groups trees.
// The model owns copies of its records; the single column shows their titles.
template <class TRecord> class TTwoLevelTree : public QAbstractItemModel
{
public:
    using QAbstractItemModel::QAbstractItemModel;

    // The record at index, or null.
    TRecord *Record(const QModelIndex &index) const
    {
        const TNode *node = Node(index);
        return node ? node->Record.get() : nullptr;
    }

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override
    {
        if (column != 0 || row < 0)
            return {};
        if (!parent.isValid())
            return std::size_t(row) < FRoots.size() ? createIndex(row, 0, quintptr(0)) : QModelIndex();
        if (parent.internalId() != 0 || std::size_t(row) >= FRoots[std::size_t(parent.row())]->Children.size())
            return {};
        return createIndex(row, 0, quintptr(parent.row() + 1)); // a child carries its root's row + 1
    }
    QModelIndex parent(const QModelIndex &child) const override
    {
        return child.isValid() && child.internalId() != 0 ? createIndex(int(child.internalId() - 1), 0, quintptr(0))
                                                          : QModelIndex();
    }
    int rowCount(const QModelIndex &parent = {}) const override
    {
        if (!parent.isValid())
            return int(FRoots.size());
        return parent.internalId() == 0 ? int(FRoots[std::size_t(parent.row())]->Children.size()) : 0;
    }
    int columnCount(const QModelIndex & = {}) const override { return 1; }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        return section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole
            ? QVariant(QStringLiteral("Title"))
            : QVariant();
    }

protected:
    struct TNode
    {
        std::unique_ptr<TRecord> Record;
        std::vector<std::unique_ptr<TNode>> Children;
    };

    const TNode *Node(const QModelIndex &index) const
    {
        if (!index.isValid())
            return nullptr;
        if (index.internalId() == 0)
            return FRoots[std::size_t(index.row())].get();
        return FRoots[std::size_t(index.internalId() - 1)]->Children[std::size_t(index.row())].get();
    }
    TNode *AddRoot(const TRecord &record)
    {
        FRoots.push_back(std::make_unique<TNode>(TNode {std::make_unique<TRecord>(record), {}}));
        return FRoots.back().get();
    }
    static void AddChild(TNode *parent, const TRecord &record)
    {
        parent->Children.push_back(std::make_unique<TNode>(TNode {std::make_unique<TRecord>(record), {}}));
    }

    std::vector<std::unique_ptr<TNode>> FRoots;
};

// The journals tree: five categories ("Journals", "Books", "Proceedings", "Patents", "Dissertations") and each
// stored journal under the category of its type; the seeded containers 1 and 2 are the last two categories.
class TJournalTreeModel final : public TTwoLevelTree<TJournalRecord>
{
    Q_OBJECT

public:
    using TTwoLevelTree::TTwoLevelTree;
    void Build(const TJournals &journals);
    // The first node in tree order (categories and their journals) whose record passes the test.
    QModelIndex FindInTreeOrder(const std::function<bool(const TJournalRecord &)> &test) const;
    // The journal node of that ID (categories are not journals).
    QModelIndex IndexOfJournal(int id) const;
    QVariant data(const QModelIndex &index, int role) const override;
};

// The groups tree: folders (bold, code above 0xFFFFFF) with their groups; a group whose folder is missing is a
// root after the folders.
class TGroupTreeModel final : public TTwoLevelTree<TGroupRecord>
{
    Q_OBJECT

public:
    static constexpr int RootCode = GroupFolderOffset;
    static constexpr int FolderBase = GroupFolderBase;

    using TTwoLevelTree::TTwoLevelTree;
    void Build(const TGroups &groups);
    QModelIndex IndexOfGroup(int id) const;
    // The "Move to Folder" choices: "Root" (RootCode), then each folder with its code.
    const QList<std::pair<QString, int>> &MoveTargets() const { return FMoveTargets; }
    QVariant data(const QModelIndex &index, int role) const override;

private:
    QList<std::pair<QString, int>> FMoveTargets;
};

// Tree order visits every node parent first, expanded or not: the node after or before this one (after no node:
// the first), and the last node.
QModelIndex NodeInTreeOrder(const QAbstractItemModel &model, const QModelIndex &node, bool next);
QModelIndex LastInTreeOrder(const QAbstractItemModel &model);
