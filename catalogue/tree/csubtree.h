#pragma once

#include "catalogue/tree/citemflags.h"
#include "catalogue/tree/ctreelevels.h"
#include "platform/component/event.h"

#include <QString>
#include <memory>
#include <vector>

namespace tv {

class CSubTree;
class CTreeItem;

// The expanded children of one subtree, keyed by the child's KeyStr and kept in ascending
// order of the children's ParentIndex, which the row arithmetic relies on. Owns the
// children.
class CSortedSubtrees {
public:
    void Add(std::shared_ptr<CSubTree> subtree, const QString& key);
    std::shared_ptr<CSubTree> Item(const QString& key) const;   // none when absent
    int Count() const { return int(items_.size()); }
    void Remove(const QString& key);
    // Restores the order after the children's ParentIndex values changed.
    void Resort();
    std::vector<std::shared_ptr<CSubTree>>::const_iterator begin() const { return items_.begin(); }
    std::vector<std::shared_ptr<CSubTree>>::const_iterator end() const { return items_.end(); }

private:
    std::vector<std::shared_ptr<CSubTree>> items_;
};

// The rows of one level that belong to one parent row, loaded when that row is expanded:
// the level query's rows, one flag byte per row and the expanded children. The root
// subtree holds level 1 and belongs to the tree control; every other subtree belongs to
// its parent's SubTrees and dies when its row collapses or disappears. A child sees its
// parent through a non-owning link, so dropping a subtree releases its whole branch.
//
// Local indexes count the rows of one subtree from 0; an absolute index counts every row
// the tree shows, from 0. Only the root raises the events; every other subtree passes the
// request up to it.
class CSubTree : public std::enable_shared_from_this<CSubTree> {
public:
    int VisibleCount = -1;     // own rows plus those of all expanded descendants; -1 = not counted
    int Level = 1;             // root 1, child = parent's level + 1
    std::weak_ptr<CSubTree> Parent;
    int ParentIndex = -1;      // local index of the parent row in Parent; -1 for the root
    int ResultNode = 0;        // local row left behind by FindSubTree and NextSubtree
    std::shared_ptr<TreeNodes> Nodes;
    CSortedSubtrees SubTrees;
    QString KeyStr;            // the parent row's key; empty for the root
    QString SelKey;            // key of the selected row when it lies in this subtree
    CItemFlags flags;

    // Events of the root. Redraw modes: 0 repaint, 1 after an expansion, 2 after a collapse.
    Event<int> Redraw;
    Event<> SelectionChange;
    Event<std::shared_ptr<CTreeLevels>&> LevelInfo;   // the host hands out the levels
    Event<std::shared_ptr<CTreeItem>&> SubItemSelect;

    void RaiseSelectionChange();
    void RaiseSubItemSelect(std::shared_ptr<CTreeItem>& item);
    std::shared_ptr<CTreeLevels> FetchLevels();
    void RaiseRedraw(int mode);

    void SetExpandable(int index, bool on) { flags.Set(index, fExpandable, on); }
    bool IsParent(int index);
    // Reads the rows; false when the level gives none for this parent (the subtree is
    // then not kept). The root's events must be connected first.
    bool Create(const std::shared_ptr<CSubTree>& parent, const QString& parentKey, int parentIndex);
    // Re-reads the rows keeping expansion and selection by key; the new row count.
    int Requery();
    void ExpandAll();
    // Expands the rows of successive levels by key, first level first; the subtree
    // reached, or none when a key is missing. `keyPath` is consumed.
    std::shared_ptr<CSubTree> CascadeExpand(QStringList& keyPath);
    std::shared_ptr<CTreeItem> CascadeExpandEx(QStringList& keyPath);
    std::shared_ptr<CSubTree> Expand(int index);
    std::shared_ptr<CSubTree> Expand(const QString& key) { return Expand(FindLocalIndex(key)); }
    void Collapse(int index);
    void Collapse(const QString& key) { Collapse(FindLocalIndex(key)); }
    int NodesCountEx() const { return Nodes ? Nodes->Count() : 0; }
    int NodesCount(bool recount);
    void AdjustCount(int delta);
    // The row's values: key, text (Null as ""), level, icon, flag byte, parent key.
    void TreeItemData(int index, QString& key, QString& text, int& level, int& icon, uint8_t& flagByte,
                      QString& parentKey) const;
    Variant NodeKey(int index) const;
    QString NodeText(int index) const;
    std::shared_ptr<CSubTree> FindSubTree(int absolute, int offset = -1);
    std::shared_ptr<CTreeItem> FindTreeItem(int absolute);
    int GetAbsoluteIndex(int local);
    int FindLocalIndex(const QString& key) const;
    // The first row (of this subtree) whose text contains `text`, without regard to case:
    // its absolute index, with `subtree` set; -1 when there is none.
    int FindString(const QString& text, std::shared_ptr<CSubTree>& subtree);
    bool FindSelectedItem(int& index, std::shared_ptr<CSubTree>& subtree);
    void nSelectItem(int index);
    void SelectItem(int index);
    Variant GetFieldValue(const QString& fieldName, int index) const;

    // For the tree item and the control.
    std::shared_ptr<CSubTree> NextSubtree();
    std::shared_ptr<CSubTree> GetRootTree();

private:
    bool InsertSubtree(int index);
    void RemoveSubtree(int index);
    void createFlags();
    void markEnds();
    // After a child branch was dropped: when it held the selection, the row at `index`
    // (or the last row) takes it over, so that the tree never loses its selection.
    void keepSelectionOf(const std::shared_ptr<CSubTree>& child, int index);

    bool root_ = false;
};

} // namespace tv
