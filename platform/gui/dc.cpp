#include "dc.h"

namespace tv {

Dc::Dc(ObjectTypeEnum kind) : GdiData(kind)
{
    s.font = GetStockGuiFont();
    s.brush = GetSysColorBrush(COLOR_WINDOW);
    s.textColor = 0;
}

Dc::~Dc() { flush(); }

void Dc::setTarget(QImage* image)
{
    flush();
    target_ = image;
}

QPainter* Dc::painter()
{
    if (!target_ || target_->isNull()) return nullptr;
    if (!painter_) {
        painter_.emplace(target_);
        painterFont_ = -1;
        stateChanged();
    }
    if (painterFont_ != s.font) {
        painter_->setFont(currentFont());
        painterFont_ = s.font;
    }
    return &*painter_;
}

void Dc::flush() { painter_.reset(); }

void Dc::stateChanged()
{
    if (!painter_) return;
    painter_->resetTransform();
    if (s.clip)
        painter_->setClipRegion(*s.clip);
    else
        painter_->setClipping(false);
    painter_->translate(s.origin);
    // Patterns follow the device's pixel grid, not the logical origin.
    painter_->setBrushOrigin(-s.origin);
}

void Dc::drawn(const QRect& logical)
{
    if (!onDrawn || !target_) return;
    QRect dev = logical.translated(s.origin) & target_->rect();
    if (s.clip) dev &= s.clip->boundingRect();
    if (!dev.isEmpty()) onDrawn(dev);
}

QFont Dc::currentFont() const
{
    auto* f = GdiLookupAs<FontData>(s.font, ObjFont);
    if (!f) f = GdiLookupAs<FontData>(GetStockGuiFont(), ObjFont);
    return f->font;
}

QRegion Dc::clipOrAll() const
{
    if (s.clip) return *s.clip;
    return target_ ? QRegion(target_->rect()) : QRegion();
}

Dc* DcOf(HandleId hdc)
{
    GdiData* d = GdiLookup(hdc);
    return d && (d->type == ObjDC || d->type == ObjMemDC) ? static_cast<Dc*>(d) : nullptr;
}

HandleId CreateSurfaceDC(QImage* target)
{
    auto dc = std::make_unique<Dc>(ObjDC);
    dc->setTarget(target);
    return GdiRegister(std::move(dc));
}

HandleId CreateCompatibleDC(HandleId)
{
    auto dc = std::make_unique<Dc>(ObjMemDC);
    HandleId bmp = GetStockDefaultBitmap();
    dc->s.bitmap = bmp;
    auto* b = GdiLookupAs<BitmapData>(bmp, ObjBitmap);
    ++b->selectedIn;
    dc->setTarget(&b->image);
    return GdiRegister(std::move(dc));
}

namespace {
void releaseBitmap(HandleId bmp)
{
    if (auto* b = GdiLookupAs<BitmapData>(bmp, ObjBitmap)) --b->selectedIn;
}
void holdBitmap(HandleId bmp)
{
    if (auto* b = GdiLookupAs<BitmapData>(bmp, ObjBitmap)) ++b->selectedIn;
}

// Makes a memory context draw into the bitmap its state names.
void applyBitmap(Dc* dc)
{
    if (dc->type != ObjMemDC) return;
    dc->setTarget(BitmapImage(dc->s.bitmap));
}
} // namespace

bool DeleteDC(HandleId hdc)
{
    Dc* dc = DcOf(hdc);
    if (!dc) return false;
    dc->flush();
    if (dc->type == ObjMemDC) {
        releaseBitmap(dc->s.bitmap);
        for (const auto& st : dc->saved) releaseBitmap(st.bitmap);
    }
    dc->type = ObjNone;   // lets DeleteObject take it out of the table
    return DeleteObject(hdc);
}

HandleId GetStockGuiFont()
{
    static HandleId font = [] {
        auto f = std::make_unique<FontData>();
        f->font = QFont(QStringLiteral("DejaVu Sans"));
        f->font.setPixelSize(11);
        return GdiRegister(std::move(f));
    }();
    return font;
}

HandleId SelectObject(HandleId hdc, HandleId object)
{
    Dc* dc = DcOf(hdc);
    if (!dc) return 0;
    HandleId prev = 0;
    switch (GetObjectType(object)) {
    case ObjFont: prev = dc->s.font; dc->s.font = object; break;
    case ObjBrush: prev = dc->s.brush; dc->s.brush = object; break;
    case ObjPen: prev = dc->s.pen; dc->s.pen = object; break;
    case ObjBitmap:
        if (dc->type != ObjMemDC) return 0;
        prev = dc->s.bitmap;
        holdBitmap(object);
        releaseBitmap(prev);
        dc->s.bitmap = object;
        applyBitmap(dc);
        break;
    case ObjRegion: return SelectClipRgn(hdc, object);
    default: return 0;
    }
    return prev;
}

HandleId GetCurrentObject(HandleId hdc, ObjectTypeEnum type)
{
    Dc* dc = DcOf(hdc);
    if (!dc) return 0;
    switch (type) {
    case ObjFont: return dc->s.font;
    case ObjBrush: return dc->s.brush;
    case ObjPen: return dc->s.pen;
    case ObjBitmap: return dc->s.bitmap;
    default: return 0;
    }
}

ColorRef SetTextColor(HandleId hdc, ColorRef color)
{
    Dc* dc = DcOf(hdc);
    if (!dc) return 0xFFFFFFFF;
    return std::exchange(dc->s.textColor, color & 0xFFFFFF);
}

ColorRef GetTextColor(HandleId hdc)
{
    Dc* dc = DcOf(hdc);
    return dc ? dc->s.textColor : 0xFFFFFFFF;
}

ColorRef SetBkColor(HandleId hdc, ColorRef color)
{
    Dc* dc = DcOf(hdc);
    if (!dc) return 0xFFFFFFFF;
    return std::exchange(dc->s.bkColor, color & 0xFFFFFF);
}

int SetBkMode(HandleId hdc, int mode)
{
    Dc* dc = DcOf(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(dc->s.bkMode, mode);
}

int SetStretchBltMode(HandleId hdc, int mode)
{
    Dc* dc = DcOf(hdc);
    if (!dc || mode < 1 || mode > 4) return 0;
    return std::exchange(dc->s.stretchMode, mode);
}

int SaveDC(HandleId hdc)
{
    Dc* dc = DcOf(hdc);
    if (!dc) return 0;
    dc->saved.push_back(dc->s);
    if (dc->type == ObjMemDC) holdBitmap(dc->s.bitmap);
    return int(dc->saved.size());
}

bool RestoreDC(HandleId hdc, int level)
{
    Dc* dc = DcOf(hdc);
    if (!dc || dc->saved.empty()) return false;
    const int n = int(dc->saved.size());
    if (level < 0) level = n + 1 + level;
    if (level < 1 || level > n) return false;
    const bool mem = dc->type == ObjMemDC;
    if (mem) releaseBitmap(dc->s.bitmap);
    dc->s = dc->saved[size_t(level - 1)];
    // The restored state takes over the hold of its saved copy; the dropped ones let go.
    if (mem)
        for (int i = level; i < n; ++i) releaseBitmap(dc->saved[size_t(i)].bitmap);
    dc->saved.resize(size_t(level - 1));
    applyBitmap(dc);
    dc->stateChanged();
    return true;
}

// ---- clipping -------------------------------------------------------------------------------

namespace {
int setClip(Dc* dc, std::optional<QRegion> clip)
{
    dc->s.clip = std::move(clip);
    dc->stateChanged();
    return dc->s.clip ? RegionKindOf(*dc->s.clip) : SIMPLEREGION;
}

QRect deviceRect(const Dc* dc, int left, int top, int right, int bottom)
{
    return Rect{left, top, right, bottom}.toQRect().translated(dc->s.origin);
}
} // namespace

int SelectClipRgn(HandleId hdc, HandleId rgn)
{
    return ExtSelectClipRgn(hdc, rgn, RGN_COPY);
}

int ExtSelectClipRgn(HandleId hdc, HandleId rgn, int mode)
{
    Dc* dc = DcOf(hdc);
    if (!dc) return RGN_ERROR;
    if (rgn == 0) {
        if (mode != RGN_COPY) return RGN_ERROR;
        return setClip(dc, std::nullopt);
    }
    QRegion* r = RegionOf(rgn);
    if (!r) return RGN_ERROR;
    const QRegion cur = dc->clipOrAll();
    switch (mode) {
    case RGN_COPY: return setClip(dc, *r);
    case RGN_AND: return setClip(dc, cur & *r);
    case RGN_OR: return setClip(dc, cur | *r);
    case RGN_XOR: return setClip(dc, cur ^ *r);
    case RGN_DIFF: return setClip(dc, cur - *r);
    default: return RGN_ERROR;
    }
}

int IntersectClipRect(HandleId hdc, int left, int top, int right, int bottom)
{
    Dc* dc = DcOf(hdc);
    if (!dc) return RGN_ERROR;
    return setClip(dc, dc->clipOrAll() & deviceRect(dc, left, top, right, bottom));
}

int ExcludeClipRect(HandleId hdc, int left, int top, int right, int bottom)
{
    Dc* dc = DcOf(hdc);
    if (!dc) return RGN_ERROR;
    return setClip(dc, dc->clipOrAll() - QRegion(deviceRect(dc, left, top, right, bottom)));
}

int GetClipBox(HandleId hdc, Rect& box)
{
    Dc* dc = DcOf(hdc);
    if (!dc) return RGN_ERROR;
    const QRegion r = dc->clipOrAll();
    box = r.isEmpty() ? Rect{} : Rect::fromQRect(r.boundingRect().translated(-dc->s.origin));
    return RegionKindOf(r);
}

int GetClipRgn(HandleId hdc, HandleId rgn)
{
    Dc* dc = DcOf(hdc);
    QRegion* r = RegionOf(rgn);
    if (!dc || !r) return -1;
    if (!dc->s.clip) return 0;
    *r = *dc->s.clip;
    return 1;
}

bool SetViewportOrgEx(HandleId hdc, int x, int y, QPoint* old)
{
    Dc* dc = DcOf(hdc);
    if (!dc) return false;
    if (old) *old = dc->s.origin;
    dc->s.origin = QPoint(x, y);
    dc->stateChanged();
    return true;
}

QPoint GetViewportOrg(HandleId hdc)
{
    Dc* dc = DcOf(hdc);
    return dc ? dc->s.origin : QPoint();
}

// ---- filling and lines ------------------------------------------------------------------------

int FillRect(HandleId hdc, const Rect& r, HandleId brush)
{
    Dc* dc = DcOf(hdc);
    QBrush b;
    if (!dc || !ResolveBrush(brush, b)) return 0;
    QPainter* p = dc->painter();
    if (!p || r.isEmpty()) return 1;
    const QRect q = r.toQRect();
    p->fillRect(q, b);
    dc->drawn(q);
    return 1;
}

namespace {
// A one-pixel frame just inside q.
void fillFrame(QPainter* p, const QRect& q, const QBrush& b)
{
    p->fillRect(QRect(q.left(), q.top(), q.width(), 1), b);
    p->fillRect(QRect(q.left(), q.bottom(), q.width(), 1), b);
    p->fillRect(QRect(q.left(), q.top(), 1, q.height()), b);
    p->fillRect(QRect(q.right(), q.top(), 1, q.height()), b);
}
} // namespace

int FrameRect(HandleId hdc, const Rect& r, HandleId brush)
{
    Dc* dc = DcOf(hdc);
    QBrush b;
    if (!dc || !ResolveBrush(brush, b)) return 0;
    QPainter* p = dc->painter();
    if (!p || r.isEmpty()) return 1;
    fillFrame(p, r.toQRect(), b);
    dc->drawn(r.toQRect());
    return 1;
}

bool InvertRect(HandleId hdc, const Rect& r)
{
    Dc* dc = DcOf(hdc);
    QPainter* p = dc ? dc->painter() : nullptr;
    if (!p) return false;
    if (r.isEmpty()) return true;
    p->setCompositionMode(QPainter::RasterOp_NotDestination);
    p->fillRect(r.toQRect(), Qt::black);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    dc->drawn(r.toQRect());
    return true;
}

bool DrawFocusRect(HandleId hdc, const Rect& r)
{
    Dc* dc = DcOf(hdc);
    QPainter* p = dc ? dc->painter() : nullptr;
    if (!p) return false;
    if (r.isEmpty()) return true;
    // XOR with the checkerboard: its white dots invert, its black ones leave the pixel.
    QBrush dots;
    ResolveBrush(FocusPatternBrush(), dots);
    QImage pattern = dots.textureImage();
    pattern.invertPixels();
    const QBrush b(pattern);
    p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p->fillRect(QRect(r.Left, r.Top, r.width(), 1), b);
    if (r.height() > 1) p->fillRect(QRect(r.Left, r.Bottom - 1, r.width(), 1), b);
    if (r.height() > 2) {
        p->fillRect(QRect(r.Left, r.Top + 1, 1, r.height() - 2), b);
        if (r.width() > 1) p->fillRect(QRect(r.Right - 1, r.Top + 1, 1, r.height() - 2), b);
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    dc->drawn(r.toQRect());
    return true;
}

namespace {
QColor penColor(const Dc* dc, bool* none)
{
    auto* pen = GdiLookupAs<PenData>(dc->s.pen, ObjPen);
    *none = pen && pen->style == PS_NULL;
    return pen ? pen->color : QColor(Qt::black);
}
QPoint& currentPos()
{
    static QPoint pos;   // one drawing thread; the position of the last MoveToEx/LineTo
    return pos;
}
} // namespace

bool Rectangle(HandleId hdc, int left, int top, int right, int bottom)
{
    Dc* dc = DcOf(hdc);
    QPainter* p = dc ? dc->painter() : nullptr;
    if (!p) return false;
    const Rect r{left, top, right, bottom};
    if (r.isEmpty()) return true;
    bool noPen = false;
    const QColor pc = penColor(dc, &noPen);
    QBrush b;
    if (ResolveBrush(dc->s.brush, b) && b.style() != Qt::NoBrush)
        p->fillRect(noPen ? r.toQRect() : r.toQRect().adjusted(1, 1, -1, -1), b);
    if (!noPen) fillFrame(p, r.toQRect(), pc);
    dc->drawn(r.toQRect());
    return true;
}

bool MoveToEx(HandleId hdc, int x, int y)
{
    if (!DcOf(hdc)) return false;
    currentPos() = QPoint(x, y);
    return true;
}

bool LineTo(HandleId hdc, int x, int y)
{
    Dc* dc = DcOf(hdc);
    QPainter* p = dc ? dc->painter() : nullptr;
    if (!p) return false;
    const QPoint a = currentPos(), b(x, y);
    currentPos() = b;
    bool noPen = false;
    const QColor c = penColor(dc, &noPen);
    if (noPen || a == b) return true;
    // The end point is not drawn.
    QRect span;
    if (a.y() == b.y())
        span = a.x() < b.x() ? QRect(a.x(), a.y(), b.x() - a.x(), 1) : QRect(b.x() + 1, a.y(), a.x() - b.x(), 1);
    else if (a.x() == b.x())
        span = a.y() < b.y() ? QRect(a.x(), a.y(), 1, b.y() - a.y()) : QRect(a.x(), b.y() + 1, 1, a.y() - b.y());
    if (!span.isNull()) {
        p->fillRect(span, c);
    } else {
        p->setPen(c);
        p->drawLine(a, b);
        span = QRect(a, b).normalized();
    }
    dc->drawn(span);
    return true;
}

// ---- blits ------------------------------------------------------------------------------------

namespace {
bool compositionOf(uint32_t rop, QPainter::CompositionMode& mode)
{
    switch (rop) {
    case SRCCOPY: mode = QPainter::CompositionMode_Source; return true;
    case SRCPAINT: mode = QPainter::RasterOp_SourceOrDestination; return true;
    case SRCAND: mode = QPainter::RasterOp_SourceAndDestination; return true;
    case SRCINVERT: mode = QPainter::RasterOp_SourceXorDestination; return true;
    case NOTSRCCOPY: mode = QPainter::RasterOp_NotSource; return true;
    default: return false;
    }
}

// Copies (or stretches) source pixels onto the destination with a raster operation.
bool blit(HandleId dest, const QRect& to, HandleId src, const QRect& fromLogical, uint32_t rop, bool smooth)
{
    if (rop == DSTINVERT || rop == PATCOPY || rop == BLACKNESS || rop == WHITENESS)
        return PatBlt(dest, to.x(), to.y(), to.width(), to.height(), rop);
    Dc* d = DcOf(dest);
    Dc* s = DcOf(src);
    QPainter::CompositionMode mode;
    if (!d || !s || !s->target() || !compositionOf(rop, mode)) return false;
    QPainter* p = d->painter();
    if (!p) return false;
    const QRect from = fromLogical.translated(s->s.origin);
    // Drawing an image onto itself needs a copy of the source first.
    const QImage& srcImg = *s->target();
    QImage part;
    QRect partRect = from;
    if (s->target() == d->target()) {
        part = srcImg.copy(from);
        partRect = QRect(QPoint(0, 0), from.size());
    }
    p->setCompositionMode(mode);
    if (smooth) p->setRenderHint(QPainter::SmoothPixmapTransform, true);
    p->drawImage(to, part.isNull() ? srcImg : part, partRect);
    if (smooth) p->setRenderHint(QPainter::SmoothPixmapTransform, false);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    d->drawn(to);
    return true;
}
} // namespace

bool PatBlt(HandleId hdc, int x, int y, int w, int h, uint32_t rop)
{
    Dc* dc = DcOf(hdc);
    QPainter* p = dc ? dc->painter() : nullptr;
    if (!p) return false;
    const QRect r(x, y, w, h);
    switch (rop) {
    case DSTINVERT: return InvertRect(hdc, Rect::fromQRect(r));
    case BLACKNESS: p->fillRect(r, Qt::black); break;
    case WHITENESS: p->fillRect(r, Qt::white); break;
    case PATCOPY: {
        QBrush b;
        if (!ResolveBrush(dc->s.brush, b)) return false;
        p->fillRect(r, b);
        break;
    }
    default: return false;
    }
    dc->drawn(r);
    return true;
}

bool BitBlt(HandleId dest, int x, int y, int w, int h, HandleId src, int sx, int sy, uint32_t rop)
{
    return blit(dest, QRect(x, y, w, h), src, QRect(sx, sy, w, h), rop, false);
}

bool StretchBlt(HandleId dest, int x, int y, int w, int h, HandleId src, int sx, int sy, int sw, int sh,
                uint32_t rop)
{
    Dc* d = DcOf(dest);
    const bool smooth = d && d->s.stretchMode == 4;   // HALFTONE
    return blit(dest, QRect(x, y, w, h), src, QRect(sx, sy, sw, sh), rop, smooth);
}

bool ScrollDC(HandleId hdc, int dx, int dy, const Rect* scroll, const Rect* clip, HandleId updateRgn,
              Rect* update)
{
    Dc* dc = DcOf(hdc);
    QPainter* p = dc ? dc->painter() : nullptr;
    if (!p) return false;
    QRect area = dc->target()->rect();
    if (scroll) area &= scroll->toQRect().translated(dc->s.origin);
    if (clip) area &= clip->toQRect().translated(dc->s.origin);
    const QRect moved = area.translated(dx, dy) & area;
    if (!moved.isEmpty()) {
        const QImage part = dc->target()->copy(moved.translated(-dx, -dy));
        p->save();
        p->resetTransform();
        p->setClipping(false);
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->drawImage(moved.topLeft(), part);
        p->restore();
        if (dc->onDrawn) dc->onDrawn(moved);
    }
    const QRegion uncovered = QRegion(area) - QRegion(moved);
    if (QRegion* r = RegionOf(updateRgn)) *r = uncovered;
    if (update)
        *update = uncovered.isEmpty() ? Rect{}
                                      : Rect::fromQRect(uncovered.boundingRect().translated(-dc->s.origin));
    return true;
}

ColorRef GetPixel(HandleId hdc, int x, int y)
{
    Dc* dc = DcOf(hdc);
    if (!dc || !dc->target()) return 0xFFFFFFFF;
    const QPoint pt = QPoint(x, y) + dc->s.origin;
    if (!dc->target()->rect().contains(pt)) return 0xFFFFFFFF;
    return FromQColor(QColor::fromRgb(dc->target()->pixel(pt)));
}

bool SetPixel(HandleId hdc, int x, int y, ColorRef color)
{
    Dc* dc = DcOf(hdc);
    QPainter* p = dc ? dc->painter() : nullptr;
    if (!p) return false;
    p->fillRect(QRect(x, y, 1, 1), ToQColor(color));
    dc->drawn(QRect(x, y, 1, 1));
    return true;
}

} // namespace tv
