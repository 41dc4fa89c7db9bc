#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "platform/runtime/variant.h"

namespace tv {

class CSubTree;

// The handle of one tree row, handed to hosts (the selected row, a row by index, the
// neighbours of a row) and used by the tree to draw. It refers to the subtree that holds
// the row, which it keeps alive, and copies the row's values when it is made: a later
// requery or expand does not change an existing handle. Hosts may overwrite the public
// values; the change stays in the handle.
class CTreeItem {
public:
    QString Key;         // item key (first column of the level query), as text
    QString ParentKey;   // parent key (second column), as text
    QString Text;        // display text (fourth column; Null gives "")
    int Level = 0;       // 1 for the top level
    int icon = 0;        // icon number (third column)

    // A handle on row `localIndex` of `subtree`; none without a subtree.
    static std::shared_ptr<CTreeItem> Make(int localIndex, std::shared_ptr<CSubTree> subtree);

    // The row whose expansion shows this row; none on the top level.
    std::shared_ptr<CTreeItem> ParentItem() const;
    // The rows shown directly above and below in the whole tree; none at either end.
    std::shared_ptr<CTreeItem> PrevItem() const;
    std::shared_ptr<CTreeItem> NextItem() const;
    // Only for an expanded row: re-reads its children (and, unless `keepBuffers`, the
    // levels' parent-key buffers first), then asks for a repaint.
    void Requery(bool keepBuffers = false);
    // The row's absolute index in the whole tree, from 0.
    int Index() const;
    bool Expanded() const;
    void SetExpanded(bool expanded);
    // The loaded rows below an expanded row (its children and their expanded
    // descendants); 0 for a row that is not expanded.
    int SubItemCount() const { return SubItemCountEx(false); }
    // With `ownRowsOnly`, the children alone.
    int SubItemCountEx(bool ownRowsOnly) const;
    // Selects the child with that key (expanding the row first); whether it is selected.
    bool SelectSubItem(const QString& key);
    void ExpandAll();
    std::shared_ptr<CTreeItem> FindTreeItem(int absolute) const;
    Variant GetFieldValue(const QString& fieldName) const;

    // For the tree's own classes.
    int TreeLineIcon() const;
    bool Selected() const;
    void SetSelected(bool selected);
    int AbsoluteIndex() const { return Index(); }
    bool IsLastItem() const;
    bool IsParent() const;
    bool RedrawFlag() const;
    void SetRedrawFlag(bool on);
    bool Visible() const;
    void SetVisible(bool on);
    int LocalIndex() const { return localIndex_; }
    const std::shared_ptr<CSubTree>& Subtree() const { return subtree_; }

private:
    std::shared_ptr<CSubTree> childTree() const;
    // Re-reads the levels' parent-key buffers; false (after the tree error box) on failure.
    bool rebuildParentBuffers(const QString& procedure) const;

    uint8_t flagByte_ = 0;   // the row's flags when the handle was made
    std::shared_ptr<CSubTree> subtree_;
    int localIndex_ = 0;
};

} // namespace tv
