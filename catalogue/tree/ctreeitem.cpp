#include "catalogue/tree/ctreeitem.h"

#include "catalogue/tree/csubtree.h"
#include "catalogue/tree/modsqltree.h"

namespace tv {

std::shared_ptr<CTreeItem> CTreeItem::Make(int localIndex, std::shared_ptr<CSubTree> subtree)
{
    if (!subtree) return nullptr;
    auto item = std::make_shared<CTreeItem>();
    item->localIndex_ = localIndex;
    subtree->TreeItemData(localIndex, item->Key, item->Text, item->Level, item->icon, item->flagByte_,
                          item->ParentKey);
    item->subtree_ = std::move(subtree);
    return item;
}

std::shared_ptr<CSubTree> CTreeItem::childTree() const
{
    return subtree_->SubTrees.Item(subtree_->NodeKey(localIndex_).text());
}

bool CTreeItem::rebuildParentBuffers(const QString& procedure) const
{
    auto levels = subtree_->FetchLevels();
    const DbError error = levels ? levels->CreateParentBuffers(true) : DbError();
    if (error) ShowTreeError(procedure, error);
    return !error;
}

std::shared_ptr<CTreeItem> CTreeItem::ParentItem() const
{
    auto parent = subtree_->Parent.lock();
    return parent ? Make(subtree_->ParentIndex, parent) : nullptr;
}

std::shared_ptr<CTreeItem> CTreeItem::PrevItem() const
{
    const int absolute = Index();
    return absolute > 0 ? subtree_->FindTreeItem(absolute - 1) : nullptr;
}

std::shared_ptr<CTreeItem> CTreeItem::NextItem() const
{
    if (Expanded()) {
        if (auto child = childTree()) return Make(0, child);
    }
    if (!IsLastItem()) return Make(localIndex_ + 1, subtree_);
    auto next = subtree_->NextSubtree();
    return next ? Make(next->ResultNode, next) : nullptr;
}

void CTreeItem::Requery(bool keepBuffers)
{
    if (!Expanded()) return;
    if (!keepBuffers && !rebuildParentBuffers(QStringLiteral("CTreeItem_Requery"))) return;
    subtree_->Requery();
    subtree_->RaiseRedraw(0);
}

int CTreeItem::Index() const { return subtree_->GetAbsoluteIndex(localIndex_); }

bool CTreeItem::Expanded() const { return subtree_->flags.Get(localIndex_, fExpanded); }

void CTreeItem::SetExpanded(bool expanded)
{
    if (!expanded) {
        subtree_->Collapse(localIndex_);
        subtree_->RaiseRedraw(2);
        return;
    }
    if (!IsParent()) return;
    if (subtree_->Expand(localIndex_)) {
        subtree_->RaiseRedraw(1);
        return;
    }
    // The row's level gave no rows for it: its expand mark was out of date.
    auto levels = subtree_->FetchLevels();
    if (levels && levels->PlusMinusMode() != 0) {
        subtree_->SetExpandable(localIndex_, false);
    } else if (levels) {
        if (!rebuildParentBuffers(QStringLiteral("CTreeItem_Expanded"))) return;
        subtree_->Requery();
    }
    subtree_->RaiseRedraw(0);
}

int CTreeItem::SubItemCountEx(bool ownRowsOnly) const
{
    auto child = childTree();
    if (!child) return 0;
    return ownRowsOnly ? child->NodesCountEx() : child->NodesCount(false);
}

bool CTreeItem::SelectSubItem(const QString& key)
{
    if (!IsParent()) return false;
    auto child = Expanded() ? childTree() : subtree_->Expand(localIndex_);
    if (!child) return false;
    const int index = child->FindLocalIndex(key);
    std::shared_ptr<CTreeItem> item = index >= 0 ? Make(index, child) : nullptr;
    subtree_->RaiseSubItemSelect(item);
    return index >= 0 && child->flags.Get(index, fSelected);
}

void CTreeItem::ExpandAll()
{
    if (!IsParent()) return;
    auto child = Expanded() ? childTree() : subtree_->Expand(localIndex_);
    if (child)
        child->ExpandAll();
    else
        subtree_->SetExpandable(localIndex_, false);
    subtree_->RaiseRedraw(1);
}

std::shared_ptr<CTreeItem> CTreeItem::FindTreeItem(int absolute) const { return subtree_->FindTreeItem(absolute); }

Variant CTreeItem::GetFieldValue(const QString& fieldName) const
{
    return subtree_->GetFieldValue(fieldName, localIndex_);
}

int CTreeItem::TreeLineIcon() const
{
    const bool root = flagByte_ & fRootItem, last = flagByte_ & fLastItem;
    int base = 4;
    if (root && last) base = 10;
    else if (root) base = 1;
    else if (last) base = 7;
    if (flagByte_ & fExpanded) return base + 2;
    return IsParent() ? base + 1 : base;
}

bool CTreeItem::Selected() const { return subtree_->flags.Get(localIndex_, fSelected); }

void CTreeItem::SetSelected(bool selected)
{
    CItemFlags& flags = subtree_->flags;
    if (selected) {
        // Through the model, so that whatever row held the selection lets go of it.
        subtree_->SelectItem(localIndex_);
    } else {
        flags.Set(localIndex_, fSelected, false);
        if (subtree_->SelKey == subtree_->NodeKey(localIndex_).text()) subtree_->SelKey.clear();
    }
    flagByte_ = flags.Item(localIndex_);
    flags.Set(localIndex_, fRedraw, flags.Get(localIndex_, fVisible));
}

bool CTreeItem::IsLastItem() const { return subtree_->flags.Get(localIndex_, fLastItem); }

bool CTreeItem::IsParent() const { return subtree_->IsParent(localIndex_); }

bool CTreeItem::RedrawFlag() const { return subtree_->flags.Get(localIndex_, fRedraw); }

void CTreeItem::SetRedrawFlag(bool on) { subtree_->flags.Set(localIndex_, fRedraw, on); }

bool CTreeItem::Visible() const { return subtree_->flags.Get(localIndex_, fVisible); }

void CTreeItem::SetVisible(bool on)
{
    subtree_->flags.Set(localIndex_, fVisible, on);
    subtree_->flags.Set(localIndex_, fRedraw, on);
}

} // namespace tv
