#include "gdi.h"

#include <QApplication>
#include <QPalette>
#include <unordered_map>

namespace tv {

// ---- system colours ---------------------------------------------------------------------

namespace {
// One table from system colour index to palette colour. The 3-D colours map onto the
// palette's shades so that edges follow the style in use.
struct SysColorEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    ColorRef fixed;   // used when role is NoRole
};

const SysColorEntry kSysColors[COLOR_COUNT] = {
    {QPalette::Active, QPalette::Mid, 0},               // COLOR_SCROLLBAR
    {QPalette::Active, QPalette::Dark, 0},              // COLOR_BACKGROUND (desktop)
    {QPalette::Active, QPalette::Highlight, 0},         // COLOR_ACTIVECAPTION
    {QPalette::Inactive, QPalette::Mid, 0},             // COLOR_INACTIVECAPTION
    {QPalette::Active, QPalette::Window, 0},            // COLOR_MENU
    {QPalette::Active, QPalette::Base, 0},              // COLOR_WINDOW
    {QPalette::Active, QPalette::NoRole, 0x000000},     // COLOR_WINDOWFRAME
    {QPalette::Active, QPalette::WindowText, 0},        // COLOR_MENUTEXT
    {QPalette::Active, QPalette::Text, 0},              // COLOR_WINDOWTEXT
    {QPalette::Active, QPalette::HighlightedText, 0},   // COLOR_CAPTIONTEXT
    {QPalette::Active, QPalette::Button, 0},            // COLOR_ACTIVEBORDER
    {QPalette::Inactive, QPalette::Button, 0},          // COLOR_INACTIVEBORDER
    {QPalette::Active, QPalette::Mid, 0},               // COLOR_APPWORKSPACE
    {QPalette::Active, QPalette::Highlight, 0},         // COLOR_HIGHLIGHT
    {QPalette::Active, QPalette::HighlightedText, 0},   // COLOR_HIGHLIGHTTEXT
    {QPalette::Active, QPalette::Button, 0},            // COLOR_BTNFACE
    {QPalette::Active, QPalette::Dark, 0},              // COLOR_BTNSHADOW
    {QPalette::Disabled, QPalette::Text, 0},            // COLOR_GRAYTEXT
    {QPalette::Active, QPalette::ButtonText, 0},        // COLOR_BTNTEXT
    {QPalette::Inactive, QPalette::WindowText, 0},      // COLOR_INACTIVECAPTIONTEXT
    {QPalette::Active, QPalette::Light, 0},             // COLOR_BTNHIGHLIGHT (3-D highlight)
    {QPalette::Active, QPalette::Shadow, 0},            // COLOR_3DDKSHADOW
    {QPalette::Active, QPalette::Midlight, 0},          // COLOR_3DLIGHT
    {QPalette::Active, QPalette::ToolTipText, 0},       // COLOR_INFOTEXT
    {QPalette::Active, QPalette::ToolTipBase, 0},       // COLOR_INFOBK
};
} // namespace

ColorRef GetSysColor(int index)
{
    if (index < 0 || index >= COLOR_COUNT) return 0;
    const SysColorEntry& e = kSysColors[index];
    if (e.role == QPalette::NoRole) return e.fixed;
    return FromQColor(QApplication::palette().color(e.group, e.role));
}

ColorRef TranslateOleColor(uint32_t oleColor)
{
    if (IsSysColor(oleColor)) return GetSysColor(int(oleColor & 0xFF));
    return oleColor & 0xFFFFFF;
}

// ---- table ----------------------------------------------------------------------------------

namespace {
struct Table {
    std::unordered_map<HandleId, std::unique_ptr<GdiData>> objects;
    // Handles start well above the pseudo-brush values (system colour + 1).
    HandleId next = 0x1000;
    HandleId sysBrush[COLOR_COUNT] = {};
    HandleId focusBrush = 0;
    HandleId hollowBrush = 0;
    HandleId defaultBitmap = 0;
    bool isStock(HandleId h) const
    {
        if (h == focusBrush || h == hollowBrush || h == defaultBitmap) return true;
        for (HandleId s : sysBrush)
            if (s == h) return true;
        return false;
    }
};

Table& table()
{
    static Table t;
    return t;
}
} // namespace

HandleId GdiRegister(std::unique_ptr<GdiData> data)
{
    Table& t = table();
    HandleId h = t.next++;
    t.objects.emplace(h, std::move(data));
    return h;
}

GdiData* GdiLookup(HandleId h)
{
    if (h == 0) return nullptr;
    auto& objs = table().objects;
    auto it = objs.find(h);
    return it == objs.end() ? nullptr : it->second.get();
}

ObjectTypeEnum GetObjectType(HandleId h)
{
    GdiData* d = GdiLookup(h);
    return d ? d->type : ObjNone;
}

bool DeleteObject(HandleId h)
{
    Table& t = table();
    auto it = t.objects.find(h);
    if (it == t.objects.end()) return false;
    if (it->second->type == ObjDC || it->second->type == ObjMemDC) return false;
    if (t.isStock(h)) return true;
    if (it->second->type == ObjBitmap && static_cast<BitmapData*>(it->second.get())->selectedIn > 0)
        return false;
    t.objects.erase(it);
    return true;
}

int GdiObjectCount() { return int(table().objects.size()); }

// ---- brushes, pens, bitmaps -----------------------------------------------------------------

