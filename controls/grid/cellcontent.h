#pragma once

#include "cellicons.h"
#include "cellstyle.h"
#include "platform/component/event.h"

#include <QString>

namespace vantile {

class Column;

// The style of one cell as the painter takes it. Copied for every cell, never shared; the
// painter makes the brush for BackColor.
struct CellPaintStyle {
    int32_t FontStyle = 0;          // FontStyleEnum bits, 0..15
    int32_t TextColor = 0;          // RGB or OLE colour
    int32_t BorderAppearance = 0;   // BorderAppearanceEnum
    int32_t BackColor = 0;          // OLE colour

    bool operator==(const CellPaintStyle&) const = default;
};

// The grid's host events on the road of a cell's content.
// FetchContents(Row, Col, Value, Icons): the host may replace the shown value and icons.
using FetchContentsEvent = tv::Event<int32_t, int32_t, tv::Variant&, tv::Variant&>;
// FetchStyleEx(Row, Col, Status, Value, FontStyle, TextColor, BackColor, BorderAppearance):
// the host may change the shown value and the style; Col -1 asks for the row's style.
using FetchStyleExEvent =
    tv::Event<int32_t, int32_t, int32_t, tv::Variant&, int32_t&, int32_t&, int32_t&, int32_t&>;

// A value as its column shows it: the column's Format applied when the value is not Null.
// The format "RPL" (exactly so) writes each CR LF as one blank; any other goes through the
// general Format function.
tv::Variant FormatCellValue(const tv::Variant& value, const QString& format);

// A column's style over the row's: its text and back colours (when not -1) only over the
// normal row style, its font style (when not -1) over either, and its border appearance, or
// the grid's when the column has -1.
CellPaintStyle ApplyColumnStyle(CellPaintStyle style, const CellStyle& column, bool normalStyle,
                                int32_t gridBorderAppearance);
// The border sides of a column's cells: the column's, or the grid's when it has -1.
int32_t ColumnBorderType(const CellStyle& column, int32_t gridBorderType);

// Raises FetchStyleEx for a row (Col -1) or a cell and takes back what the host changed.
void FetchStyle(const FetchStyleExEvent& fetchStyleEx, int32_t row, int32_t col, int32_t status,
                tv::Variant& value, CellPaintStyle& style);

struct CellContent {
    tv::Variant Value;
    CellIcons Icons;
    CellPaintStyle Style;
};

// Value, icons and final style of the body cell of `column` in `row`, from the stored value and
// the style chosen so far (the row's, resolved through ApplyColumnStyle): icons resolved for
// the row, the value formatted, then FetchContents and FetchStyleEx when the column asks for
// them. `status` is what FetchStyleEx reports for the cell.
CellContent GetCellContent(const Column& column, int32_t row, const tv::Variant& storedValue,
                           const RowValueLookup& rowValues, const CellPaintStyle& style, int32_t status,
                           const FetchContentsEvent& fetchContents, const FetchStyleExEvent& fetchStyleEx);

// Icons in the form a host sees and sets them: Null, a number, or an array of numbers.
tv::Variant IconsToVariant(const CellIcons& icons);

// Width that a cell's icons take from its text, with icons `iconWidth` pixels wide (16 in the
// body), for cell tips and column autosizing; `leftOnly` leaves out the right-hand icon.
int32_t IconsWidth(const CellIcons& icons, bool leftOnly, int32_t iconWidth = 16);

} // namespace vantile
