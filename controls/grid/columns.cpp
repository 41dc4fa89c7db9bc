#include "columns.h"

#include "platform/gui/gdi.h"

#include <QGuiApplication>
#include <algorithm>

namespace vantile {

std::shared_ptr<Columns> OwnerOf(Connector* connector, int32_t senderIndex)
{
    if (!connector) return nullptr;
    tv::Variant v;
    connector->SendRequest(senderIndex, kReqOwner, v);
    return v.as<Columns>();
}

int32_t Columns::DefaultWindowTextColor()
{
    // The colour as it is now (not the system-colour code), so later palette changes leave
    // the default style alone.
    if (!qGuiApp) return 0;
    return int32_t(tv::GetSysColor(tv::COLOR_WINDOWTEXT));
}

std::shared_ptr<Columns> Columns::Create(int32_t windowTextColor)
{
    std::shared_ptr<Columns> set(new Columns());
    set->Init(windowTextColor);
    return set;
}

void Columns::Init(int32_t windowTextColor)
{
    notifyConnection_ = connector_->Notify.connect(
        [this](int32_t index, int32_t code, tv::Variant&) { OnNotify(index, code); });
    requestConnection_ = connector_->Request.connect(
        [this](int32_t index, int32_t code, tv::Variant& value) { OnRequest(index, code, value); });
    for (int32_t n = 0; n < 3; ++n) {
        groups_[size_t(n)] = std::make_shared<ColumnGroup>();
        groups_[size_t(n)]->Init(n, connector_);
    }
    headers_ = std::make_shared<Cells>();
    headers_->Init(columns_, kHeaderCells, connector_);
    footers_ = std::make_shared<Cells>();
    footers_->Init(columns_, kFooterCells, connector_);
    headers_->SetRows(1);
    footers_->SetRows(1);

    style_ = std::make_shared<CellStyle>();
    style_->SetAlignment(vtlLeft);
    style_->SetVerticalAlignment(vtlVCenter);
    style_->SetWordBreak(false);
    style_->SetTextColor(windowTextColor);
    style_->SetFontStyle(vtlUseDefault);
    style_->SetBackColor(vtlUseDefault);
    style_->SetBorderAppearance(vtl2DFlat);
    style_->SetBorderType(vtlBdrNone);
    ListenToStyle();
}

std::vector<std::shared_ptr<Column>> Columns::Items() const
{
    std::vector<std::shared_ptr<Column>> items;
    items.reserve(size_t(Count()));
    for (const auto& entry : *columns_) items.push_back(entry.value);
    return items;
}

int32_t Columns::Width() const
{
    return groups_[0]->Width() + groups_[1]->Width() + groups_[2]->Width();
}

std::shared_ptr<Column> Columns::Item(const tv::Variant& indexOrderKey, bool itemByOrder) const
{
    if (!itemByOrder) return LookUpColumn(*columns_, indexOrderKey);
    bool numeric = false;
    const int32_t n = indexOrderKey.toLong(&numeric);
    if (indexOrderKey.isEmptyOrNull() || !numeric || n < 0) return nullptr;
    const int32_t nl = groups_[vtlGrpLeft]->Count();
    const int32_t nc = groups_[vtlGrpCenter]->Count();
    if (n < nl) return groups_[vtlGrpLeft]->Item(n);
    if (n < nl + nc) return groups_[vtlGrpCenter]->Item(n - nl);
    return groups_[vtlGrpRight]->Item(n - nl - nc);
}

std::shared_ptr<ColumnGroup> Columns::Groups(int32_t index) const
{
    return index >= 0 && index < 3 ? groups_[size_t(index)] : nullptr;
}

std::shared_ptr<Column> Columns::Add(const QString& key, int32_t width, int32_t hidden, int32_t fixed,
                                     int32_t alignment, bool wordBreak, const QString& dataFormat,
                                     const QString& headerText, const QString& footerText,
                                     const tv::Variant& icons)
{
    if (fixed < vtlGrpCenter || fixed > vtlGrpLeft || columns_->keyExists(key)) return nullptr;
    auto self = keepAlive();   // a LayoutChange handler may drop the set
    auto column = std::make_shared<Column>();
    const int32_t index = Count();
    column->Init(key, index, width, connector_);
    column->AllowFocus = column->AllowReorder = column->AllowSizing = column->AllowHide = true;
    // An array of icon numbers has no text form but is an icon list all the same.
    column->Icons = icons.array() || !icons.text().isEmpty() ? icons : tv::Variant::null();
    column->Format = dataFormat;
    column->MinWidth = 20;
    column->Style()->InitDefaults(kStyleData);
    column->Style()->SetAlignment(alignment);
    column->Style()->SetWordBreak(wordBreak);
    for (const auto& rowSet : {headers_, footers_}) {
        std::vector<std::shared_ptr<Cell>> cells;
        for (int32_t row = 0; row < rowSet->Rows(); ++row) cells.push_back(rowSet->MakeCell(*column, row));
        if (!cells.empty()) cells[0]->Text = rowSet == headers_ ? headerText : footerText;
        column->SetCells(rowSet->Kind(), std::move(cells));
    }
    columns_->add(column, key);
    column->SetRaw(Column::kRawFixed, fixed);
    groups_[size_t(fixed)]->Insert(column, false);
    column->SetHidden(hidden);
    OnNotify(index, kMsgColumnAdded);
    return column;
}

void Columns::RecalcAll()
{
    for (const auto& group : groups_) group->Recalc();
}

void Columns::Raise(int32_t code, int32_t param)
{
    LayoutChange.raise(code, param);
}

void Columns::OnNotify(int32_t index, int32_t code)
{
    auto self = keepAlive();   // a LayoutChange handler may drop the set
    if (code >= kMsgColumnAdded && code <= kMsgHidden) {
        RecalcAll();
        Raise(code, index);
    } else if (code == kMsgRowSet) {
        Raise(kLayoutRowSet, index);
    }
}

void Columns::OnRequest(int32_t index, int32_t code, tv::Variant& value)
{
    if (code == kReqOwner) {
        value = tv::Variant(std::shared_ptr<tv::Object>(shared_from_this()));
        return;
    }
    auto column = Item(index);
    if (!column) return;
    auto group = groups_[size_t(column->Fixed())];
    switch (code) {
    case kMsgOrder:
        group->MoveTo(column, value.toLong());
        break;
    case kMsgFixed:
        MoveBetweenGroups(column, value.toLong());
        break;
    case kReqNextInGroup:
    case kReqPrevInGroup:
        value = tv::Variant(std::shared_ptr<tv::Object>(
            group->Item(column->Order() + (code == kReqNextInGroup ? 1 : -1))));
        break;
    case kReqGroup:
        value = tv::Variant(std::shared_ptr<tv::Object>(group));
        break;
    default:
        break;
    }
}

void Columns::MoveBetweenGroups(const std::shared_ptr<Column>& column, int32_t newMode)
{
    const int32_t oldMode = column->Fixed();
    if (oldMode == newMode || newMode < vtlGrpCenter || newMode > vtlGrpLeft) return;
    // The column keeps its visual neighbourhood: leaving the left edge it becomes the first
    // scrolling column, leaving the right edge the last; it enters the right group as its
    // first column and the left group as its last.
    if (oldMode != vtlGrpCenter) {
        groups_[size_t(oldMode)]->Remove(column);
        groups_[vtlGrpCenter]->Insert(column, oldMode == vtlGrpLeft);
    }
    if (newMode != vtlGrpCenter) {
        groups_[size_t(newMode)]->Insert(column, newMode == vtlGrpRight);
        groups_[vtlGrpCenter]->Remove(column);
    }
}

QString Columns::Layout() const
{
    QStringList entries;
    for (const auto& entry : *columns_)
        entries << entry.value->Key() + QLatin1Char('!') + entry.value->LayoutText();
    return entries.join(QLatin1Char('$'));
}

namespace {

// The 16-bit value after the first "name=" of an entry up to the next ";"; 0 when the entry
// lacks the field; false when the value is no 16-bit number.
bool LayoutField(const QString& entry, QLatin1String name, int16_t* value)
{
    const int at = entry.indexOf(name);
    if (at < 0) {
        *value = 0;
        return true;
    }
    const int start = at + name.size();
    const int end = entry.indexOf(QLatin1Char(';'), start);
    bool ok = false;
    *value = tv::Variant(entry.mid(start, end < 0 ? -1 : end - start)).toInt(&ok);
    return ok;
}

} // namespace

void Columns::SetLayout(const QString& layout)
{
    auto self = keepAlive();
    if (Count() == 0 || layout.isEmpty()) return;
    struct Entry {
        QString text;
        int16_t fixed;
        int16_t order;
        bool hasOrder;
    };
    std::vector<Entry> entries;
    for (const QString& text : layout.split(QLatin1Char('$'))) {
        Entry e{text, 0, 0, text.contains(QLatin1String("Order="))};
        if (!LayoutField(text, QLatin1String("Fixed="), &e.fixed)
            || !LayoutField(text, QLatin1String("Order="), &e.order))
            return;
        entries.push_back(e);
    }
    // Group by group in ascending place, so every column finds those before it in place.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.fixed != b.fixed ? a.fixed < b.fixed : a.order < b.order;
    });
    for (const Entry& e : entries) {
        const QStringList parts = e.text.split(QLatin1Char('!'));
        if (parts.size() < 2) return;
        auto column = Item(parts[0]);
        if (!column) continue;
        column->ApplyLayoutText(parts[1]);
        // A hidden column ignores Order, yet it holds a place in its group: left where the new
        // set has it, it would push the columns placed after it off their written places (a
        // column that left the group before it makes that place another). Nothing is seen to
        // move, so the grid is not told.
        if (column->Hidden() != vtlHiddenNone && column->Fixed() == e.fixed && e.hasOrder)
            groups_[size_t(e.fixed)]->MoveTo(column, e.order);
    }
}

