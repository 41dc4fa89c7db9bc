#include "catalogue/tree/usertree.h"

#include "catalogue/tree/csubtree.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/ctreelevels.h"
#include "catalogue/tree/modsqltree.h"
#include "catalogue/core/modlang.h"
#include "controls/scrollview/scrollview.h"
#include "platform/component/propertybag.h"
#include "platform/gui/dc.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/keys.h"
#include "platform/gui/modfont.h"
#include "platform/gui/msgbox.h"
#include "platform/gui/textedge.h"

#include <QApplication>
#include <QPainter>
#include <QScopeGuard>
#include <utility>

namespace tv {

namespace {

const QString kNoLevels = QStringLiteral("Keine Levels vorhanden, oder Fehler bei Erstellung aufgetreten!");

// One 16 x 16 glyph: vertical line parts above and below the middle, a line to the right,
// and a plus or minus box.
QImage lineGlyph(bool up, bool down, bool right, bool fullWidth, int box)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(QColor(128, 128, 128));
    if (up) p.drawLine(8, 0, 8, 8);
    if (down) p.drawLine(8, 8, 8, 15);
    if (right) p.drawLine(fullWidth ? 0 : 8, 8, 15, 8);
    if (box) {
        p.fillRect(4, 4, 9, 9, Qt::white);
        p.drawRect(4, 4, 8, 8);
        p.setPen(Qt::black);
        p.drawLine(6, 8, 10, 8);
        if (box == 1) p.drawLine(8, 6, 8, 10);
    }
    return image;
}

} // namespace

std::shared_ptr<ImageList> MakeTreeLineGlyphs()
{
    auto list = std::make_shared<ImageList>();
    // Rows: first root row, middle row, last row, root row that is also the last.
    const bool up[] = {false, true, true, false};
    const bool down[] = {true, true, false, false};
    for (int kind = 0; kind < 4; ++kind)
        for (int box = 0; box < 3; ++box) list->Add(lineGlyph(up[kind], down[kind], true, false, box));
    list->Add(lineGlyph(true, true, false, false, 0));   // 13 continuation
    list->Add(lineGlyph(false, false, true, true, 0));   // 14 connector
    return list;
}

UserTree::UserTree(QWidget* parent) : QWidget(parent)
{
    sv_ = new vantile::ScrollView(this);
    sv_->ReadProperties(PropertyBag());
    sv_->setRowHeight(kTreeRowHeight);
    sv_->setColumnWidth(4);
    sv_->setScrollbarStyle(1);
    lines_ = std::make_unique<ImageListClass>();
    lines_->Copy(MakeTreeLineGlyphs());

    sv_->BeforeDraw.connect([this](int32_t, int32_t, int16_t& action, HandleId) { onBeforeDraw(action); });
    sv_->Draw.connect([this](int32_t, int32_t, int32_t, int32_t) { onDraw(); });
    sv_->EraseBackground.connect([](HandleId, bool& cancel) { cancel = true; });
    // The selected row is drawn one way with the focus and another without it.
    sv_->FocusChanged.connect([this](bool) {
        if (!buffer_ || !sv_) return;
        buffer_->RedrawHighlight();
        sv_->RedrawItems();
    });
    sv_->KeyDown.connect([this](int16_t& key, int16_t& shift) { onKeyDown(key, shift); });
    sv_->MouseDown.connect([this](int16_t b, int16_t& s, int32_t x, int32_t y) { onMouseDown(b, s, x, y); });
    sv_->MouseUp.connect([this](int16_t b, int16_t& s, int32_t x, int32_t y) {
        lastUpX_ = x;
        lastUpY_ = y;
        MouseUp.raise(b, s, float(x), float(y));
    });
    sv_->MouseMove.connect([this](int16_t b, int16_t& s, int32_t x, int32_t y) {
        if (b == 0) showCutTextTip(x, y);
        MouseMove.raise(b, s, float(x), float(y));
    });
    sv_->DblClick.connect([this] {
        TreeHitPart part = hitNothing;
        hitTest(lastUpX_, lastUpY_, &part);
        if (part == hitItem) DblClick.raise();
    });
}

