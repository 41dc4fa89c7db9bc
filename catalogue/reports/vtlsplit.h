#pragma once

#include "platform/component/event.h"
#include "platform/runtime/variant.h"

#include <QString>
#include <QWidget>

#include <cstdint>

namespace tv {

class PropertyBag;

// The surface values that the layout controls keep in their property bags: back colour, fore
// colour and back style (1 opaque, 0 transparent). Colours are OLE colours; the defaults are
// the system colours of button faces and button text.
struct VTLSurface {
    static constexpr uint32_t kDefaultBackColor = 0x8000000Fu;
    static constexpr uint32_t kDefaultForeColor = 0x80000012u;

    uint32_t backColor = kDefaultBackColor;
    uint32_t foreColor = kDefaultForeColor;
    int32_t backStyle = 1;

    void Read(const PropertyBag& bag);
    void Write(PropertyBag& bag) const;
    void ApplyTo(QWidget* widget) const;
};

// Twips, the unit of the layout controls' properties, and pixels (96 dpi: 15 twips a pixel).
constexpr double kTwipsPerPixel = 15.0;
inline int TwipsToPixels(double twips) { return qRound(twips / kTwipsPerPixel); }

// A container that divides its area between two of its child widgets (the panes) with a bar
// the user drags. While the bar is dragged only an outline follows the mouse; the panes are laid
// out again when the button is released. Positions, sizes and margins are in twips.
//
// The panes are the host's widgets, made children of the splitter by the host; the bar and the
// drag outline are the splitter's own. Owned by its parent widget.
class VTLSplit : public QWidget {
public:
    explicit VTLSplit(QWidget* parent = nullptr);
    ~VTLSplit() override;

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    uint32_t BackColor() const { return surface_.backColor; }
    void setBackColor(uint32_t color);
    int32_t BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int32_t style);
    // 0: vertical bar, panes left and right; any other value: horizontal bar, panes above and below.
    int32_t SplitStyle() const { return splitStyle_; }
    void setSplitStyle(int32_t style);
    int32_t SplitSize() const { return splitSize_; }
    void setSplitSize(int32_t size);
    double MarginA() const { return marginA_; }
    void setMarginA(double value);
    double MarginB() const { return marginB_; }
    void setMarginB(double value);
    // The bar's left (top) edge. Setting Null or an empty value centres the bar.
    double SplitPos() const { return barPos_; }
    void setSplitPos(const Variant& value);

    // Names the panes: `first` goes left of (above) the bar, `second` right of (below) it.
    void Arrange(QWidget* first, QWidget* second);
    void Refresh();
    void Redraw();

    // The bar's widget (for the host's cursor checks and for tests) and the drag outline,
    // null while none is drawn.
    QWidget* Split() const { return bar_; }
    QWidget* DragOutline() const;
    bool Dragging() const { return dragging_; }

    // Inner area in twips: the width for a vertical bar, the height for a horizontal one.
    double Extent() const;

    // Raised after the user dropped the bar and the panes were laid out.
    Event<> SplitChange;
    // Raised at the end of every resize.
    Event<> SplitResize;
    // The name of a property the user or the host changed (for the host's property bag).
    Event<QString> PropertyChanged;

    // Drag steps of the bar, in the bar's own pixel coordinates (called by the bar's mouse
    // events; public so that a host can drive them).
    void BarPressed(QPoint pos);
    void BarMoved(QPoint pos, bool leftButton);
    void BarReleased();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    class Bar;
    bool horizontal() const { return splitStyle_ != 0; }
    double innerWidth() const;
    double innerHeight() const;
    QRect innerRect() const;
    // The bar rectangle for an offset from the current position, clamped into the allowed
    // range; the clamped position through `clamped`. In twips.
    QRectF barRect(double offset, double* clamped) const;
    double clampPos(double pos) const;
    void limitMargin(double& margin, double otherMargin, double value) const;
    void moveBar(double pos);
    void placeBar(const QRectF& twips);
    void applyPosition();
    void layoutResize();
    void arrangePanes();
    void drawOutline(double offset);
    void removeOutline();
    QList<QWidget*> panes() const;
    void setTwipsGeometry(QWidget* w, double left, double top, double width, double height);
    void changed(const char* property) { PropertyChanged.raise(QString::fromLatin1(property)); }

    VTLSurface surface_;
    int32_t borderStyle_ = 0;
    int32_t splitStyle_ = 0;
    int32_t splitSize_ = 80;
    double marginA_ = 0;
    double marginB_ = 0;
    Variant splitPos_ = Variant::null(); // the stored position; a drag does not change it
    double barPos_ = 0;                  // where the bar is now

    QWidget* bar_ = nullptr;
    QWidget* outline_ = nullptr;
    QString firstName_;
    QString secondName_;

    bool dragging_ = false;
    bool busy_ = false;
    QPoint pressPoint_;
    double dropPos_ = 0;
    bool outlineDrawn_ = false;
};

} // namespace tv
