#pragma once

// Pop-up windows: PopupClass is a borderless, non-activating window that its owner draws on
// (it is an owner-drawn surface) and places in screen pixels; the grid shows a dragged
// column's image in one. With a hot area set it hides itself, checked by a 250 ms timer,
// once the cursor has left that area, and raises Hide. ToolTipWnd is the tip window of the
// scroll view: a pop-up with a background colour and a font style.
//
// Owned by the control that shows it (a window owned by the control's window); the owner
// lets it go when it raises Hide, with deleteLater, since Hide comes from its own timer.

#include "platform/component/event.h"
#include "platform/gui/modfont.h"
#include "platform/gui/surface.h"
#include "platform/gui/systimer.h"

#include <QRect>
#include <memory>

namespace vantile {

class PopupClass : public tv::OwnerDrawSurface {
    Q_OBJECT
public:
    explicit PopupClass(QWidget* owner);
    ~PopupClass() override;

    // Screen pixels.
    void Move(int x, int y, int width, int height);
    // Screen pixels; an empty area never hides the pop-up by itself.
    void setHotArea(const QRect& screen) { hotArea_ = screen; }
    QRect HotArea() const { return hotArea_; }
    // The system colour or RGB value the pop-up is filled with.
    void setBackColor(uint32_t oleColor);
    uint32_t BackColor() const { return backColor_; }
    void Show();
    // Asks the pop-up to hide: it hides, stops its timer and raises Hide.
    void Hide();
    bool isShown() const { return shown_; }
    // One check of the hot area, as the timer makes it.
    void checkHotArea();

    tv::Event<> HideEvent;

protected:
    void paintInvalid(const QRegion& region) override;

private:
    QRect hotArea_;
    uint32_t backColor_ = 0x80000018;
    tv::SysTimer timer_;
    bool shown_ = false;
};

class ToolTipWnd : public PopupClass {
    Q_OBJECT
public:
    explicit ToolTipWnd(QWidget* owner, const tv::StdFont& font);
    ~ToolTipWnd() override;

    // Sets the style bits on the tip's font (bits that are clear stay as they are).
    void setFontStyle(int32_t style);
    const tv::StdFont& Font() const { return font_; }
    // A frame round the whole window and the text in (5, 2, width - 1, height - 2).
    void DrawTip(const QString& text);
    QString Text() const { return text_; }

private:
    tv::StdFont font_;
    tv::HandleId hFont_ = 0;
    QString text_;
};

} // namespace vantile
