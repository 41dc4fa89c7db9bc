#include "listcolumns.h"

#include "viewsql.h"
#include "catalogue/core/modatari.h"
#include "catalogue/core/modlang.h"
#include "controls/grid/columns.h"
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

void SetupFileColumns(vantile::Columns* columns)
{
    if (!columns) return;
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
