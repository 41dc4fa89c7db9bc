#include "filetype.h"

#include <QFile>

namespace tv {

QString FileExtension(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return (dot < 0 ? fileName : fileName.mid(dot + 1)).toUpper();
}

int FileTypeOfExtension(const QString& extension)
{
    struct Entry {
        const char* ext;
        int code;
    };
    static constexpr Entry kTypes[] = {
        {"ATR", ftATR}, {"COM", ftCOM}, {"EXE", ftEXE}, {"CAS", ftCAS},  {"PRO", ftPRO},
        {"DCM", ftDCM}, {"BAS", ftBAS}, {"XFD", ftXFD}, {"BIN", ftBIN},  {"ROM", ftROM},
        {"XEX", ftXEX}, {"TXT", ftText}, {"NFO", ftText}, {"DIZ", ftText}, {"PDF", ftPDF},
        {"BMP", ftPicture}, {"GIF", ftPicture}, {"JPG", ftPicture}, {"PNG", ftPicture},
        {"TIFF", ftPicture},
    };
    for (const Entry& e : kTypes)
        if (extension == QLatin1String(e.ext)) return e.code;
    return ftNone;
}

bool IsArchiveExtension(const QString& extension)
{
    return extension == QLatin1String("ZIP") || extension == QLatin1String("RAR") ||
           extension == QLatin1String("7Z") || extension == QLatin1String("CAB");
}

bool IsArchiveName(const QString& fileName)
{
    return fileName.contains(QLatin1Char('.')) && IsArchiveExtension(FileExtension(fileName));
}

AtrHeader CheckAtrHeader(const QString& path, QString* errorText)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (errorText) *errorText = f.errorString();
        return AtrHeader::Unreadable;
    }
    // Two bytes read one by one; a zero byte ends the reading early.
    static constexpr unsigned char kSignature[2] = {0x96, 0x02};
    for (unsigned char expected : kSignature) {
        char c = 0;
        if (f.read(&c, 1) != 1 || c == 0 || static_cast<unsigned char>(c) != expected)
            return AtrHeader::Invalid;
    }
    return AtrHeader::Valid;
}

} // namespace tv