UserTree::~UserTree()
{
    // The scroll view goes first, while everything its handlers reach still exists; they
    // find no buffer and no scroll view any more and do nothing.
    buffer_.reset();
    initialised_ = false;
    delete std::exchange(sv_, nullptr);
    root_.reset();
}

void UserTree::resizeEvent(QResizeEvent*)
{
    if (sv_) sv_->setGeometry(0, 0, width(), height());
}

// ---- properties ----

void UserTree::ReadProperties(const PropertyBag& bag)
{
    setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), Variant(true)).toBool());
    sv_->setBorderStyle(bag.ReadProperty(QStringLiteral("BorderStyle"), Variant(int16_t(1))).toInt());
    if (auto font = bag.ReadProperty(QStringLiteral("Font")).as<StdFont>()) sv_->setFont(font);
    hideSelection_ = bag.ReadProperty(QStringLiteral("HideSelection"), Variant(false)).toBool();
    indentation_ = bag.ReadProperty(QStringLiteral("Indentation"), Variant(int16_t(1))).toInt();
    style_ = bag.ReadProperty(QStringLiteral("Style"), Variant(int32_t(1))).toLong();
    textSpacer_ = bag.ReadProperty(QStringLiteral("TextSpacer"), Variant(int16_t(0))).toInt();
    translateIcons_ = bag.ReadProperty(QStringLiteral("TranslateIcons"), Variant(false)).toBool();
    plusMinusMode_ = bag.ReadProperty(QStringLiteral("PlusMinusMode"), Variant(int32_t(0))).toLong();
    dblClickOnReturn_ = bag.ReadProperty(QStringLiteral("DblClickOnReturn"), Variant(false)).toBool();
}

void UserTree::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("Enabled"), Variant(isEnabled()), Variant(true));
    bag.WriteProperty(QStringLiteral("BorderStyle"), Variant(int16_t(BorderStyle())), Variant(int16_t(1)));
    bag.WriteProperty(QStringLiteral("HideSelection"), Variant(hideSelection_), Variant(false));
    bag.WriteProperty(QStringLiteral("Indentation"), Variant(int16_t(indentation_)), Variant(int16_t(1)));
    bag.WriteProperty(QStringLiteral("Style"), Variant(int32_t(style_)), Variant(int32_t(1)));
    bag.WriteProperty(QStringLiteral("TextSpacer"), Variant(int16_t(textSpacer_)), Variant(int16_t(0)));
    bag.WriteProperty(QStringLiteral("Font"), Variant(std::static_pointer_cast<Object>(Font())));
    bag.WriteProperty(QStringLiteral("TranslateIcons"), Variant(translateIcons_), Variant(false));
    bag.WriteProperty(QStringLiteral("PlusMinusMode"), Variant(int32_t(plusMinusMode_)), Variant(int32_t(0)));
    bag.WriteProperty(QStringLiteral("DblClickOnReturn"), Variant(dblClickOnReturn_), Variant(false));
}

int UserTree::BorderStyle() const { return sv_->BorderStyle(); }

void UserTree::setBorderStyle(int style)
{
    sv_->setBorderStyle(style);
    changed(QStringLiteral("BorderStyle"));
}

std::shared_ptr<StdFont> UserTree::Font() const { return sv_->Font(); }

void UserTree::setFont(std::shared_ptr<StdFont> font)
{
    sv_->setFont(std::move(font));
    changed(QStringLiteral("Font"));
}

namespace {
// The drawing copy of a host's image list; none for none.
std::unique_ptr<ImageListClass> drawingCopy(const std::shared_ptr<ImageList>& icons)
{
    if (!icons) return nullptr;
    auto copy = std::make_unique<ImageListClass>();
    copy->Copy(icons);
    return copy;
}
} // namespace

void UserTree::setStandardIcons(std::shared_ptr<ImageList> icons)
{
    standardSource_ = std::move(icons);
    standardIcons_ = drawingCopy(standardSource_);
}

void UserTree::setExpandedIcons(std::shared_ptr<ImageList> icons)
{
    expandedSource_ = std::move(icons);
    expandedIcons_ = drawingCopy(expandedSource_);
}

// ---- database and levels ----

