#pragma once

// Font objects and their drawing fonts. StdFont is the font object that controls hold and
// hand out (Name, Size in points, Bold, Italic, Underline, Strikethrough); LogFont is the
// description a drawing font is made from; modFont turns the one into the other.

#include "gdi.h"
#include "platform/runtime/variant.h"

#include <QByteArray>
#include <QFont>
#include <QString>
#include <memory>

namespace tv {

// The font style word: bit 1 bold, 2 italic, 4 underline, 8 strikethrough; -1 = take the font
// object's own attributes.
enum FontStyleEnum : int32_t {
    vtlFntUseDefault = -1,
    vtlFntNormal = 0,
    vtlFntBold = 1,
    vtlFntItalic = 2,
    vtlFntUnderline = 4,
    vtlFntStrikethru = 8,
};

class StdFont : public Object {
public:
    QString Name = QStringLiteral("MS Sans Serif");
    double Size = 8.25;   // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;

    std::shared_ptr<StdFont> clone() const { return std::make_shared<StdFont>(*this); }
    // The font at 96 dpi, its face resolved to an installed family.
    QFont toQFont() const;
    static std::shared_ptr<StdFont> fromQFont(const QFont& f);
};

// A drawing font's description. Height < 0 is the character height in pixels.
struct LogFont {
    int32_t lfHeight = 0, lfWidth = 0, lfEscapement = 0, lfOrientation = 0, lfWeight = 0;
    uint8_t lfItalic = 0, lfUnderline = 0, lfStrikeOut = 0, lfCharSet = 0, lfOutPrecision = 0,
            lfClipPrecision = 0, lfQuality = 0, lfPitchAndFamily = 0;
    QByteArray lfFaceName;   // single-byte characters, at most 31
};

// The installed family for a face name: the old platform's dialog faces, which Linux lacks,
// and any face that is not installed become DejaVu Sans.
QString ResolveFontFamily(const QString& faceName);

// Pixels per logical inch of a context: the program draws at 96 dpi.
constexpr int kLogPixelsY = 96;

// height = -(size rounded to whole points, halves to even) * 96 / 72, rounded.
void FillLogFont(const StdFont& font, HandleId hdc, LogFont& lf);
// A new drawing font (the caller owns the handle) for the font object; a style other than -1
// overrides weight, italic, underline and strike-out.
HandleId CreateFontFromObject(const StdFont& font, HandleId hdc, int32_t style = -1);
int32_t FontStyleOf(const StdFont& font);
// Sets the attributes whose bits are set; clear bits leave the font as it is.
void ApplyFontStyle(StdFont& font, int32_t style);

HandleId CreateFontIndirect(const LogFont& lf);
QFont QFontFromLogFont(const LogFont& lf);
// The font of a font handle (the stock font for an unknown handle).
QFont FontOfHandle(HandleId font);

} // namespace tv