void Columns::Clear()
{
    for (const auto& entry : *columns_) entry.value->Detach();
    columns_->clear();
    for (const auto& group : groups_) group->Clear();
}

void Columns::Remove(const tv::Variant& key)
{
    auto self = keepAlive();   // the grid's handler may drop the set
    auto column = Item(key);
    if (!column) return;
    groups_[size_t(column->Fixed())]->Remove(column);
    columns_->remove(column->Index() + 1);
    column->Detach();
    // Keep Index equal to the position, which is how messages find their column.
    int32_t index = 0;
    for (auto& entry : *columns_) entry.value->SetIndex(index++);
    RecalcAll();
    ColumnRemoved.raise(column->Index());
}

int32_t Columns::FindColumn(int32_t startIndex, bool findNext) const
{
    auto column = Item(startIndex);
    if (!column) return -1;
    const int32_t step = findNext ? 1 : -1;
    for (;;) {
        auto group = groups_[size_t(column->Fixed())];
        auto next = group->Item(column->Order() + step);
        if (!next) {
            // Forward: left, centre, right; backward the other way round.
            static const int32_t kForward[3] = {vtlGrpRight, -1, vtlGrpCenter};
            static const int32_t kBackward[3] = {vtlGrpLeft, vtlGrpCenter, -1};
            auto adjacent = Groups((findNext ? kForward : kBackward)[column->Fixed()]);
            if (adjacent && adjacent->Count() > 0) next = adjacent->Item(findNext ? 0 : adjacent->Count() - 1);
        }
        if (!next) return startIndex;
        if (next->AllowFocus && next->Width() > 0) return next->Index();
        column = next;
    }
}

std::shared_ptr<Column> Columns::HitTest(int32_t pos) const
{
    const auto& right = groups_[vtlGrpRight];
    const auto& centre = groups_[vtlGrpCenter];
    if (right->Count() > 0 && pos >= right->Position()) return right->HitTest(pos - right->Position());
    if (pos < centre->Position()) return groups_[vtlGrpLeft]->HitTest(pos);
    return centre->HitTest(pos - centre->Position() - centre->ScrollOffset());
}

void Columns::ListenToStyle()
{
    styleConnection_ = style_->PropertyChanged.connect([this](int32_t propId) { OnStyleChanged(propId); });
}

void Columns::SetStyle(std::shared_ptr<CellStyle> style)
{
    if (!style || style == style_) return;
    style_ = std::move(style);
    ListenToStyle();
}

void Columns::OnStyleChanged(int32_t propId)
{
    auto self = keepAlive();
    if (Count() == 0) return;
    const tv::Variant value = style_->GetPropValue(propId);
    for (const auto& column : Items()) column->Style()->SetPropValue(propId, value);
    Raise(kLayoutDefaultStyle, propId);
}

} // namespace vantile
