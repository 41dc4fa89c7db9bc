// Geometry and drawing of the database combo box, apart from the widget.

#include "catalogue/reports/dbcombopaint.h"

#include "platform/gui/dc.h"
#include "platform/gui/textedge.h"

#include <QPainter>

#include <algorithm>

namespace tv {

void DrawComboArrow(QImage& target, const QRect& r, int state)
{
    if (r.width() <= 0 || r.height() <= 0) return;
    const bool flat = state & kArrowFlat;
    const HandleId dc = CreateSurfaceDC(&target);
    Rect edge = Rect::fromQRect(r);
    // A pressed arrow is a flat button; otherwise a raised one, both filled with the face.
    DrawEdge(dc, edge, flat ? BDR_RAISEDOUTER : EDGE_RAISED, BF_RECT | BF_MIDDLE | (flat ? BF_FLAT : 0));
    DcOf(dc)->flush();
    DeleteDC(dc);

    // A downward triangle in whole pixels, one pixel lower and further right when pressed.
    const int half = std::max(2, (std::min(r.width(), r.height()) - 4) / 4);
    const int shift = flat ? 1 : 0;
    const int left = r.left() + (r.width() - (2 * half + 1)) / 2 + shift;
    const int top = r.top() + (r.height() - (half + 1)) / 2 + shift;
    QPainter p(&target);
    auto triangle = [&](int dx, int dy, const QColor& colour) {
        for (int row = 0; row <= half; ++row)
            p.fillRect(QRect(left + dx + row, top + dy + row, 2 * (half - row) + 1, 1), colour);
    };
    if (state & kArrowInactive) {
        // Greyed out, with the highlight below it as a disabled glyph has.
        triangle(1, 1, ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)));
        triangle(0, 0, ToQColor(GetSysColor(COLOR_GRAYTEXT)));
    } else {
        triangle(0, 0, ToQColor(GetSysColor(COLOR_BTNTEXT)));
    }
}

void DrawComboFrame(QImage& target, const QRect& frame)
{
    const HandleId dc = CreateSurfaceDC(&target);
    Rect r = Rect::fromQRect(frame);
    DrawEdge(dc, r, EDGE_SUNKEN, BF_RECT);
    DcOf(dc)->flush();
    DeleteDC(dc);
}

ComboLayout LayoutCombo(const QSize& inner, int borderStyle, bool showButton, bool showDropDown, int arrowWidth,
                        int buttonWidth)
{
    ComboLayout l;
    const int out = (1 - borderStyle) * 2;   // no border: the frame lies beyond the edges
    const int right = inner.width() - (showButton ? buttonWidth : 0) + out;
    const int bottom = inner.height() + out;
    l.frame = QRect(QPoint(-out, -out), QPoint(right - 1, bottom - 1));
    l.arrow = QRect(QPoint(right - arrowWidth - 2, l.frame.top() + 2), QPoint(right - 3, bottom - 3));
    l.text = QRect(l.frame.left() + 4, l.frame.top() + 4,
                   l.frame.width() - 6 - (showDropDown ? arrowWidth : 0), 0);
    l.button = QRect(inner.width() - buttonWidth, 0, buttonWidth, inner.height());
    return l;
}

} // namespace tv
