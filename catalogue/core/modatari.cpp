#include "modatari.h"

#include "modlang.h"
#include "platform/db/recordset.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/format.h"

#include <QComboBox>
#include <QStringList>
#include <array>
#include <cmath>

namespace tv {

namespace {

QString TableText(const QStringList& texts, int32_t code)
{
    return code >= 1 && code <= texts.size() ? texts.at(code - 1) : QString();
}

const QStringList& ModelTexts()
{
    static const QStringList t = {QStringLiteral("400/800"), QStringLiteral("600XL/800XL"),
                                  QStringLiteral("65XE/130XE"), QStringLiteral("1200XL"),
                                  QStringLiteral("5200")};
    return t;
}

const QStringList& OSTexts()
{
    static const QStringList t = {QStringLiteral("OS-A"), QStringLiteral("OS-B"),
                                  QStringLiteral("OS-XL"), QStringLiteral("OS 1200"),
                                  QStringLiteral("OS 5200"), QStringLiteral("Auto")};
    return t;
}

const QStringList& VideoTexts()
{
    static const QStringList t = {QStringLiteral("NTSC"), QStringLiteral("PAL")};
    return t;
}

QStringList BasicTexts()
{
    return {BasicText(1), BasicText(2)};
}

void FillCombo(QComboBox* box, const QStringList& texts, int select)
{
    // A combo box selects the first item added to it by itself; a fresh box filled without
    // a code to select must stay without selection.
    int selected = box->currentIndex();
    for (int code = 1; code <= texts.size(); ++code) {
        box->addItem(texts.at(code - 1), code);
        if (code == select) selected = box->count() - 1;
    }
    box->setCurrentIndex(selected);
}

// Default profile numbers per extension position (.ATR .COM .EXE .CAS .PRO .DCM .BAS .XFD
// .BIN .ROM .XEX) for the emulator types that have default profiles: 1 Altirra, 2 Atari++,
// 3 Atari800(Win). A .PRO image always gets profile 1.
constexpr std::array<std::array<int, 11>, 3> kDefaultProfilByType = {{
    {1, 4, 4, 3, 1, 1, 5, 1, 2, 2, 4},
    {6, 6, 6, 8, 1, 6, 6, 6, 7, 7, 6},
    {9, 12, 12, 11, 1, 9, 13, 9, 10, 10, 12},
}};

} // namespace

QString BasicText(int32_t code)
{
    if (code == 1) return Translate(QStringLiteral("Nein"));
    if (code == 2) return Translate(QStringLiteral("Ja"));
    return QString();
}

QString ModelText(int32_t code) { return TableText(ModelTexts(), code); }
QString OSText(int32_t code) { return TableText(OSTexts(), code); }
QString VideoText(int32_t code) { return TableText(VideoTexts(), code); }

void FillBasicCombo(QComboBox* box, int select) { FillCombo(box, BasicTexts(), select); }
void FillModelCombo(QComboBox* box, int select) { FillCombo(box, ModelTexts(), select); }
void FillOSCombo(QComboBox* box, int select) { FillCombo(box, OSTexts(), select); }
void FillVideoCombo(QComboBox* box, int select) { FillCombo(box, VideoTexts(), select); }

std::shared_ptr<clsFileInfo> LoadFileInfo(Recordset& rs)
{
    // A setting is the leading number of the column's text, rounded: Null and "" give 0.
    const auto setting = [&rs](const char* column) {
        return CLng(Variant(Val(rs.Value(QString::fromLatin1(column)))));
    };
    auto info = std::make_shared<clsFileInfo>();
    info->File = rs.Value(QStringLiteral("tFile")).text();
    info->Filetyp = CInt(rs.Value(QStringLiteral("iFileType")));
    info->Path = rs.Value(QStringLiteral("tPath")).text();
    info->UnpackPath = rs.Value(QStringLiteral("tUnpackPath")).text();
    info->iBasic = setting("iBasic");
    info->iModel = setting("iModel");
    info->iOS = setting("iOS");
    info->iVideo = setting("iVideo");
    info->Memo = rs.Value(QStringLiteral("tMemo")).text();
    info->Param = rs.Value(QStringLiteral("tParam")).text();
    return info;
}

std::optional<int> DefaultProfilForFileType(int emulType, int position)
{
    if (emulType < 1 || emulType > int(kDefaultProfilByType.size())) return std::nullopt;
    const auto& row = kDefaultProfilByType[size_t(emulType - 1)];
    if (position < 0 || position >= int(row.size())) return std::nullopt;
    return row[size_t(position)];
}

QString FormatFileSize(int32_t size)
{
    // Lists show a size in every row: bytes and kilobytes, the usual sizes, are written here
    // directly, as Format writes them ("0" and "0.0", halves rounded away from zero).
    // The decimal separator is that of the interface's language (Format writes German ones).
    if (size < 1024) return QString::number(size) + QStringLiteral(" Byte");
    if (size < 1048576) {
        const int32_t tenths = (size * 10 + 512) / 1024;   // size / 1024 is exact: no digit is lost
        return QString::number(tenths / 10) + DecimalSeparator() + QChar(u'0' + tenths % 10) + QStringLiteral(" KB");
    }
    const double mb = size / 1048576.0;
    const double rounded = std::nearbyint(mb);   // half to even
    const QString pattern = rounded < 10    ? QStringLiteral("0.00 \\MB")
                            : rounded < 100 ? QStringLiteral("0.0 \\MB")
                                            : QStringLiteral("0 \\MB");
    return FormatDecimal(mb, pattern);
}

} // namespace tv
