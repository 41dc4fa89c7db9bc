#pragma once

// The database combo box's geometry and drawing, apart from the widget: where frame, arrow,
// text box and "..." button sit, and how frame and arrow look.

#include <QImage>
#include <QRect>
#include <QSize>

namespace tv {

// States of the drawn arrow: a combo-box button (the normal state), pressed flat, or greyed.
enum ComboArrowState : int { kArrowNormal = 5, kArrowInactive = 0x100, kArrowFlat = 0x4000 };

struct ComboLayout {
    QRect frame;    // the sunken frame around text box and arrow
    QRect arrow;    // the drop-down arrow
    QRect text;     // the text box's left, top and width (its height is the font's)
    QRect button;   // the "..." button at the right edge
};

// The parts of a control of `inner` size (pixels). BorderStyle 0 moves the frame out of sight;
// the button takes its width off the right when shown, the arrow off the text when shown.
ComboLayout LayoutCombo(const QSize& inner, int borderStyle, bool showButton, bool showDropDown, int arrowWidth,
                        int buttonWidth);

// The drop-down arrow's button in `r` of the image, in one of the states above.
void DrawComboArrow(QImage& target, const QRect& r, int state);
// The sunken frame on `frame`.
void DrawComboFrame(QImage& target, const QRect& frame);

} // namespace tv
