#pragma once

#include <QString>

class QFont;
class QPainter;
class QWidget;

namespace tv {

// The value of `key` in `section` of the settings file gtIniFile: `defaultValue` when the key
// (or the file) is missing, empty text when the stored value is empty. The whole stored value
// comes back, however long.
QString ReadIni(const QString& section, const QString& key, const QString& defaultValue = QString());

// A window's name: its objectName, else its class name. Placements and translation contexts
// are keyed by it.
QString FormName(const QWidget* window);

// Window placement, kept in gcolWindows by window name as "Top;Left;Height;Width;WindowState"
// in twips (15 per pixel); WindowState 0 normal, 1 minimised, 2 maximised.
//
// LoadFormPos, called while a window loads (built, not yet shown): a negative Top or Left
// becomes 0; the window never opens smaller than its designed size; a fixed-size window drops
// an entry whose size differs from its own; the window then moves to the stored place (kept
// on its screen) and is maximised when the state is 2. Without an entry (or after dropping
// one) the window is centred over its owner window (CentreWindow). An entry with fewer than
// four parts leaves the window where it is.
void LoadFormPos(QWidget* window);

// Centres a window over its owner window, or on its screen when it has none (or the owner is
// not shown), and keeps it on the screen. A window not shown yet is centred again when it is
// shown, at the size its layout then gives it.
void CentreWindow(QWidget* window);

// SaveFormPos, called while a window unloads: records its placement, the normal size of a
// maximised or minimised window included.
void SaveFormPos(const QWidget* window);

// Draws `text` inside the rectangle of `label` (in the painter's coordinates, the label's
// parent's), word-wrapped with tabs expanded, in the painter's current font and pen. The
// file-details window paints a file's path this way.
// A word wider than the label is broken inside, as an edit control breaks it, so the end of a
// long path is never lost.
void AutoSizeLabel(QPainter& painter, const QWidget* label, const QString& text);

// The height in pixels that AutoSizeLabel needs for `text` in a label `width` pixels wide.
int AutoSizeLabelHeight(const QFont& font, int width, const QString& text);

} // namespace tv
