#pragma once

// Drawing objects of the program: fonts, brushes, pens, bitmaps and regions, each kept in one
// table and reached by a handle value (an id of that table, never a pointer). Objects live
// until DeleteObject; GdiObject (gdiobject.h) frees them with its last reference.
//
// Rectangles follow the system's rule: left/top inclusive, right/bottom exclusive. QRect's
// right()/bottom() are inclusive; toQRect/fromQRect are the one place that converts.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <cstdint>
#include <memory>

namespace tv {

using HandleId = int32_t;   // 0 = none
using ColorRef = uint32_t;   // 0x00BBGGRR

struct Rect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    int32_t width() const { return Right - Left; }
    int32_t height() const { return Bottom - Top; }
    bool isEmpty() const { return Right <= Left || Bottom <= Top; }
    QRect toQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static Rect fromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
    bool operator==(const Rect&) const = default;
};

// Object type numbers, as GetObjectType reports them (stored in GdiObject.TypeID).
enum ObjectTypeEnum : int32_t {
    ObjNone = 0,
    ObjPen = 1,
    ObjBrush = 2,
    ObjDC = 3,
    ObjMetaDC = 4,
    ObjPal = 5,
    ObjFont = 6,
    ObjBitmap = 7,
    ObjRegion = 8,
    ObjMemDC = 10,
};

// ---- colours ------------------------------------------------------------------------------

inline ColorRef RGB(int r, int g, int b) { return ColorRef(r & 0xFF) | ColorRef(g & 0xFF) << 8 | ColorRef(b & 0xFF) << 16; }
inline QColor ToQColor(ColorRef c) { return QColor(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF)); }
inline ColorRef FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

// System colour indices (the low byte of an OLE colour with the high bit set).
enum SysColorIndex : int {
    COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
    COLOR_COUNT = 25,
};

// The colour of a system colour index, read from the application's palette at each call so
// that it follows a palette change. Unknown indices give black.
ColorRef GetSysColor(int index);
// OLE colour -> RGB: a value with the high bit set names a system colour by its low byte.
ColorRef TranslateOleColor(uint32_t oleColor);
inline QColor OleToQColor(uint32_t oleColor) { return ToQColor(TranslateOleColor(oleColor)); }
constexpr bool IsSysColor(uint32_t oleColor) { return (oleColor & 0x80000000u) != 0; }

// ---- the object table -------------------------------------------------------------------

struct GdiData {
    explicit GdiData(ObjectTypeEnum t) : type(t) {}
    virtual ~GdiData() = default;
    ObjectTypeEnum type;
};

struct FontData : GdiData {
    FontData() : GdiData(ObjFont) {}
    QFont font;
};

struct BrushData : GdiData {
    BrushData() : GdiData(ObjBrush) {}
    int sysColor = -1;    // >= 0: a system colour brush that follows the palette
    QColor color;         // solid brush
    QImage pattern;       // pattern brush when not null
    bool hollow = false;
    QBrush brush() const;
};

struct PenData : GdiData {
    PenData() : GdiData(ObjPen) {}
    int style = 0;        // PS_SOLID 0, PS_DASH 1, PS_DOT 2, PS_NULL 5
    int width = 1;
    QColor color;
};

struct BitmapData : GdiData {
    BitmapData() : GdiData(ObjBitmap) {}
    QImage image;         // Format_RGB32, or ARGB32_Premultiplied for images with alpha
    int selectedIn = 0;   // memory contexts that draw into it; it is not freed meanwhile
};

struct RegionData : GdiData {
    RegionData() : GdiData(ObjRegion) {}
    QRegion region;
};

// Adds an object to the table and returns its new handle.
HandleId GdiRegister(std::unique_ptr<GdiData> data);
// The object of a handle, or nullptr when the handle is unknown or of another type.
GdiData* GdiLookup(HandleId h);
template <class T>
T* GdiLookupAs(HandleId h, ObjectTypeEnum type)
{
    GdiData* d = GdiLookup(h);
    return d && d->type == type ? static_cast<T*>(d) : nullptr;
}

// Type of a handle: 0 for none and for an unknown handle.
ObjectTypeEnum GetObjectType(HandleId h);
// Frees a drawing object (not a device context: DeleteDC). Stock objects stay.
bool DeleteObject(HandleId h);
// Number of live table entries (tests check that nothing leaks).
int GdiObjectCount();

// ---- creating objects -------------------------------------------------------------------

HandleId CreateSolidBrush(ColorRef color);
// The system colour brush of an index: one stock handle per index, never deleted.
HandleId GetSysColorBrush(int index);
HandleId CreatePatternBrush(HandleId bitmap);
HandleId GetStockHollowBrush();
// A brush value of 1 .. COLOR_COUNT stands for the system colour (value - 1).
constexpr bool IsPseudoBrush(HandleId h) { return h >= 1 && h <= COLOR_COUNT; }
// The brush of a handle or pseudo-brush value; false when it is neither.
bool ResolveBrush(HandleId h, QBrush& out);

enum PenStyle : int { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_NULL = 5 };
HandleId CreatePen(int style, int width, ColorRef color);

HandleId CreateBitmap(int width, int height);
// A bitmap holding a copy of an image.
HandleId CreateBitmapFromImage(const QImage& image);
QImage* BitmapImage(HandleId bitmap);
// The 1 x 1 bitmap a memory context holds before one is selected (a stock object).
HandleId GetStockDefaultBitmap();

// The 8 x 8 checkerboard pattern brush of the focus frame (top-left pixel black). One per
// program, a stock object.
HandleId FocusPatternBrush();

// ---- regions ------------------------------------------------------------------------------

enum RegionKind : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
enum CombineMode : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

HandleId CreateRectRgn(int left, int top, int right, int bottom);
HandleId CreateRegion(const QRegion& r);
QRegion* RegionOf(HandleId rgn);
// dest = src1 <mode> src2 (src2 is ignored for RGN_COPY). Returns the kind of the result.
int CombineRgn(HandleId dest, HandleId src1, HandleId src2, int mode);
bool RectInRegion(HandleId rgn, const Rect& r);
bool PtInRegion(HandleId rgn, int x, int y);
int OffsetRgn(HandleId rgn, int dx, int dy);
int GetRgnBox(HandleId rgn, Rect& box);
int RegionKindOf(const QRegion& r);

} // namespace tv
