#include "column.h"

#include "cells.h"
#include "columngroup.h"
#include "columns.h"

#include <algorithm>
#include <optional>

namespace vantile {

namespace {
const std::vector<std::shared_ptr<Cell>> kNoCells;
}

void Column::SetStyle(std::shared_ptr<CellStyle> style)
{
    style_ = style ? std::move(style) : std::make_shared<CellStyle>();
}

void Column::Send(int32_t code, int32_t value) const
{
    if (!connector_) return;
    tv::Variant v(value);
    connector_->SendNotify(index_, code, v);
}

namespace {
// Widths beyond any screen are cut down, so that sums of widths and positions cannot overflow.
constexpr int32_t kMaxColumnWidth = 32767;
int32_t clampedWidth(int32_t width) { return std::clamp<int32_t>(width, -kMaxColumnWidth, kMaxColumnWidth); }
} // namespace

void Column::SetWidth(int32_t requested)
{
    const int32_t width = clampedWidth(requested);
    if (hidden_ != 0 || width == width_) return;
    width_ = width;
    Send(kMsgWidth, width_);
}

void Column::SetHidden(int32_t mode)
{
    if (mode == hidden_) return;
    hidden_ = mode;
    Send(kMsgHidden, mode);
}

void Column::SetOrder(int32_t order)
{
    if (hidden_ != 0 || order == order_ || !connector_) return;
    const int32_t before = order_;
    tv::Variant v(order);
    connector_->SendRequest(index_, kMsgOrder, v);
    if (order_ != before && Width() > 0) Send(kMsgOrder, order_);
}

void Column::SetFixed(int32_t mode)
{
    if (mode == fixed_ || mode < vtlGrpCenter || mode > vtlGrpLeft) return;
    if (connector_) {
        tv::Variant v(mode);
        connector_->SendRequest(index_, kMsgFixed, v);
    }
    fixed_ = mode;
    Send(kMsgFixed, mode);
}

std::shared_ptr<ColumnGroup> Column::Group() const
{
    auto owner = OwnerOf(connector_.get(), index_);
    return owner ? owner->Groups(fixed_) : nullptr;
}

std::shared_ptr<Column> Column::Neighbour(int32_t step, bool groupMember, bool nonHidden) const
{
    auto group = Group();
    if (!group) return nullptr;
    auto result = group->Item(order_ + step);
    if (!result && !groupMember) {
        auto next = step > 0 ? group->NextItem() : group->PrevItem();
        if (next) result = next->Item(step > 0 ? 0 : next->Count() - 1);
    }
    if (nonHidden && result && result->Hidden() != 0) return result->Neighbour(step, groupMember, true);
    return result;
}

std::shared_ptr<Column> Column::NextItem(bool groupMember, bool nonHidden) const
{
    return Neighbour(1, groupMember, nonHidden);
}

std::shared_ptr<Column> Column::PrevItem(bool groupMember, bool nonHidden) const
{
    return Neighbour(-1, groupMember, nonHidden);
}

void Column::Init(const QString& key, int32_t index, int32_t width, std::shared_ptr<Connector> connector)
{
    key_ = key;
    index_ = index;
    width_ = clampedWidth(width);
    connector_ = std::move(connector);
}

void Column::SetIndex(int32_t index)
{
    index_ = index;
    for (const auto& list : cells_)
        for (const auto& cell : list)
            if (cell) cell->Col = index;
}

void Column::SetRaw(int32_t which, int32_t value)
{
    switch (which) {
    case kRawWidth: width_ = value; break;
    case kRawOrder: order_ = value; break;
    case kRawFixed: fixed_ = value; break;
    case kRawHidden: hidden_ = value; break;
    default: break;
    }
}

int32_t Column::ScreenLeft() const
{
    auto group = Group();
    return left_ + (group ? group->Position() + group->ScrollOffset() : 0);
}

void Column::SetCells(int32_t kind, std::vector<std::shared_ptr<Cell>> cells)
{
    if (kind == kHeaderCells || kind == kFooterCells) cells_[kind] = std::move(cells);
}

const std::vector<std::shared_ptr<Cell>>& Column::GetCells(int32_t kind) const
{
    return kind == kHeaderCells || kind == kFooterCells ? cells_[kind] : kNoCells;
}

std::shared_ptr<Cell> Column::GetCell(int32_t kind, int32_t row) const
{
    const auto& list = GetCells(kind);
    return row >= 0 && size_t(row) < list.size() ? list[size_t(row)] : nullptr;
}

QString Column::LayoutText() const
{
    return QStringLiteral("Hidden=%1;Width=%2;Fixed=%3;Order=%4").arg(hidden_).arg(width_).arg(fixed_).arg(order_);
}

void Column::ApplyLayoutText(const QString& text)
{
    // An always-hidden column is the host's own (a key the rows are found by): no layout shows
    // it or moves it to another group. Its width is ignored while it is hidden anyway; a group
    // it was moved to would put it in front of the columns that follow it there, and the next
    // application of the written layout would give them other places. (Its place inside its
    // group is the set's to restore: see Columns::SetLayout.)
    if (hidden_ == vtlHiddenAllways) return;
    const QStringList fields = text.split(QLatin1Char(';'));
    // A shown column that the text hides takes its width and place first: a hidden column
    // ignores both, and a layout applied to a new set of columns would lose them otherwise.
    std::optional<int32_t> hideAtEnd;
    std::optional<int32_t> width;
    for (const QString& field : fields) {
        const QStringList nameValue = field.split(QLatin1Char('='));
        if (nameValue.size() < 2) continue;
        bool ok = false;
        const int32_t value = tv::Variant(nameValue[1]).toLong(&ok);
        if (!ok) continue;
        const QString& name = nameValue[0];
        auto is = [&](const char* n) { return name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0; };
        if (is("Width")) {
            width = value;
            SetWidth(value);
        } else if (is("Hidden")) {
            const int32_t mode = AllowHide ? value : vtlHiddenNone;
            if (hidden_ == vtlHiddenNone && mode != vtlHiddenNone) hideAtEnd = mode;
            else if (hidden_ != vtlHiddenAllways) SetHidden(mode);
        } else if (is("Fixed")) {
            SetFixed(value);
        } else if (is("Order")) {
            SetOrder(value);
        }
    }
    if (hideAtEnd) SetHidden(*hideAtEnd);
    // A column that stays hidden ignores Width, yet keeps the width the text stores for it, to
    // show with when it is shown again: a layout applied to a new set whose column is hidden
    // would lose it otherwise. Nothing is seen to change, so nothing is sent.
    if (width && hidden_ != vtlHiddenNone) width_ = clampedWidth(*width);
}

} // namespace vantile
