#include "catalogue/import/filetype.h"
#include "archivefixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tv {

TEST(FileType, RecognisesByExtension)
{
    struct Case {
        const char* name;
        const char* ext;
        int code;
        bool archive;
    };
    const Case kCases[] = {
        {"GAME.ATR", "ATR", ftATR, false},   {"run.com", "COM", ftCOM, false},
        {"A.EXE", "EXE", ftEXE, false},      {"tape.Cas", "CAS", ftCAS, false},
        {"P.PRO", "PRO", ftPRO, false},      {"D.DCM", "DCM", ftDCM, false},
        {"B.BAS", "BAS", ftBAS, false},      {"X.XFD", "XFD", ftXFD, false},
        {"C.BIN", "BIN", ftBIN, false},      {"R.ROM", "ROM", ftROM, false},
        {"my.game.xex", "XEX", ftXEX, false}, {"A.TXT", "TXT", ftText, false},
        {"A.NFO", "NFO", ftText, false},     {"FILE_ID.DIZ", "DIZ", ftText, false},
        {"M.PDF", "PDF", ftPDF, false},      {"p.bmp", "BMP", ftPicture, false},
        {"p.GIF", "GIF", ftPicture, false},  {"p.JPG", "JPG", ftPicture, false},
        {"p.png", "PNG", ftPicture, false},  {"p.TIFF", "TIFF", ftPicture, false},
        {"p.TIF", "TIF", ftNone, false},     {"GAMES.ZIP", "ZIP", ftNone, true},
        {"x.rar", "RAR", ftNone, true},      {"x.7z", "7Z", ftNone, true},
        {"x.Cab", "CAB", ftNone, true},      {"README", "README", ftNone, false},
        {"ZIP", "ZIP", ftNone, false},       {"archive.zip.txt", "TXT", ftText, false},
        {"noext.", "", ftNone, false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const QString ext = FileExtension(QString::fromUtf8(c.name));
        EXPECT_EQ(ext, QString::fromUtf8(c.ext));
        EXPECT_EQ(FileTypeOfExtension(ext), c.code);
        EXPECT_EQ(IsArchiveName(QString::fromUtf8(c.name)), c.archive);
    }
}

TEST(FileType, AtrSignature)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray bytes;
        AtrHeader expected;
    };
    const Case kCases[] = {
        {"valid", test::AtrImage(16), AtrHeader::Valid},
        {"exactly the signature", QByteArray("\x96\x02", 2), AtrHeader::Valid},
        {"swapped", QByteArray("\x02\x96rest", 6), AtrHeader::Invalid},
        {"first byte zero", QByteArray("\x00\x02", 2), AtrHeader::Invalid},
        {"one byte", QByteArray("\x96", 1), AtrHeader::Invalid},
        {"empty", QByteArray(), AtrHeader::Invalid},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromUtf8(c.name) + QStringLiteral(".ATR"));
        ASSERT_TRUE(test::WriteFile(path, c.bytes));
        EXPECT_EQ(CheckAtrHeader(path), c.expected);
    }
    QString error;
    EXPECT_EQ(CheckAtrHeader(dir.filePath(QStringLiteral("missing.ATR")), &error), AtrHeader::Unreadable);
    EXPECT_FALSE(error.isEmpty());
}

} // namespace tv