QBrush BrushData::brush() const
{
    if (hollow) return QBrush(Qt::NoBrush);
    if (sysColor >= 0) return QBrush(ToQColor(GetSysColor(sysColor)));
    if (!pattern.isNull()) return QBrush(pattern);
    return QBrush(color);
}

HandleId CreateSolidBrush(ColorRef color)
{
    auto b = std::make_unique<BrushData>();
    b->color = ToQColor(color);
    return GdiRegister(std::move(b));
}

HandleId GetSysColorBrush(int index)
{
    if (index < 0 || index >= COLOR_COUNT) return 0;
    Table& t = table();
    if (!t.sysBrush[index]) {
        auto b = std::make_unique<BrushData>();
        b->sysColor = index;
        t.sysBrush[index] = GdiRegister(std::move(b));
    }
    return t.sysBrush[index];
}

HandleId GetStockHollowBrush()
{
    Table& t = table();
    if (!t.hollowBrush) {
        auto b = std::make_unique<BrushData>();
        b->hollow = true;
        t.hollowBrush = GdiRegister(std::move(b));
    }
    return t.hollowBrush;
}

HandleId CreatePatternBrush(HandleId bitmap)
{
    QImage* img = BitmapImage(bitmap);
    if (!img || img->isNull()) return 0;
    auto b = std::make_unique<BrushData>();
    b->pattern = img->convertToFormat(QImage::Format_RGB32);
    return GdiRegister(std::move(b));
}

bool ResolveBrush(HandleId h, QBrush& out)
{
    if (IsPseudoBrush(h)) {
        out = QBrush(ToQColor(GetSysColor(h - 1)));
        return true;
    }
    auto* b = GdiLookupAs<BrushData>(h, ObjBrush);
    if (!b) return false;
    out = b->brush();
    return true;
}

HandleId FocusPatternBrush()
{
    Table& t = table();
    if (!t.focusBrush) {
        QImage img(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                img.setPixel(x, y, (x + y) % 2 == 0 ? 0xFF000000u : 0xFFFFFFFFu);
        auto b = std::make_unique<BrushData>();
        b->pattern = img;
        t.focusBrush = GdiRegister(std::move(b));
    }
    return t.focusBrush;
}

HandleId CreatePen(int style, int width, ColorRef color)
{
    auto p = std::make_unique<PenData>();
    p->style = style;
    p->width = std::max(1, width);
    p->color = ToQColor(color);
    return GdiRegister(std::move(p));
}

HandleId CreateBitmap(int width, int height)
{
    QImage img(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
    img.fill(Qt::black);
    return CreateBitmapFromImage(img);
}

HandleId CreateBitmapFromImage(const QImage& image)
{
    if (image.isNull()) return 0;
    auto b = std::make_unique<BitmapData>();
    b->image = image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                       : image.convertToFormat(QImage::Format_RGB32);
    return GdiRegister(std::move(b));
}

QImage* BitmapImage(HandleId bitmap)
{
    auto* b = GdiLookupAs<BitmapData>(bitmap, ObjBitmap);
    return b ? &b->image : nullptr;
}

HandleId GetStockDefaultBitmap()
{
    Table& t = table();
    if (!t.defaultBitmap) t.defaultBitmap = CreateBitmap(1, 1);
    return t.defaultBitmap;
}

// ---- regions --------------------------------------------------------------------------------

int RegionKindOf(const QRegion& r)
{
    if (r.isEmpty()) return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HandleId CreateRegion(const QRegion& r)
{
    auto d = std::make_unique<RegionData>();
    d->region = r;
    return GdiRegister(std::move(d));
}

HandleId CreateRectRgn(int left, int top, int right, int bottom)
{
    return CreateRegion(QRegion(Rect{left, top, right, bottom}.toQRect()));
}

QRegion* RegionOf(HandleId rgn)
{
    auto* d = GdiLookupAs<RegionData>(rgn, ObjRegion);
    return d ? &d->region : nullptr;
}

int CombineRgn(HandleId dest, HandleId src1, HandleId src2, int mode)
{
    QRegion* d = RegionOf(dest);
    QRegion* a = RegionOf(src1);
    if (!d || !a) return RGN_ERROR;
    if (mode == RGN_COPY) {
        *d = *a;
        return RegionKindOf(*d);
    }
    QRegion* b = RegionOf(src2);
    if (!b) return RGN_ERROR;
    switch (mode) {
    case RGN_AND: *d = *a & *b; break;
    case RGN_OR: *d = *a | *b; break;
    case RGN_XOR: *d = *a ^ *b; break;
    case RGN_DIFF: *d = *a - *b; break;
    default: return RGN_ERROR;
    }
    return RegionKindOf(*d);
}

bool RectInRegion(HandleId rgn, const Rect& r)
{
    QRegion* d = RegionOf(rgn);
    return d && !r.isEmpty() && d->intersects(r.toQRect());
}

bool PtInRegion(HandleId rgn, int x, int y)
{
    QRegion* d = RegionOf(rgn);
    return d && d->contains(QPoint(x, y));
}

int OffsetRgn(HandleId rgn, int dx, int dy)
{
    QRegion* d = RegionOf(rgn);
    if (!d) return RGN_ERROR;
    d->translate(dx, dy);
    return RegionKindOf(*d);
}

int GetRgnBox(HandleId rgn, Rect& box)
{
    QRegion* d = RegionOf(rgn);
    if (!d) return RGN_ERROR;
    box = d->isEmpty() ? Rect{} : Rect::fromQRect(d->boundingRect());
    return RegionKindOf(*d);
}

} // namespace tv
