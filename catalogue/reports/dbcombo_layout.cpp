// DBCombo: where its parts sit, its painting, and the arrow's mouse.

#include "catalogue/reports/dbcombo.h"
#include "catalogue/reports/dbcombopaint.h"

#include "platform/gui/modfont.h"
#include "platform/gui/wnd.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace tv {

namespace {
constexpr int kMinWidth = 40;   // 600 twips
}

// ---- the widget's side -----------------------------------------------------------------------

void DBCombo::applyFont()
{
    const QFont f = font_->toQFont();
    text_->setFont(f);
    button_->setFont(f);
    QWidget::setFont(f);
}

int DBCombo::textBoxHeight() const { return QFontMetrics(font_->toQFont()).height() + 2; }

int DBCombo::buttonWidth() const
{
    return QFontMetrics(font_->toQFont()).horizontalAdvance(QStringLiteral("...")) + 10;
}

int DBCombo::controlHeight() const { return textBoxHeight() + 4 * borderStyle_ + 2; }

QSize DBCombo::sizeHint() const { return QSize(160, controlHeight()); }

QSize DBCombo::minimumSizeHint() const { return QSize(kMinWidth, controlHeight()); }

void DBCombo::layoutParts()
{
    if (!shown_ || inLayout_) return;
    inLayout_ = true;
    setMinimumWidth(kMinWidth);
    setFixedHeight(controlHeight());
    const ComboLayout l = LayoutCombo(size(), borderStyle_, showButton_, showDropDown_,
                                      GetSystemMetrics(SM_CXVSCROLL), buttonWidth());
    frame_ = l.frame;
    arrow_ = l.arrow;
    text_->setGeometry(l.text.left(), l.text.top(), std::max(0, l.text.width()), textBoxHeight());
    button_->setGeometry(l.button);
    inLayout_ = false;
    update();
}

void DBCombo::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutParts();
}

void DBCombo::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    layoutParts();
    showText(Text());
}

void DBCombo::paintEvent(QPaintEvent*)
{
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(palette().color(QPalette::Window));
    if (borderStyle_ == 1) DrawComboFrame(image, frame_);
    if (showDropDown_) {
        int state = kArrowNormal;
        if (arrowPressed_) state |= kArrowFlat;
        if (!text_->isEnabled() || Locked()) state |= kArrowInactive;
        DrawComboArrow(image, arrow_, state);
    }
    QPainter(this).drawImage(0, 0, image);
}

void DBCombo::mousePressEvent(QMouseEvent* event)
{
    // The arrow's bounds belong to it on every side.
    const QRect hot = arrow_.adjusted(0, 0, 1, 1);
    if (event->button() != Qt::LeftButton || !showDropDown_ || !hot.contains(event->position().toPoint()) ||
        !text_->isEnabled() || Locked()) {
        QWidget::mousePressEvent(event);
        return;
    }
    arrowPressed_ = true;
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    OpenDropDown();
    // The list took the release: the arrow comes up when it has closed.
    arrowPressed_ = false;
    update();
}

void DBCombo::mouseMoveEvent(QMouseEvent* event)
{
    if (arrowPressed_ && !arrow_.adjusted(0, 0, 1, 1).contains(event->position().toPoint())) {
        arrowPressed_ = false;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void DBCombo::mouseReleaseEvent(QMouseEvent* event)
{
    if (arrowPressed_) {
        arrowPressed_ = false;
        update();
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace tv
