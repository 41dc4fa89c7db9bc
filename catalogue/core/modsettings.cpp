#include "modsettings.h"

#include "modglobals.h"
#include "modmain.h"
#include "platform/system/inifile.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTextLayout>
#include <QtMath>
#include <QWidget>
#include <cmath>
#include <optional>

namespace tv {

namespace {

constexpr int kTwipsPerPixel = 15;

int toPixels(double twips) { return int(std::lround(twips / kTwipsPerPixel)); }

QRect screenRect(const QWidget* w)
{
    const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

bool hasFixedSize(const QWidget* w) { return w->minimumSize() == w->maximumSize(); }

void centreNow(QWidget* window)
{
    const QRect screen = screenRect(window);
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    const QRect over = owner && owner->isVisible() ? owner->geometry() : screen;
    const int x = over.x() + (over.width() - window->width()) / 2;
    const int y = over.y() + (over.height() - window->height()) / 2;
    window->move(std::max(screen.left(), std::min(x, screen.right() + 1 - window->width())),
                 std::max(screen.top(), std::min(y, screen.bottom() + 1 - window->height())));
}

// Centres its window once more when it is shown the first time: only then has its layout
// given it the size it opens with (its pages and frames shown or hidden by its load).
class CentreOnShow : public QObject {
public:
    explicit CentreOnShow(QWidget* window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Show) {
            window_->removeEventFilter(this);
            centreNow(window_);
            deleteLater();
        }
        return false;
    }

private:
    QWidget* window_;
};

} // namespace

QString ReadIni(const QString& section, const QString& key, const QString& defaultValue)
{
    return ReadProfileString(gtIniFile, section, key, defaultValue);
}

QString FormName(const QWidget* window)
{
    if (!window->objectName().isEmpty()) return window->objectName();
    const QString cls = QString::fromLatin1(window->metaObject()->className());
    return cls.mid(cls.lastIndexOf(QLatin1Char(':')) + 1);
}

void CentreWindow(QWidget* window)
{
    centreNow(window);
    if (!window->isVisible()) window->installEventFilter(new CentreOnShow(window));
}

void LoadFormPos(QWidget* window)
{
    const QString* stored = gcolWindows.item(FormName(window));
    QString text = stored ? *stored : QString();
    if (!text.isEmpty()) {
        const QStringList parts = text.split(QLatin1Char(';'));
        // A part that is no number reads as 0; a step that needs a missing part is skipped.
        auto part = [&parts](int i) -> std::optional<double> {
            if (i >= parts.size()) return std::nullopt;
            bool ok = false;
            const double v = parts[i].trimmed().toDouble(&ok);
            return ok ? v : 0.0;
        };
        std::optional<double> top = part(0), left = part(1), height = part(2), width = part(3);
        const double curHeight = window->height() * kTwipsPerPixel;
        const double curWidth = window->width() * kTwipsPerPixel;
        if (top && left) {
            if (*top < 0) top = 0.0;
            if (*left < 0) left = 0.0;
        }
        if (height && width) {
            if (*height < curHeight) height = curHeight;
            if (*width < curWidth) width = curWidth;
            if (hasFixedSize(window) && (*height != curHeight || *width != curWidth)) text.clear();
        }
        if (!text.isEmpty() && top && left && height && width) {
            const QRect screen = screenRect(window);
            const QSize size(toPixels(*width), toPixels(*height));
            // Keep the window on its screen, also when it was stored on a larger one.
            const int x = std::max(0, std::min(toPixels(*left), screen.right() + 1 - size.width()));
            const int y = std::max(0, std::min(toPixels(*top), screen.bottom() + 1 - size.height()));
            window->resize(size);
            window->move(x, y);
        }
        if (parts.size() == 5 && parts[4].trimmed() == QLatin1String("2"))
            window->setWindowState(window->windowState() | Qt::WindowMaximized);
    }
    if (text.isEmpty()) CentreWindow(window);
}

void SaveFormPos(const QWidget* window)
{
    const QString name = FormName(window);
    gcolWindows.remove(name);
    int state = 0;
    if (window->isMinimized()) state = 1;
    else if (window->isMaximized()) state = 2;
    QRect frame(window->pos(), window->size());
    if (state != 0 && window->normalGeometry().isValid()) {
        // normalGeometry is the client area; shift it by the frame's offset, as pos() is.
        const QPoint frameOffset = window->geometry().topLeft() - window->pos();
        frame = QRect(window->normalGeometry().topLeft() - frameOffset, window->normalGeometry().size());
    }
    const auto twips = [](int px) { return QString::number(qint64(px) * kTwipsPerPixel); };
    gcolWindows.add(twips(frame.top()) + QLatin1Char(';') + twips(frame.left()) + QLatin1Char(';') +
                        twips(frame.height()) + QLatin1Char(';') + twips(frame.width()) + QLatin1Char(';') +
                        QString::number(state),
                    name);
}

namespace {

// Breaks the text into lines of `width` pixels the way an edit control does: at blanks where
// it can, inside a word that is wider than a line. Returns the height of all lines.
int LayOutLabelText(QTextLayout& layout, int width)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return qCeil(y);
}

QString LabelText(QString text)
{
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

} // namespace

void AutoSizeLabel(QPainter& painter, const QWidget* label, const QString& text)
{
    const QRect rect = label->geometry();
    QTextLayout layout(LabelText(text), painter.font(), painter.device());
    LayOutLabelText(layout, rect.width());
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    layout.draw(&painter, rect.topLeft());
    painter.restore();
}

int AutoSizeLabelHeight(const QFont& font, int width, const QString& text)
{
    QTextLayout layout(LabelText(text), font);
    return LayOutLabelText(layout, width);
}

} // namespace tv
