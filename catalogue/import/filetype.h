#pragma once

#include <QString>

namespace tv {

// File type codes as stored in MainFiles.iFileType. Stored values: never renumber.
// Codes 1 to 11 follow the emulated extensions (gaEmulExt, index = code - 1).
enum FileTypeCode : int {
    ftNone = 0,
    ftATR = 1,
    ftCOM = 2,
    ftEXE = 3,
    ftCAS = 4,
    ftPRO = 5,
    ftDCM = 6,
    ftBAS = 7,
    ftXFD = 8,
    ftBIN = 9,
    ftROM = 10,
    ftXEX = 11,
    ftText = 18,
    ftPDF = 19,
    ftPicture = 20,
};

// The extension the import decides by: the text after the last "." in upper case; a name
// without "." is its own extension ("README").
QString FileExtension(const QString& fileName);

// The type code of an upper-case extension; ftNone for archives and unknown extensions.
// An ATR is only catalogued after CheckAtrHeader.
int FileTypeOfExtension(const QString& extension);

// ZIP, RAR, 7Z and CAB: unpacked and their members imported; no row of their own.
bool IsArchiveExtension(const QString& extension);
bool IsArchiveName(const QString& fileName);

// Result of reading the signature word of an ATR image (0x96 0x02, low byte first).
enum class AtrHeader { Valid, Invalid, Unreadable };
AtrHeader CheckAtrHeader(const QString& path, QString* errorText = nullptr);

} // namespace tv