void UserTree::setDataBase(std::shared_ptr<Database> database)
{
    if (!database) {
        if (levels_) levels_->Clear();
        levelsConnection_.disconnect();
        levels_.reset();
        return;
    }
    if (!levels_) {
        levels_ = std::make_shared<CTreeLevels>();
        levelsConnection_ = levels_->Changed.connect([this] {
            BeforeSetup.raise();
            initControl();
            AfterSetup.raise();
        });
    } else {
        levels_->Clear();
    }
    levels_->Create(std::move(database), plusMinusMode_);
}

std::shared_ptr<Database> UserTree::DataBase() const { return levels_ ? levels_->database() : nullptr; }

void UserTree::initControl()
{
    setEnabled(false);
    if (!levels_ || levels_->Count() < 1) {
        MsgBox(Translate(kNoLevels), vbOKOnly);
        return;
    }
    if (!standardIcons_) style_ = 0;
    buffer_.reset();
    rootConnections_.clear();
    root_ = std::make_shared<CSubTree>();
    rootConnections_.emplace_back(root_->Redraw.connect([this](int mode) {
        if (mode == 1) BeforeExpand.raise();
        Refresh();
        if (mode == 1) AfterExpand.raise();
    }));
    rootConnections_.emplace_back(
        root_->LevelInfo.connect([this](std::shared_ptr<CTreeLevels>& levels) { levels = levels_; }));
    rootConnections_.emplace_back(root_->SelectionChange.connect([this] {
        int index = -1;
        std::shared_ptr<CSubTree> subtree;
        if (buffer_ && root_->FindSelectedItem(index, subtree)) buffer_->SelectedItem = CTreeItem::Make(index, subtree);
    }));
    rootConnections_.emplace_back(root_->SubItemSelect.connect([this](std::shared_ptr<CTreeItem>& item) {
        // Selecting a child may have expanded its row without a redraw: the scroll range
        // must take in the new rows before the child is scrolled into view.
        Refresh();
        selectRowInternal(item);
    }));
    root_->Create(nullptr, QString(), -1);
    buffer_ = std::make_unique<CScreenBuffer>();
    initialised_ = true;
    setEnabled(true);
    Refresh();
    selectRowInternal(TreeItems(0));
}

// ---- rows ----

void UserTree::Refresh()
{
    if (!initialised_ || !root_) return;
    sv_->setItemCount(root_->NodesCount(false));
    sv_->RedrawItems();
}

void UserTree::ExpandAll()
{
    if (!root_) return;
    root_->ExpandAll();
    Refresh();
}

int UserTree::ItemCount() const { return root_ ? root_->NodesCount(false) : 0; }

void UserTree::Requery(bool keepBuffers)
{
    if (!root_ || !levels_) return;
    if (!keepBuffers) {
        if (DbError error = levels_->CreateParentBuffers(true)) {
            ShowTreeError(QStringLiteral("UserTree_Requery"), error);
            return;
        }
    }
    root_->Requery();
    Refresh();
}

std::shared_ptr<CTreeItem> UserTree::SelectedItem() const
{
    int index = -1;
    std::shared_ptr<CSubTree> subtree;
    return root_ && root_->FindSelectedItem(index, subtree) ? CTreeItem::Make(index, subtree) : nullptr;
}

std::shared_ptr<CTreeItem> UserTree::TreeItems(int index) const
{
    return root_ ? root_->FindTreeItem(index) : nullptr;
}

bool UserTree::SelectItem(const QString& key, int level)
{
    if (!root_ || !levels_ || level < 1) return false;
    // The keys of the rows above, found from the bottom up; a tree is at most 32 deep here.
    QStringList path;
    QString current = key;
    for (int l = level; l >= 2 && path.size() < 32; --l) {
        current = levels_->FindParentKey(current, l);
        if (current.isEmpty()) return false;
        path.prepend(current);
    }
    auto subtree = root_->CascadeExpand(path);
    Refresh();
    if (!subtree) return false;
    const int index = subtree->FindLocalIndex(key);
    if (index < 0) return false;
    subtree->SelectItem(index);
    selectRowInternal(CTreeItem::Make(index, subtree));
    return true;
}

