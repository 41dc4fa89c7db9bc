#pragma once

#include "cells.h"
#include "cellstyle.h"
#include "column.h"
#include "columngroup.h"
#include "connector.h"

#include <QString>
#include <array>
#include <memory>
#include <vector>

namespace vantile {

// Causes of Columns::LayoutChange; the parameter names the column by Index unless said otherwise.
enum LayoutChangeCode : int32_t {
    kLayoutAdded = 0,
    kLayoutWidth = 1,
    kLayoutOrder = 2,
    kLayoutFixed = 3,
    kLayoutHidden = 4,
    kLayoutRowSet = 8,        // parameter: 0 header rows, 1 footer rows
    kLayoutDefaultStyle = 11, // parameter: the default style's property number
};

// The grid's column set: every column keyed by Key (compared without regard to case), the three
// column groups, the header and footer rows and the default cell style. Created by the grid and
// held by it (and by hosts); its children reach it only through its connector, and they stop
// reaching it once it is gone. Every change of the column layout is reported by LayoutChange.
//
// Layout text, the form in which a host saves and restores the user's column arrangement:
//   layout = "" | entry *( "$" entry )             entries in insertion order
//   entry  = key "!" "Hidden=" h ";Width=" w ";Fixed=" f ";Order=" o
// h, w, f, o are decimal 32-bit integers: the stored Hidden mode, the stored width (also while
// hidden), the group and the place in the group. When applied, entries are taken group by
// group in ascending Order, so every column finds the ones before it in place; inside an entry
// the fields apply in the order they stand, unknown or non-numeric fields are skipped, a
// key the set lacks skips its entry, and so does an always-hidden column (vtlHiddenAllways).
// A column left hidden by its entry still takes its written width and its written place in its
// group (when the entry names that group), so that the columns after it find theirs. Keys are written as they are: a
// key holding "$", "!", ";", "=" or "@" (the host's separator between lists) cannot be restored.
class Columns : public tv::Component {
public:
    // `windowTextColor`: the RGB value of the system's window-text colour, the default style's
    // text colour.
    static std::shared_ptr<Columns> Create(int32_t windowTextColor = DefaultWindowTextColor());
    static int32_t DefaultWindowTextColor();

    int32_t Count() const { return columns_->count(); }
    // The columns in insertion order.
    std::vector<std::shared_ptr<Column>> Items() const;
    // The groups' widths as of their last recalculation.
    int32_t Width() const;
    // With `itemByOrder`: the column at a display position (left group, centre, right).
    // Otherwise a number is a position in insertion order and a text a key (a numeric text
    // that is no key counts as a position). Null for anything that cannot be resolved.
    std::shared_ptr<Column> Item(const tv::Variant& indexOrderKey, bool itemByOrder = false) const;
    // Group 0 (centre), 1 (right) or 2 (left); null for other numbers.
    std::shared_ptr<ColumnGroup> Groups(int32_t index) const;
    // Adds a column at the end of its group (Fixed 0..2). Null when the key is present already
    // or Fixed names no group; nothing is added then.
    std::shared_ptr<Column> Add(const QString& key, int32_t width = 64, int32_t hidden = 0, int32_t fixed = 0,
                                int32_t alignment = 0, bool wordBreak = false, const QString& dataFormat = {},
                                const QString& headerText = {}, const QString& footerText = {},
                                const tv::Variant& icons = QString());
    QString Layout() const;
    void SetLayout(const QString& layout);
    // Drops every column. No event; Width keeps its value until the next recalculation. Like
    // Remove, it cuts the dropped columns off the set.
    void Clear();
    const std::shared_ptr<Cells>& Headers() const { return headers_; }
    const std::shared_ptr<Cells>& Footers() const { return footers_; }
    // Removes the column that Item finds for `key`, renumbering the columns after it; no
    // LayoutChange.
    // A host that still holds the removed column changes only that column from then on.
    void Remove(const tv::Variant& key);
    // The Index of the nearest column after (or before) the column at position `startIndex`, in
    // display order, that can take the focus and shows; `startIndex` when there is none, -1
    // when `startIndex` names no column.
    int32_t FindColumn(int32_t startIndex, bool findNext) const;
    // The column at window x `pos`, or null.
    std::shared_ptr<Column> HitTest(int32_t pos) const;
    // The default style: a change of one of its properties is copied into every column's style.
    const std::shared_ptr<CellStyle>& Style() const { return style_; }
    void SetStyle(std::shared_ptr<CellStyle> style);

    tv::Event<int32_t, int32_t> LayoutChange;
    // For the grid only: a column left the set by Remove; the parameter is the Index it had
    // (the columns after it now have an Index one lower).
    tv::Event<int32_t> ColumnRemoved;

private:
    Columns() = default;
    void Init(int32_t windowTextColor);
    void OnNotify(int32_t index, int32_t code);
    void OnRequest(int32_t index, int32_t code, tv::Variant& value);
    void OnStyleChanged(int32_t propId);
    void MoveBetweenGroups(const std::shared_ptr<Column>& column, int32_t newMode);
    void RecalcAll();
    void Raise(int32_t code, int32_t param);
    void ListenToStyle();

    std::shared_ptr<ColumnCollection> columns_ = std::make_shared<ColumnCollection>();
    std::array<std::shared_ptr<ColumnGroup>, 3> groups_;
    std::shared_ptr<Cells> headers_;
    std::shared_ptr<Cells> footers_;
    std::shared_ptr<CellStyle> style_;
    std::shared_ptr<Connector> connector_ = std::make_shared<Connector>();
    tv::ScopedConnection notifyConnection_;
    tv::ScopedConnection requestConnection_;
    tv::ScopedConnection styleConnection_;
};

// The column set of a child, obtained through its connector; null when the set is gone.
std::shared_ptr<Columns> OwnerOf(Connector* connector, int32_t senderIndex);

} // namespace vantile
