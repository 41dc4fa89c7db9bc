#include "modfont.h"

#include "dc.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <cmath>

namespace tv {

QString ResolveFontFamily(const QString& faceName)
{
    static const QString kFallback = QStringLiteral("DejaVu Sans");
    static const char* const kDialogFaces[] = {"MS Sans Serif", "Microsoft Sans Serif", "MS Shell Dlg",
                                               "MS Shell Dlg 2", "Tahoma", "Segoe UI", "System",
                                               "Arial", "Verdana"};
    if (faceName.isEmpty()) return kFallback;
    for (const char* f : kDialogFaces)
        if (faceName.compare(QLatin1String(f), Qt::CaseInsensitive) == 0) return kFallback;
    return QFontDatabase::hasFamily(faceName) ? faceName : kFallback;
}

namespace {
int mulDiv(int a, int b, int c)
{
    return int(std::lround(double(a) * b / c));
}
} // namespace

void FillLogFont(const StdFont& font, HandleId, LogFont& lf)
{
    const int points = int(std::nearbyint(font.Size));   // current rounding: halves to even
    lf = LogFont{};
    lf.lfHeight = -mulDiv(points, kLogPixelsY, 72);
    lf.lfWeight = font.Bold ? 700 : 400;
    lf.lfItalic = font.Italic ? 1 : 0;
    lf.lfUnderline = font.Underline ? 1 : 0;
    lf.lfStrikeOut = font.Strikethrough ? 1 : 0;
    lf.lfFaceName = font.Name.toLatin1().left(31);
}

HandleId CreateFontFromObject(const StdFont& font, HandleId hdc, int32_t style)
{
    LogFont lf;
    FillLogFont(font, hdc, lf);
    if (style != -1) {
        lf.lfWeight = (style & vtlFntBold) ? 700 : 400;
        lf.lfItalic = (style & vtlFntItalic) ? 1 : 0;
        lf.lfUnderline = (style & vtlFntUnderline) ? 1 : 0;
        lf.lfStrikeOut = (style & vtlFntStrikethru) ? 1 : 0;
    }
    return CreateFontIndirect(lf);
}

int32_t FontStyleOf(const StdFont& font)
{
    return (font.Bold ? vtlFntBold : 0) | (font.Italic ? vtlFntItalic : 0) |
           (font.Strikethrough ? vtlFntStrikethru : 0) | (font.Underline ? vtlFntUnderline : 0);
}

void ApplyFontStyle(StdFont& font, int32_t style)
{
    if (style & vtlFntBold) font.Bold = true;
    if (style & vtlFntItalic) font.Italic = true;
    if (style & vtlFntStrikethru) font.Strikethrough = true;
    if (style & vtlFntUnderline) font.Underline = true;
}

QFont QFontFromLogFont(const LogFont& lf)
{
    QFont f(ResolveFontFamily(QString::fromLatin1(lf.lfFaceName)));
    // A positive height is the cell height; the character height is a little smaller.
    const int px = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight > 0 ? std::max(1, lf.lfHeight * 7 / 8) : 11;
    f.setPixelSize(px);
    f.setWeight(lf.lfWeight >= 600 ? QFont::Bold : QFont::Normal);
    f.setItalic(lf.lfItalic);
    f.setUnderline(lf.lfUnderline);
    f.setStrikeOut(lf.lfStrikeOut);
    return f;
}

HandleId CreateFontIndirect(const LogFont& lf)
{
    auto d = std::make_unique<FontData>();
    d->font = QFontFromLogFont(lf);
    return GdiRegister(std::move(d));
}

QFont FontOfHandle(HandleId font)
{
    auto* f = GdiLookupAs<FontData>(font, ObjFont);
    if (!f) f = GdiLookupAs<FontData>(GetStockGuiFont(), ObjFont);
    return f->font;
}

QFont StdFont::toQFont() const
{
    LogFont lf;
    FillLogFont(*this, 0, lf);
    return QFontFromLogFont(lf);
}

std::shared_ptr<StdFont> StdFont::fromQFont(const QFont& f)
{
    auto s = std::make_shared<StdFont>();
    s->Name = f.family();
    s->Size = f.pointSizeF() > 0 ? f.pointSizeF() : f.pixelSize() * 72.0 / kLogPixelsY;
    s->Bold = f.bold();
    s->Italic = f.italic();
    s->Underline = f.underline();
    s->Strikethrough = f.strikeOut();
    return s;
}

} // namespace tv
