#include "columngroup.h"

#include "column.h"
#include "columns.h"

namespace vantile {

void ColumnGroup::Init(int32_t number, std::shared_ptr<Connector> connector)
{
    number_ = number;
    connector_ = std::move(connector);
}

std::shared_ptr<Column> ColumnGroup::FirstVisible() const
{
    for (const auto& entry : members_)
        if (entry.value->Width() > 0) return entry.value;
    return nullptr;
}

std::shared_ptr<Column> ColumnGroup::LastVisible() const
{
    for (int p = members_.count(); p >= 1; --p)
        if ((*members_.item(p))->Width() > 0) return *members_.item(p);
    return nullptr;
}

std::shared_ptr<ColumnGroup> ColumnGroup::Sibling(int32_t number) const
{
    if (number < 0) return nullptr;
    auto owner = OwnerOf(connector_.get(), number_);
    return owner ? owner->Groups(number) : nullptr;
}

std::shared_ptr<ColumnGroup> ColumnGroup::NextItem() const
{
    // Display order: left (2), centre (0), right (1).
    static const int32_t kNext[3] = {vtlGrpRight, -1, vtlGrpCenter};
    return Sibling(kNext[number_]);
}

std::shared_ptr<ColumnGroup> ColumnGroup::PrevItem() const
{
    static const int32_t kPrev[3] = {vtlGrpLeft, vtlGrpCenter, -1};
    return Sibling(kPrev[number_]);
}

std::shared_ptr<Column> ColumnGroup::Item(const tv::Variant& indexOrKey) const
{
    const std::shared_ptr<Column>* found = nullptr;
    if (indexOrKey.isNumber()) {
        bool ok = false;
        const int32_t position = indexOrKey.toLong(&ok);
        if (ok && position >= 0 && position < members_.count()) found = members_.item(position + 1);
    } else {
        found = members_.item(indexOrKey.text());
    }
    return found ? *found : nullptr;
}

void ColumnGroup::Recalc()
{
    int32_t total = 0;
    int32_t order = 0;
    for (auto& entry : members_) {
        entry.value->SetRaw(Column::kRawOrder, order++);
        entry.value->SetLeft(total);
        total += entry.value->Width();
    }
    width_ = total;
}

std::shared_ptr<Column> ColumnGroup::HitTest(int32_t x) const
{
    int low = 0;
    int high = members_.count() - 1;
    while (high >= low) {
        const int middle = (low + high) / 2;
        const auto& column = *members_.item(middle + 1);
        if (column->Right() < x)
            low = middle + 1;
        else if (x >= column->Left())
            return column;
        else
            high = middle - 1;
    }
    return nullptr;
}

int ColumnGroup::PositionOf(const std::shared_ptr<Column>& column) const
{
    int position = 0;
    for (const auto& entry : members_) {
        ++position;
        if (entry.value == column) return position;
    }
    return 0;
}

void ColumnGroup::MoveTo(const std::shared_ptr<Column>& column, int32_t newOrder)
{
    const int position = PositionOf(column);
    if (position == 0 || newOrder < -2) return;
    if (newOrder == -2) newOrder = Count() - 1;
    if (newOrder == -1) newOrder = 0;
    if (newOrder == position - 1) return;
    members_.remove(position);
    if (newOrder < Count())
        members_.add(column, column->Key(), newOrder + 1);
    else
        members_.add(column, column->Key());
    Recalc();
}

void ColumnGroup::Insert(const std::shared_ptr<Column>& column, bool atFront)
{
    members_.add(column, column->Key(), atFront && Count() > 0 ? 1 : 0);
}

void ColumnGroup::Remove(const std::shared_ptr<Column>& column)
{
    if (int position = PositionOf(column)) members_.remove(position);
}

} // namespace vantile