void UserTree::Synchronize(const CTreeItem* item)
{
    if (item) SelectItem(item->ParentKey, item->Level);
}

void UserTree::selectRowInternal(const std::shared_ptr<CTreeItem>& item)
{
    if (!item || !buffer_) return;
    const auto old = buffer_->SelectedItem;
    if (!buffer_->MakeSelection(item)) {
        if (old) sv_->EnsureVisible(old->AbsoluteIndex());
        return;
    }
    for (const auto& row : {item, old}) {
        if (!row) continue;
        int32_t l = 0, t = 0, r = 0, b = 0;
        sv_->GetItemRect(row->AbsoluteIndex(), l, t, r, b);
        sv_->Invalidate(l, t, sv_->ScaleWidth(), b);
    }
    sv_->RedrawItems();
    sv_->EnsureVisible(item->AbsoluteIndex());
    SelectionChange.raise();
}

void UserTree::selectAbsolute(int absolute) { selectRowInternal(TreeItems(absolute)); }

bool UserTree::toggleExpand(const std::shared_ptr<CTreeItem>& item, int mode)
{
    if (!item) return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    if (!item->IsParent()) return false;
    const bool expanded = item->Expanded();
    if ((mode == 1 && expanded) || (mode == 2 && !expanded)) return false;
    const int absolute = item->AbsoluteIndex();
    if (!expanded) {
        BeforeExpand.raise();
        item->SetExpanded(true);
        if (item->Expanded()) sv_->EnsureVisible(absolute, absolute + item->SubItemCount());
        AfterExpand.raise();
    } else {
        // A selection inside the part that disappears moves to the collapsing row.
        if (auto selected = buffer_ ? buffer_->SelectedItem : nullptr) {
            const int s = selected->AbsoluteIndex();
            if (s > absolute && s <= absolute + item->SubItemCount()) selectRowInternal(item);
        }
        item->SetExpanded(false);
    }
    return true;
}

// ---- keyboard and mouse ----

void UserTree::onKeyDown(int16_t& keyCode, int16_t& shift)
{
    if (!buffer_) return;
    if (shift & vbCtrlMask) {
        static const std::pair<int, int> kScroll[] = {{VK_DOWN, 1}, {VK_UP, 0},  {VK_NEXT, 3},
                                                      {VK_PRIOR, 2}, {VK_HOME, 6}, {VK_END, 7}};
        for (const auto& [key, motion] : kScroll) {
            if (keyCode == key) {
                sv_->MoveThumb(1, motion);
                keyCode = 0;
                return;
            }
        }
        KeyDown.raise(keyCode, shift);
        return;
    }
    if (shift & (vbShiftMask | vbAltMask)) {
        KeyDown.raise(keyCode, shift);
        return;
    }
    const auto selected = buffer_->SelectedItem;
    const int count = ItemCount();
    switch (keyCode) {
    case VK_DOWN: if (selected) selectRowInternal(selected->NextItem()); break;
    case VK_UP: if (selected) selectRowInternal(selected->PrevItem()); break;
    case VK_HOME: selectAbsolute(0); break;
    case VK_END: selectAbsolute(count - 1); break;
    case VK_NEXT:
        if (selected) selectAbsolute(std::min(selected->AbsoluteIndex() + sv_->VisibleRows(), count - 1));
        break;
    case VK_PRIOR:
        if (selected) selectAbsolute(std::max(selected->AbsoluteIndex() - sv_->VisibleRows(), 0));
        break;
    case VK_ADD: toggleExpand(selected, 1); break;
    case VK_SUBTRACT: toggleExpand(selected, 2); break;
    case VK_RIGHT:
        if (!toggleExpand(selected, 1) && selected) selectRowInternal(selected->NextItem());
        break;
    case VK_LEFT:
        if (!toggleExpand(selected, 2) && selected) selectRowInternal(selected->ParentItem());
        break;
    case VK_RETURN:
        if (dblClickOnReturn_ && selected) DblClick.raise();
        break;
    default:
        KeyDown.raise(keyCode, shift);
        return;
    }
    keyCode = 0;
}

