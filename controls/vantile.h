#pragma once

// The library-wide parts of Vantile: its version, the exported factory that creates its
// controls and objects by class name, and EnumsGlobal, the object whose members need no
// instance (an item painter for hosts that paint their own rows, the value lists of the
// property editors, the library-wide option word).

#include "platform/gui/gdi.h"
#include "platform/runtime/variant.h"

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace vantile {

// Version of the control library, "major.minor".
QString libraryVersion();

// ---- factory ------------------------------------------------------------------------------
// Controls are widgets that their host parents; objects are shared. Class names are
// "Vantile.<class>" and match without regard to case. The library's own classes are
// registered on first use of either function.
using ControlCreator = std::function<QWidget*(QWidget* parent)>;
bool RegisterControlClass(const QString& className, ControlCreator creator);
// nullptr for an unknown class.
QWidget* CreateControl(const QString& className, QWidget* parent = nullptr);
std::shared_ptr<tv::Object> CreateObject(const QString& className);

// ---- EnumsGlobal --------------------------------------------------------------------------
class EnumsGlobal : public tv::Object {
public:
    // Paints one item in the inclusive rectangle (X1, Y1)-(X2, Y2): fill, edge, focus mark,
    // icons, text and inversion. Icon1 is one image index or an array of them; -1 is none.
    void DrawItemEx(tv::HandleId& hdc, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, QString& Text, int32_t Fmt,
                    int32_t TextColor = -1, tv::HandleId hFont = 0, tv::HandleId hBrush = 0, int32_t EdgeStyle = 0,
                    int32_t EdgeMode = 15, tv::HandleId IconList = 0, const tv::Variant& Icon1 = int32_t(-1),
                    const tv::Variant& Icon2 = int32_t(-1), int32_t IconSizeX = 0, int32_t IconSizeY = 0,
                    int32_t ExtraDevider = 0, bool Focus = false, bool Invert = false) const;
    // The same item through the grid's cell painter, with its rules: Icon1 holds 1-based
    // image numbers (0 keeps a place free, a negative number is the right-hand icon), the
    // extra divider is a one-pixel line. Icon2 is not used.
    void DrawItemEx2(tv::HandleId& hdc, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, QString& Text, int32_t Fmt,
                     int32_t TextColor = -1, tv::HandleId hFont = 0, tv::HandleId hBrush = 0, int32_t EdgeStyle = 0,
                     int32_t EdgeMode = 15, tv::HandleId IconList = 0, const tv::Variant& Icon1 = int32_t(-1),
                     const tv::Variant& Icon2 = int32_t(-1), int32_t IconSizeX = 0, int32_t IconSizeY = 0,
                     int32_t ExtraDevider = 0, bool Focus = false, bool Invert = false) const;
    // The value list of a property editor for the property (exact name), empty for others.
    QString SerializePropertyType(const QString& PropertyName) const;
    // The option word, one per thread; grids read it when they load their properties.
    void SetOptions(int32_t NewOptions);
    int32_t Options() const;
};

// The one instance that callers use without creating their own.
EnumsGlobal& Enums();

} // namespace vantile
