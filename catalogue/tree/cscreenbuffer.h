#pragma once

#include <memory>
#include <vector>

namespace tv {

class CSubTree;
class CTreeItem;

// The item handles of the rows on screen, one per screen row from the scroll position on,
// and the handle of the selected row. Refilled before every paint; a row's membership is
// mirrored in its visible flag. Owned by the tree control, made anew after each change of
// the level definitions.
class CScreenBuffer {
public:
    ~CScreenBuffer() { Clear(); }

    int BufAbsIndex = 0;   // absolute index of the first buffered row
    std::shared_ptr<CTreeItem> SelectedItem;

    int Count() const { return int(items_.size()); }
    // The item of screen row `row` (from 0); none outside.
    std::shared_ptr<CTreeItem> Item(int row) const;
    int MaxRow() const { return Count() - 1; }
    void Remove(int row);
    // `before` is a 1-based position; -1 appends at the end.
    void Append(std::shared_ptr<CTreeItem> item, int before = -1);
    void Clear();
    // The rows from absolute row `firstRow` on, at most `rowCount` of them; the selected
    // handle follows the model's selection.
    void Fill(const std::shared_ptr<CSubTree>& root, int firstRow, int rowCount);
    void ScrollUpBuffer();
    void ScrollDownBuffer();
    void RedrawHighlight();
    // Moves the selection to `item`; false when there is none or it is selected already.
    bool MakeSelection(const std::shared_ptr<CTreeItem>& item);
    bool SelectRow(int row) { return row <= MaxRow() && MakeSelection(Item(row)); }

private:
    std::vector<std::shared_ptr<CTreeItem>> items_;
};

} // namespace tv
