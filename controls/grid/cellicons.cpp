#include "cellicons.h"

#include <QRegularExpression>

namespace vantile {

namespace {

std::optional<int32_t> WholeNumber(const QString& text)
{
    static const QRegularExpression kNumber(QStringLiteral("^\\s*-?\\d+\\s*$"));
    // Most cells name a column here, not a number: those are told apart without converting.
    const QStringView start = QStringView(text).trimmed();
    if (start.isEmpty() || (start.front() != u'-' && !start.front().isDigit())) return std::nullopt;
    bool ok = false;
    const int32_t n = tv::Variant(text).toLong(&ok);
    if (!ok || !kNumber.match(text).hasMatch()) return std::nullopt;
    return n;
}

} // namespace

std::optional<CellIcons> ParseIconList(const tv::Variant& value)
{
    CellIcons icons;
    if (value.isEmptyOrNull()) return icons;
    if (const tv::VariantArray* array = value.array()) {
        icons.list = true;
        if (array->dims() != 1) return icons;
        for (int i = array->lbound(); i <= array->ubound(); ++i) {
            bool ok = false;
            const int32_t n = array->at(i).toLong(&ok);
            if (ok) icons.numbers.push_back(n);
        }
        return icons;
    }
    if (!value.isString()) {
        bool ok = false;
        const int32_t n = value.toLong(&ok);
        if (ok) icons.numbers.push_back(n);
        return icons;
    }
    const QString text = value.text();
    if (text.isEmpty()) return icons;
    icons.list = true;
    for (const QString& piece : text.split(QLatin1Char(';'))) {
        const auto n = WholeNumber(piece);
        if (!n) return std::nullopt;
        icons.numbers.push_back(*n);
    }
    return icons;
}

CellIcons ResolveIcons(const tv::Variant& icons, const RowValueLookup& rowValue)
{
    if (auto list = ParseIconList(icons)) return *list;
    QString key = icons.text().trimmed();
    const bool right = key.startsWith(QLatin1Char('-'));
    if (right) key.remove(0, 1);
    CellIcons resolved;
    if (!rowValue) return resolved;
    const tv::Variant value = rowValue(key);
    bool ok = !value.isEmptyOrNull();
    const int32_t n = ok ? value.toLong(&ok) : 0;
    if (!ok || (right && n == 0)) return resolved;
    resolved.numbers.push_back(right ? -n : n);
    return resolved;
}

} // namespace vantile
