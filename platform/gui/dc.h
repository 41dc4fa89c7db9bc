#pragma once

// Device contexts: a drawing target (an image) with state that lasts between calls: the
// selected font, brush, pen and bitmap, text colour, background mode and colour, clip region
// (device coordinates), viewport origin and a stack of saved states.
//
// A window's context draws into the back-store image of its owner-drawn surface
// (surface.h), which copies what was drawn to the screen in its paint event. A memory
// context draws into the bitmap selected into it. Contexts are handles of the same table as
// the drawing objects; a surface's context lives as long as the surface, a memory context
// until DeleteDC.

#include "gdi.h"

#include <QPainter>
#include <functional>
#include <optional>
#include <vector>

namespace tv {

class Dc : public GdiData {
public:
    explicit Dc(ObjectTypeEnum kind);
    ~Dc() override;
    Dc(const Dc&) = delete;
    Dc& operator=(const Dc&) = delete;

    struct State {
        HandleId font = 0, brush = 0, pen = 0, bitmap = 0;
        ColorRef textColor = 0, bkColor = 0xFFFFFF;
        int bkMode = 2;   // OPAQUE
        int stretchMode = 1;
        std::optional<QRegion> clip;   // device coordinates; none = the whole target
        QPoint origin;                 // viewport origin: logical (0,0) lands here
    };

    // The image drawn into; a change ends the open painter.
    void setTarget(QImage* image);
    QImage* target() const { return target_; }
    // The painter on the target with the clip and origin applied, begun on first use and
    // kept open between calls (drawing hundreds of cells must not pay a begin per call).
    QPainter* painter();
    // Ends the open painter; call before reading or replacing the target's pixels.
    void flush();
    // Re-applies clip and origin to the open painter after a state change.
    void stateChanged();

    // Reports a drawn rectangle in logical coordinates to the owner (the surface repaints it).
    void drawn(const QRect& logical);
    std::function<void(const QRect& device)> onDrawn;

    QFont currentFont() const;
    QRegion clipOrAll() const;

    State s;
    std::vector<State> saved;

private:
    QImage* target_ = nullptr;
    std::optional<QPainter> painter_;
    HandleId painterFont_ = -1;
};

Dc* DcOf(HandleId hdc);

// A context for a surface's back store (surface.h makes these).
HandleId CreateSurfaceDC(QImage* target);
// A memory context with a 1 x 1 default bitmap; select a bitmap to draw into it.
HandleId CreateCompatibleDC(HandleId hdc = 0);
// Frees a memory or surface context. Objects selected into it are not freed.
bool DeleteDC(HandleId hdc);

// The font every new context starts with: DejaVu Sans at 11 pixels (8 points).
HandleId GetStockGuiFont();

// Selects a pen, brush, font or bitmap and returns the handle it replaces (0 on failure);
// a region becomes the clip region (a copy) and the result is its kind.
HandleId SelectObject(HandleId hdc, HandleId object);
HandleId GetCurrentObject(HandleId hdc, ObjectTypeEnum type);

enum BkMode : int { TRANSPARENT = 1, OPAQUE = 2 };
ColorRef SetTextColor(HandleId hdc, ColorRef color);
ColorRef GetTextColor(HandleId hdc);
ColorRef SetBkColor(HandleId hdc, ColorRef color);
int SetBkMode(HandleId hdc, int mode);
int SetStretchBltMode(HandleId hdc, int mode);

// Returns the new save level (from 1), 0 on failure. RestoreDC(-1) returns to the last save;
// a positive level returns to that save and drops the ones above it.
int SaveDC(HandleId hdc);
bool RestoreDC(HandleId hdc, int level);

// Clip region, all in device coordinates except the clip rectangles (logical).
int SelectClipRgn(HandleId hdc, HandleId rgn);   // 0 removes the clip
int ExtSelectClipRgn(HandleId hdc, HandleId rgn, int mode);   // CombineMode
int IntersectClipRect(HandleId hdc, int left, int top, int right, int bottom);
int ExcludeClipRect(HandleId hdc, int left, int top, int right, int bottom);
int GetClipBox(HandleId hdc, Rect& box);   // logical coordinates
// Copies the clip region into rgn: 1 when there is one, 0 when there is none.
int GetClipRgn(HandleId hdc, HandleId rgn);

bool SetViewportOrgEx(HandleId hdc, int x, int y, QPoint* old = nullptr);
QPoint GetViewportOrg(HandleId hdc);

// Filling and framing with a brush handle or a pseudo-brush value (system colour + 1).
int FillRect(HandleId hdc, const Rect& r, HandleId brush);
int FrameRect(HandleId hdc, const Rect& r, HandleId brush);
bool InvertRect(HandleId hdc, const Rect& r);
// Rectangle outlined with the selected pen and filled with the selected brush.
bool Rectangle(HandleId hdc, int left, int top, int right, int bottom);
// The dotted focus rectangle, drawn by inversion: drawing it twice removes it.
bool DrawFocusRect(HandleId hdc, const Rect& r);
bool MoveToEx(HandleId hdc, int x, int y);
bool LineTo(HandleId hdc, int x, int y);

// Raster operations of the blits.
enum RasterOp : uint32_t {
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    SRCAND = 0x008800C6,
    SRCINVERT = 0x00660046,
    NOTSRCCOPY = 0x00330008,
    DSTINVERT = 0x00550009,
    PATCOPY = 0x00F00021,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062,
};
bool PatBlt(HandleId hdc, int x, int y, int w, int h, uint32_t rop);
bool BitBlt(HandleId dest, int x, int y, int w, int h, HandleId src, int sx, int sy, uint32_t rop);
bool StretchBlt(HandleId dest, int x, int y, int w, int h, HandleId src, int sx, int sy, int sw, int sh,
                uint32_t rop);

// Moves the pixels of scroll ∩ clip (logical; null = the whole target) by (dx, dy). The part
// of that area that no moved pixel covers is the uncovered area: it is copied into
// updateRgn (when given) and its bounding box into update (when given).
bool ScrollDC(HandleId hdc, int dx, int dy, const Rect* scroll, const Rect* clip, HandleId updateRgn,
              Rect* update);

ColorRef GetPixel(HandleId hdc, int x, int y);
bool SetPixel(HandleId hdc, int x, int y, ColorRef color);

} // namespace tv