std::shared_ptr<CTreeItem> UserTree::hitTest(int x, int y, TreeHitPart* part) const
{
    *part = hitNothing;
    if (!buffer_ || y < 0) return nullptr;
    const int row = y / kTreeRowHeight;
    if (row > buffer_->MaxRow()) return nullptr;
    auto item = buffer_->Item(row);
    *part = HitPart(x + sv_->HorizontalOrigin(), item->Level, indentation_, sv_->TextWidth(item->Text));
    return item;
}

void UserTree::showCutTextTip(int x, int y)
{
    TreeHitPart part = hitNothing;
    const auto item = hitTest(x, y, &part);
    if (!item || part != hitItem) return;
    const QString shown = RowShownText(item->Text);
    const int left = RowGeometry(item->Level, indentation_, style_ == 1).textX + textSpacer_ - sv_->HorizontalOrigin();
    const int width = sv_->TextWidth(shown);
    if (left + width <= sv_->ScaleWidth()) return;
    const int top = y / kTreeRowHeight * kTreeRowHeight;
    sv_->ShowToolTip(left - 1, top - 1, width + 8, kTreeRowHeight + 1, left - 1, top - 1, sv_->ScaleWidth() - left + 1,
                     kTreeRowHeight + 1, shown.trimmed());
}

void UserTree::onMouseDown(int16_t button, int16_t shift, int32_t x, int32_t y)
{
    TreeHitPart part = hitNothing;
    auto item = hitTest(x, y, &part);
    if (part == hitItem) selectRowInternal(item);
    else if (part == hitGlyph) toggleExpand(item, 0);
    MouseDown.raise(button, shift, float(x), float(y));
}

// ---- painting ----

void UserTree::onBeforeDraw(int16_t& action)
{
    action = 1;   // one Draw for the whole area
    if (buffer_ && root_) buffer_->Fill(root_, sv_->FirstVisibleItem(), sv_->VisibleRows());
}

void UserTree::onDraw()
{
    if (!sv_) return;
    sv_->Clear();
    if (!initialised_ || !buffer_ || buffer_->Count() == 0) return;
    glyphs_.Prepare(*buffer_->Item(0));
    for (int row = 0; row <= buffer_->MaxRow(); ++row) {
        auto item = buffer_->Item(row);
        paintItem(sv_->hdc(), row, *item);
        item->SetRedrawFlag(false);
    }
}

void UserTree::paintItem(HandleId hdc, int row, CTreeItem& item)
{
    const int y = row * kTreeRowHeight;
    for (const TreeGlyph& g : glyphs_.RowGlyphs(item, indentation_))
        lines_->Draw(g.glyph - 1, hdc, g.x, y, ILD_TRANSPARENT);
    const TreeRowGeometry geometry = RowGeometry(item.Level, indentation_, style_ == 1);
    if (style_ == 1) {
        int16_t icon = int16_t(item.icon);
        if (translateIcons_) TranslateIcon.raise(int16_t(item.Level), icon);
        const ImageListClass* icons =
            item.Expanded() && expandedIcons_ ? expandedIcons_.get() : standardIcons_.get();
        if (icons) icons->Draw(icon - 1, hdc, geometry.iconX, y, ILD_TRANSPARENT);
    }
    paintText(hdc, item.Text, geometry.textX, y, item.Selected());
}

void UserTree::paintText(HandleId hdc, const QString& text, int x, int y, bool selected)
{
    const QString shown = RowShownText(text);
    constexpr uint32_t kFlags = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_NOPREFIX;
    Rect r{x + textSpacer_, y, x + textSpacer_, y + 15};
    Rect measured = r;
    DrawText(hdc, shown, measured, kFlags | DT_CALCRECT);
    r.Right = measured.Right;
    SetBkMode(hdc, TRANSPARENT);
    const bool focus = sv_->HasFocus();
    if (!selected || (!focus && hideSelection_)) {
        DrawText(hdc, shown, r, kFlags);
        return;
    }
    FillRect(hdc, r, GetSysColorBrush(focus ? COLOR_HIGHLIGHT : COLOR_GRAYTEXT));
    SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    DrawText(hdc, shown, r, kFlags);
    SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
    if (focus) DrawFocusRect(hdc, r);
}

} // namespace tv
