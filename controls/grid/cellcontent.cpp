#include "cellcontent.h"

#include "column.h"
#include "platform/runtime/format.h"

namespace vantile {

tv::Variant FormatCellValue(const tv::Variant& value, const QString& format)
{
    if (value.isNull() || format.isEmpty()) return value;
    if (format == QLatin1String("RPL")) return value.text().replace(QLatin1String("\r\n"), QLatin1String(" "));
    return tv::Format(value, format);
}

CellPaintStyle ApplyColumnStyle(CellPaintStyle style, const CellStyle& column, bool normalStyle,
                                int32_t gridBorderAppearance)
{
    if (normalStyle) {
        if (column.BackColor() != vtlUseDefault) style.BackColor = column.BackColor();
        if (column.TextColor() != vtlUseDefault) style.TextColor = column.TextColor();
    }
    if (column.FontStyle() != vtlUseDefault) style.FontStyle = column.FontStyle();
    style.BorderAppearance =
        column.BorderAppearance() != vtlUseDefault ? column.BorderAppearance() : gridBorderAppearance;
    return style;
}

int32_t ColumnBorderType(const CellStyle& column, int32_t gridBorderType)
{
    return column.BorderType() != vtlUseDefault ? column.BorderType() : gridBorderType;
}

void FetchStyle(const FetchStyleExEvent& fetchStyleEx, int32_t row, int32_t col, int32_t status,
                tv::Variant& value, CellPaintStyle& style)
{
    fetchStyleEx.raise(row, col, status, value, style.FontStyle, style.TextColor, style.BackColor,
                       style.BorderAppearance);
}

tv::Variant IconsToVariant(const CellIcons& icons)
{
    if (icons.list) {
        tv::VariantArray array(0, int(icons.numbers.size()) - 1);
        for (size_t i = 0; i < icons.numbers.size(); ++i) array.at(int(i)) = tv::Variant(icons.numbers[i]);
        return tv::Variant(array);
    }
    if (icons.numbers.empty()) return tv::Variant::null();
    return tv::Variant(icons.numbers.front());
}

CellContent GetCellContent(const Column& column, int32_t row, const tv::Variant& storedValue,
                           const RowValueLookup& rowValues, const CellPaintStyle& style, int32_t status,
                           const FetchContentsEvent& fetchContents, const FetchStyleExEvent& fetchStyleEx)
{
    CellContent content{FormatCellValue(storedValue, column.Format), ResolveIcons(column.Icons, rowValues), style};
    if (column.FetchContents) {
        tv::Variant icons = IconsToVariant(content.Icons);
        fetchContents.raise(row, column.Index(), content.Value, icons);
        content.Icons = ResolveIcons(icons, rowValues);
    }
    if (column.FetchStyle) FetchStyle(fetchStyleEx, row, column.Index(), status, content.Value, content.Style);
    return content;
}

int32_t IconsWidth(const CellIcons& icons, bool leftOnly, int32_t iconWidth)
{
    const int32_t n = int32_t(icons.numbers.size());
    if (!icons.list) {
        if (n == 0 || (leftOnly && icons.numbers.front() < 0)) return 0;
        return iconWidth + 4;
    }
    if (n > 0 && icons.numbers.back() < 0) return leftOnly ? (n - 1) * iconWidth + 4 : n * iconWidth + 4 + 8;
    return n * iconWidth + 4;
}

} // namespace vantile
