#include "catalogue/core/modatari.h"
#include "catalogue/core/modglobals.h"

#include "platform/db/database.h"
#include "platform/runtime/format.h"

#include <QComboBox>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <tuple>
#include <gtest/gtest.h>

namespace tv {
namespace {

TEST(CodeTables, EveryCodeHasItsText)
{
    struct Case {
        QString (*text)(int32_t);
        QStringList texts;   // codes 1, 2, ...
    } const kCases[] = {
        {BasicText, {"Nein", "Ja"}},
        {ModelText, {"400/800", "600XL/800XL", "65XE/130XE", "1200XL", "5200"}},
        {OSText, {"OS-A", "OS-B", "OS-XL", "OS 1200", "OS 5200", "Auto"}},
        {VideoText, {"NTSC", "PAL"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.texts.first().toStdString());
        for (int code = 1; code <= c.texts.size(); ++code) EXPECT_EQ(c.text(code), c.texts.at(code - 1));
        EXPECT_EQ(c.text(0), QString());
        EXPECT_EQ(c.text(-1), QString());
        EXPECT_EQ(c.text(int32_t(c.texts.size()) + 1), QString());
    }
}

TEST(CodeTables, FillersAppendCodesAndSelect)
{
    QComboBox box;
    FillOSCombo(&box, 6);
    ASSERT_EQ(box.count(), 6);
    EXPECT_EQ(box.currentText(), QStringLiteral("Auto"));
    EXPECT_EQ(box.currentData().toInt(), 6);

    QComboBox fresh;
    FillOSCombo(&fresh, 0);
    EXPECT_EQ(fresh.count(), 6);
    EXPECT_EQ(fresh.currentIndex(), -1);

    QComboBox twice;
    FillBasicCombo(&twice, 2);
    FillBasicCombo(&twice, 0);
    ASSERT_EQ(twice.count(), 4);
    EXPECT_EQ(twice.itemText(3), QStringLiteral("Ja"));
    EXPECT_EQ(twice.currentIndex(), 1);
}

TEST(CodeTables, DefaultProfilPerExtensionAndType)
{
    const int kTable[3][11] = {
        {1, 4, 4, 3, 1, 1, 5, 1, 2, 2, 4},
        {6, 6, 6, 8, 1, 6, 6, 6, 7, 7, 6},
        {9, 12, 12, 11, 1, 9, 13, 9, 10, 10, 12},
    };
    for (int type = 1; type <= 3; ++type)
        for (int pos = 0; pos < 11; ++pos) {
            SCOPED_TRACE(testing::Message() << "type " << type << " position " << pos);
            EXPECT_EQ(DefaultProfilForFileType(type, pos), kTable[type - 1][pos]);
        }
    EXPECT_EQ(DefaultProfilForFileType(0, 0), std::nullopt);
    EXPECT_EQ(DefaultProfilForFileType(4, 0), std::nullopt);
    EXPECT_EQ(DefaultProfilForFileType(1, 11), std::nullopt);
    EXPECT_EQ(DefaultProfilForFileType(1, -1), std::nullopt);
}

TEST(CodeTables, FileSizeAtUnitBoundaries)
{
    struct Case {
        int32_t size;
        const char* text;
    } const kCases[] = {
        {-5, "-5 Byte"}, {0, "0 Byte"}, {1023, "1023 Byte"}, {1024, "1,0 KB"}, {1280, "1,3 KB"},
        {1331, "1,3 KB"}, {1536, "1,5 KB"}, {3328, "3,3 KB"},
        {1048575, "1024,0 KB"}, {1048576, "1,00 MB"}, {int32_t(5.42 * 1048576), "5,42 MB"},
        {int32_t(9.996 * 1048576), "10,0 MB"}, {10 * 1048576, "10,0 MB"},
        {int32_t(12.34 * 1048576), "12,3 MB"}, {int32_t(99.4 * 1048576), "99,4 MB"},
        {100 * 1048576, "100 MB"}, {250 * 1048576, "250 MB"}, {2147483647, "2048 MB"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(FormatFileSize(c.size), QString::fromUtf8(c.text));
    }
}

// A translated interface writes sizes with a decimal point, the German one with a comma.
TEST(CodeTables, FileSizeFollowsTheInterfacesLanguage)
{
    const QString saved = gtLanguageFile;
    const auto restore = qScopeGuard([&saved] { gtLanguageFile = saved; });
    gtLanguageFile = QStringLiteral("English.lng");
    EXPECT_EQ(FormatFileSize(1536), QStringLiteral("1.5 KB"));
    EXPECT_EQ(FormatFileSize(int32_t(5.42 * 1048576)), QStringLiteral("5.42 MB"));
    EXPECT_EQ(FormatFileSize(int32_t(12.34 * 1048576)), QStringLiteral("12.3 MB"));
    EXPECT_EQ(FormatFileSize(1023), QStringLiteral("1023 Byte"));
    gtLanguageFile.clear();
    EXPECT_EQ(FormatFileSize(1536), QStringLiteral("1,5 KB"));
}

// Bytes and kilobytes are written without the general Format: they must read as it writes them.
TEST(CodeTables, FileSizeReadsAsFormatWritesIt)
{
    for (int32_t size = -3000; size < 1048576; size += size < 2048 ? 1 : 61) {
        SCOPED_TRACE(size);
        const QString expected = size < 1024 ? Format(Variant(size), QStringLiteral("0")) + QStringLiteral(" Byte")
                                             : Format(Variant(size / 1024.0), QStringLiteral("0.0 \\KB"));
        ASSERT_EQ(FormatFileSize(size), expected);
    }
}

TEST(CodeTables, LoadFileInfoTurnsNullIntoEmptyAndZero)
{
    QTemporaryDir dir;
    DbError error;
    auto db = Database::Create(dir.filePath(QStringLiteral("t.mdb")), {}, &error);
    ASSERT_TRUE(db) << error.description.toStdString();
    ASSERT_FALSE(db->Execute(QStringLiteral(
        "CREATE TABLE MainFiles (ID INTEGER PRIMARY KEY, tFile VARCHAR(255), tPath VARCHAR(255),"
        " tUnpackPath VARCHAR(255), iFileType SMALLINT, iBasic SMALLINT, iModel SMALLINT, iOS SMALLINT,"
        " iVideo SMALLINT, tMemo LONGTEXT, tParam VARCHAR(255))")));
    ASSERT_FALSE(db->Execute(QStringLiteral(
        "INSERT INTO MainFiles VALUES (1, 'A.ATR', '/g/A.ZIP', 'X\\A.ATR', 1, 2, 3, 6, 1, 'memo', '-v'),"
        " (2, 'B.XEX', '/g/B.XEX', NULL, 11, NULL, NULL, NULL, NULL, NULL, NULL)")));
    auto rs = db->OpenRecordset(QStringLiteral("Select * From MainFiles Order By ID"), dbOpenSnapshot);
    ASSERT_TRUE(rs);

    auto full = LoadFileInfo(*rs);
    EXPECT_EQ(full->File, QStringLiteral("A.ATR"));
    EXPECT_EQ(full->Filetyp, 1);
    EXPECT_EQ(full->Path, QStringLiteral("/g/A.ZIP"));
    EXPECT_EQ(full->UnpackPath, QStringLiteral("X\\A.ATR"));
    EXPECT_EQ(std::make_tuple(full->iBasic, full->iModel, full->iOS, full->iVideo), std::make_tuple(2, 3, 6, 1));
    EXPECT_EQ(full->Memo, QStringLiteral("memo"));
    EXPECT_EQ(full->Param, QStringLiteral("-v"));
    EXPECT_EQ(rs->AbsolutePosition(), 0);   // the recordset is not moved

    ASSERT_FALSE(rs->MoveNext());
    auto bare = LoadFileInfo(*rs);
    EXPECT_EQ(bare->Filetyp, 11);
    EXPECT_EQ(bare->UnpackPath, QString());
    EXPECT_EQ(std::make_tuple(bare->iBasic, bare->iModel, bare->iOS, bare->iVideo), std::make_tuple(0, 0, 0, 0));
    EXPECT_EQ(bare->Memo, QString());
    EXPECT_EQ(bare->Param, QString());
    db->Close();
}

} // namespace
} // namespace tv
