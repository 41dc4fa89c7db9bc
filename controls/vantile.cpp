#include "vantile.h"

#include "controls/grid/cellpainter.h"
#include "controls/scrollview/scrollview.h"
#include "controls/scrollview/updateregion.h"
#include "platform/component/classfactory.h"
#include "platform/gui/ddbitmap.h"
#include "platform/gui/dc.h"
#include "platform/gui/gdiobject.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/textedge.h"

#include <cmath>
#include <vector>

namespace vantile {

QString libraryVersion() { return QStringLiteral("1.0"); }

// ---- factory ------------------------------------------------------------------------------

namespace {
struct ControlEntry {
    QString name;
    ControlCreator creator;
};
std::vector<ControlEntry>& controls()
{
    static std::vector<ControlEntry> v;
    return v;
}

void ensureRegistered()
{
    static const bool done = [] {
        RegisterControlClass(QStringLiteral("Vantile.ScrollView"), [](QWidget* parent) -> QWidget* {
            auto* sv = new ScrollView(parent);
            return sv;
        });
        tv::RegisterObjectClass(QStringLiteral("Vantile.GdiObject"), [] { return std::make_shared<tv::GdiObject>(); });
        tv::RegisterObjectClass(QStringLiteral("Vantile.DDBitmap"), [] { return std::make_shared<tv::DDBitmap>(); });
        tv::RegisterObjectClass(QStringLiteral("Vantile.UpdateRegion"), [] { return std::make_shared<UpdateRegion>(); });
        tv::RegisterObjectClass(QStringLiteral("Vantile.EnumsGlobal"), [] { return std::make_shared<EnumsGlobal>(); });
        return true;
    }();
    (void)done;
}
} // namespace

bool RegisterControlClass(const QString& className, ControlCreator creator)
{
    if (className.isEmpty() || !creator) return false;
    for (const auto& e : controls())
        if (e.name.compare(className, Qt::CaseInsensitive) == 0) return false;
    controls().push_back({className, std::move(creator)});
    return true;
}

QWidget* CreateControl(const QString& className, QWidget* parent)
{
    ensureRegistered();
    for (const auto& e : controls())
        if (e.name.compare(className, Qt::CaseInsensitive) == 0) return e.creator(parent);
    return nullptr;
}

std::shared_ptr<tv::Object> CreateObject(const QString& className)
{
    ensureRegistered();
    return tv::CreateObject(className);
}

// ---- EnumsGlobal --------------------------------------------------------------------------

EnumsGlobal& Enums()
{
    static EnumsGlobal e;
    return e;
}

namespace {
thread_local int32_t tOptions = 0;
}

void EnumsGlobal::SetOptions(int32_t NewOptions) { tOptions = NewOptions; }
int32_t EnumsGlobal::Options() const { return tOptions; }

void EnumsGlobal::DrawItemEx(tv::HandleId& hdc, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, QString& Text,
                             int32_t Fmt, int32_t TextColor, tv::HandleId hFont, tv::HandleId hBrush, int32_t EdgeStyle,
                             int32_t EdgeMode, tv::HandleId IconList, const tv::Variant& Icon1,
                             const tv::Variant& Icon2, int32_t IconSizeX, int32_t IconSizeY, int32_t ExtraDevider,
                             bool Focus, bool Invert) const
{
    using namespace tv;
    const Rect item{X1, Y1, X2 + 1, Y2 + 1};
    if (hBrush != 0) FillRect(hdc, item, hBrush);
    if (EdgeStyle >= 0 && EdgeMode != 0) {
        Rect r = item;
        DrawEdge(hdc, r, EdgeStyle, EdgeMode | (EdgeStyle >= 5 ? BF_SOFT : 0));
    }
    if (EdgeStyle < 0 && EdgeMode != 0) {
        Rect r{X1 - 1, Y1 - 1, X2 + 1, Y2 + 1};
        DrawEdge(hdc, r, BDR_RAISEDOUTER, EdgeMode | (EdgeStyle == -2 ? BF_FLAT : BF_MONO));
    }
    if (Focus) FrameRect(hdc, item, FocusPatternBrush());
    auto divider = [&] {
        if (ExtraDevider == 0) return;
        Rect r = item;
        DrawEdge(hdc, r, BDR_RAISEDOUTER, ExtraDevider | BF_FLAT | BF_MONO);
    };
    divider();

    int32_t textLeft = X1 + 4;
    int32_t iconTop = Y1;
    const bool hasList = IconList != 0;
    const int32_t icon2 = Icon2.toLong();
    if (hasList) {
        iconTop = int32_t(std::nearbyint((Y2 - Y1 + 1 - IconSizeY) / 2.0)) + Y1;
        if (const VariantArray* a = Icon1.array()) {
            int32_t x = X1 + 4;
            for (int i = a->lbound(); i <= a->ubound(); ++i) {
                ImageListDraw(IconList, a->at(i).toLong(), hdc, x, iconTop, ILD_TRANSPARENT);
                x += IconSizeX;
            }
            textLeft = x + 4;
        } else if (Icon1.toLong() != -1) {
            ImageListDraw(IconList, Icon1.toLong(), hdc, X1 + 4, iconTop, ILD_TRANSPARENT);
            textLeft = X1 + 4 + IconSizeX + 4;
        } else {
            textLeft = X1 + 8;
        }
    }
    if (!Text.isEmpty()) {
        const bool rightIcon = icon2 != -1 && hasList;
        int32_t textRight = rightIcon ? X2 - IconSizeX - 4 : X2 - 4;
        uint32_t fmt = uint32_t(Fmt);
        // The font is chosen before the text is measured, so that the measure fits the text.
        if (hFont != 0 && hFont != GetCurrentObject(hdc, ObjFont)) SelectObject(hdc, hFont);
        if (TextColor != -1 && ColorRef(TextColor) != GetTextColor(hdc)) SetTextColor(hdc, ColorRef(TextColor));
        if (icon2 != -1 || (fmt & 3)) {
            Rect m{0, 0, 0, 0};
            DrawText(hdc, Text, m, fmt | DT_CALCRECT);
            const int32_t width = m.width();
            if (width + 1 > textRight - textLeft + 1) fmt &= ~3u;   // too wide: left-aligned, its start shows
            if (rightIcon) {
                int32_t x = textLeft + width + 1 + 4;
                if (x > textRight) {
                    x = textRight;
                    textRight -= 4;
                }
                ImageListDraw(IconList, icon2, hdc, x, iconTop, ILD_TRANSPARENT);
            }
        }
        Rect tr{textLeft, Y1, textRight, Y2};
        DrawText(hdc, Text, tr, fmt);
    }
    if (Invert) {
        InvertRect(hdc, item);
        divider();
    }
}

void EnumsGlobal::DrawItemEx2(tv::HandleId& hdc, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, QString& Text,
                              int32_t Fmt, int32_t TextColor, tv::HandleId hFont, tv::HandleId hBrush,
                              int32_t EdgeStyle, int32_t EdgeMode, tv::HandleId IconList, const tv::Variant& Icon1,
                              const tv::Variant&, int32_t IconSizeX, int32_t IconSizeY, int32_t ExtraDevider,
                              bool Focus, bool Invert) const
{
    CellPaint p;
    p.text = Text;
    p.format = Fmt;
    p.textColor = TextColor;
    p.font = hFont;
    p.brush = hBrush;
    p.edgeStyle = EdgeStyle;
    p.edgeMode = EdgeMode;
    p.extraDivider = ExtraDevider;
    p.dividerBrush = -1;
    p.dividerWidth = 1;
    p.iconList = IconList;
    p.icons = ParseIconList(Icon1).value_or(CellIcons{});
    p.iconSizeX = IconSizeX;
    p.iconSizeY = IconSizeY;
    p.focus = Focus;
    p.invert = Invert;
    DrawCellContent(hdc, X1, Y1, X2, Y2, p);
}

QString EnumsGlobal::SerializePropertyType(const QString& PropertyName) const
{
    static const QString kBool = QStringLiteral("0,False;-1,True");
    static const QString kColors = QStringLiteral(
        "&H80000017,vbInfoText;&H80000018,vbInfoBackground"
        "&H80000000,vbScrollBars;&H80000001,vbDesktop;&H80000002,vbActiveTitleBar;&H80000003,vbInactiveTitleBar;&H80000004,vbMenuBar;"
        "&H80000005,vbWindowBackground;&H80000006,vbWindowFrame;&H80000007,vbMenuText;&H80000008,vbWindowText;&H80000009,vbTitleBarText;"
        "&H8000000A,vbActiveBorder;&H8000000B,vbInactiveBorder;&H8000000C,vbApplicationWorkspace;&H8000000D,vbHighlight;"
        "&H8000000E,vbHighlightText;&H8000000F,vbButtonFace;&H80000010,vbButtonShadow;&H80000011,vbGrayText;&H80000012,vbButtonText;"
        "&H80000013,vbInactiveCaptionText;&H80000014,vb3DHighlight;&H80000015,vb3DDKShadow;&H80000016,vb3DLight;");
    struct Entry {
        const char* name;
        const char* list;
    };
    static const Entry kLists[] = {
        {"DataMode", "0,vtlStorage;1,vtlVirtual"},
        {"Fixed", "0,vtlFixedNone;2,vtlFixedLeft;1,vtlFixedRight"},
        {"Hidden", "0,vtlHiddenNone;1,vtlHiddenCurrently;2,vtlHiddenAllways"},
        {"Alignment", "0,vtlLeft;1,vtlCenter;2,vtlRight"},
        {"VerticalAlignment", "0,vtlTop;4,vtlVCenter;8,vtlBottom"},
        {"FontStyle", "-1,vtlUseDefault;0,vtlFntNormal;1,vtlFntBold;2,vtlFntItalic;4,vtlFntUnderline;8,vtlFntStrikethru"},
        {"BorderAppearance", "-1,vtlUseDefault;0,vtl2DFlat;-4,vtl2DBlackLine;-2,vtl2DGrayLine;4,vtl3DRaised;2,vtl3DSunken;"
                             "5,vtl3DEdgeRaised;10,vtl3DEdgeSunken"},
        {"SelectionMode", "1,vtlSingleSelect;2,vtlMultiSelect;3,vtlHoverSelect;4,vtlCellSelect"},
        {"AutosizeMode", "0,vtlUseCaption;1,vtlUseContent;2,vtlSizeToFit"},
        {"BorderType", "-1,vtlUseDefault;0,vtlBdrNone;5,vtlBdrCol;10,vtlBdrRow;15,vtlBdrRect"},
        {"ScrollTrack", "-1,sbStyleNone;0,sbStyleHorz;1,sbStyleVert;3,sbStyleBoth"},
        {"ToolTipMode", "0,vtlNoTips;1,vtlCellTips;2,vtlFetchTips"},
    };
    static const char* const kBooleans[] = {
        "SmoothTracking", "ScrollTips", "AllowReorder", "AllowSizing", "AllowFocus", "AllowHide", "MinimizeUnusedArea",
        "ShowHeader", "SnapMode", "HideSelection", "ImageOnRight", "WordBreak", "ShowFooter", "EmptyHeader",
        "EmptyRows", "FetchRowStyle", "CellTips", "FetchContents", "FetchStyle"};
    for (const Entry& e : kLists)
        if (PropertyName == QLatin1String(e.name)) return QString::fromLatin1(e.list);
    for (const char* b : kBooleans)
        if (PropertyName == QLatin1String(b)) return kBool;
    if (PropertyName == QLatin1String("BackColor") || PropertyName == QLatin1String("TextColor")) return kColors;
    return QString();
}

} // namespace vantile
