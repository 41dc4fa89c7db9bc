#include "catalogue/tree/cscreenbuffer.h"

#include "catalogue/tree/csubtree.h"
#include "catalogue/tree/ctreeitem.h"

namespace tv {

std::shared_ptr<CTreeItem> CScreenBuffer::Item(int row) const
{
    return row >= 0 && row < Count() ? items_[size_t(row)] : nullptr;
}

void CScreenBuffer::Remove(int row)
{
    if (row < 0 || row >= Count()) return;
    items_[size_t(row)]->SetVisible(false);
    items_.erase(items_.begin() + row);
}

void CScreenBuffer::Append(std::shared_ptr<CTreeItem> item, int before)
{
    if (!item) return;
    item->SetVisible(true);
    if (before >= 1 && before <= Count())
        items_.insert(items_.begin() + (before - 1), std::move(item));
    else
        items_.push_back(std::move(item));
}

void CScreenBuffer::Clear()
{
    while (!items_.empty()) Remove(0);
}

void CScreenBuffer::Fill(const std::shared_ptr<CSubTree>& root, int firstRow, int rowCount)
{
    Clear();
    BufAbsIndex = firstRow;
    auto item = root->FindTreeItem(firstRow);
    for (int i = 0; i < rowCount && item; ++i) {
        Append(item);
        item = item->NextItem();
    }
    int index = -1;
    std::shared_ptr<CSubTree> subtree;
    if (root->FindSelectedItem(index, subtree)) SelectedItem = CTreeItem::Make(index, subtree);
}

void CScreenBuffer::ScrollUpBuffer()
{
    if (BufAbsIndex <= 0 || items_.empty()) return;
    --BufAbsIndex;
    if (auto prev = items_.front()->PrevItem()) {
        prev->SetRedrawFlag(true);
        Append(prev, 1);
    }
    Remove(MaxRow());
}

void CScreenBuffer::ScrollDownBuffer()
{
    if (items_.empty()) return;
    Remove(0);
    ++BufAbsIndex;
    for (int row = std::max(0, Count() - 2); row < Count(); ++row) items_[size_t(row)]->SetRedrawFlag(true);
    auto next = items_.empty() ? nullptr : items_.back()->NextItem();
    if (next) Append(next);
}

void CScreenBuffer::RedrawHighlight()
{
    if (SelectedItem) SelectedItem->SetRedrawFlag(true);
}

bool CScreenBuffer::MakeSelection(const std::shared_ptr<CTreeItem>& item)
{
    if (!item) return false;
    if (SelectedItem && SelectedItem->AbsoluteIndex() == item->AbsoluteIndex()) return false;
    if (SelectedItem) SelectedItem->SetSelected(false);
    item->SetSelected(true);
    SelectedItem = item;
    return true;
}

} // namespace tv
