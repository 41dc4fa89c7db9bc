#include "listcolumns.h"

#include "viewsql.h"
#include "catalogue/core/modatari.h"
#include "catalogue/core/modlang.h"
#include "catalogue/reports/simplereport.h"
#include "controls/grid/column.h"
#include "controls/grid/columns.h"

#include <QFontMetrics>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include "platform/runtime/convert.h"

namespace tv {

namespace {

enum class Coded { None, Size, Basic, Model, OS, Video };

Coded CodedColumn(const QString& key)
{
    if (key == gtSizeCaption) return Coded::Size;
    if (key == Translate(QStringLiteral("Basic"))) return Coded::Basic;
    if (key == Translate(QStringLiteral("Model"))) return Coded::Model;
    if (key == Translate(QStringLiteral("OS"))) return Coded::OS;
    if (key == Translate(QStringLiteral("Video"))) return Coded::Video;
    return Coded::None;
}

} // namespace

std::optional<QString> CodedColumnText(const QString& key, const Variant& value)
{
    const Coded kind = CodedColumn(key);
    if (kind == Coded::None) return std::nullopt;
    // The code as the field's text reads as a number; an empty field counts as 0.
    const VarType type = value.type();
    const bool whole = type == VarType::Integer || type == VarType::Long || type == VarType::Byte;
    const double number = value.isNull() ? 0 : whole ? double(value.toLong()) : Val(value.text());
    const auto code = int32_t(number);
    switch (kind) {
    case Coded::Size: return FormatFileSize(code);
    case Coded::Basic: return BasicText(code);
    case Coded::Model: return ModelText(code);
    case Coded::OS: return OSText(code);
    case Coded::Video: return VideoText(code);
    case Coded::None: break;
    }
    return std::nullopt;
}

int32_t DefaultColumnWidth(const QString& key, const QFont& font)
{
    const auto longest = [](QString (*text)(int32_t), int32_t last) {
        QStringList texts;
        for (int32_t code = 1; code <= last; ++code) texts << text(code);
        return texts;
    };
    // What a whole value of the column looks like at its longest usual length.
    QStringList samples;
    if (key == Translate(QStringLiteral("Erstellt")) || key == Translate(QStringLiteral("Zuletzt gestartet")))
        samples << QStringLiteral("88.88.8888 88:88:88");
    else if (key == Translate(QStringLiteral("Model"))) samples = longest(ModelText, 5);
    else if (key == Translate(QStringLiteral("OS"))) samples = longest(OSText, 6);
    else if (key == Translate(QStringLiteral("Basic"))) samples = longest(BasicText, 2);
    else if (key == Translate(QStringLiteral("Video"))) samples = longest(VideoText, 2);
    else if (key == gtSizeCaption) samples << FormatFileSize(1048575);
    else if (key == Translate(QStringLiteral("Zähler"))) samples << QStringLiteral("88888");
    else if (key == Translate(QStringLiteral("Filetyp"))) samples << QStringLiteral("TIFF");
    else if (key == gtFileCaption) samples << QStringLiteral("MMMMMMMMMMMMMMMMMM.ATR");
    else if (key == gtCategoryCaption) samples << QStringLiteral("MMMMMMMMMMMMMMMMMM");
    else if (key == Translate(QStringLiteral("Bemerkung"))) samples << QStringLiteral("MMMMMMMMMMMMMMMM");
    else if (key == Translate(QStringLiteral("Dateipfad"))) samples << QStringLiteral("/MMMMMMMM/MMMMMMMM/MMMMMMMM.ATR");
    else if (key == Translate(QStringLiteral("Archivpfad"))) samples << QStringLiteral("MMMMMMMM\\MMMMMMMM.ATR");
    else return 0;
    const QFontMetrics metrics(font);
    int32_t widest = metrics.horizontalAdvance(key);
    for (const QString& sample : samples) widest = std::max(widest, int32_t(metrics.horizontalAdvance(sample)));
    // The cell's margins on both sides, and room for an icon or the header's sort arrow.
    constexpr int32_t kMargins = 24;
    return widest + kMargins;
}

void SetupFileColumns(vantile::Columns* columns, const QString& layout, const QFont& font)
{
    if (!columns) return;
    // The keys the stored layout names keep the widths it gives them.
    QSet<QString> named;
    for (const QString& level : layout.split(QLatin1Char('@')))
        for (const QString& entry : level.split(QLatin1Char('$')))
            if (const qsizetype bang = entry.indexOf(QLatin1Char('!')); bang > 0) named.insert(entry.left(bang).toUpper());
    for (int32_t i = 0; i < columns->Count(); ++i) {
        const auto column = columns->Item(Variant(i));
        if (!column || column->Hidden() != 0 || column->Width() != kReportColumnWidth) continue;
        if (named.contains(column->Key().toUpper())) continue;
        if (const int32_t width = DefaultColumnWidth(column->Key(), font)) column->SetWidth(width);
    }
    for (int32_t i = 0; i < columns->Count(); ++i) {
        const auto column = columns->Item(Variant(i));
        if (column && CodedColumn(column->Key()) != Coded::None) column->FetchContents = true;
    }
    auto set = [columns](const QString& caption, auto apply) {
        if (const auto column = columns->Item(Variant(Translate(caption)))) apply(*column);
    };
    set(QStringLiteral("Filetyp"), [](vantile::Column& c) { c.Icons = Variant(QStringLiteral("iTyp")); });
    set(QStringLiteral("Archivpfad"), [](vantile::Column& c) { c.Icons = Variant(QStringLiteral("IsArchiv")); });
    set(QStringLiteral("IsArchiv"), [](vantile::Column& c) { c.SetHidden(2); });
}

} // namespace tv
