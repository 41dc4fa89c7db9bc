#include "textfile.h"

#include "files.h"

#include <QStringDecoder>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tv {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five unassigned bytes there
// keep their Latin-1 control characters, as the platform's own conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Code page 437 above ASCII: accented letters, block and box-drawing characters, Greek and
// mathematical signs. Below 0x80 it is ASCII (its pictures for control bytes are not used, so
// that tabs and line ends stay what they are).
constexpr char16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

QString decodeSingleByte(const QByteArray& bytes, TextCodePage page)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        char16_t c = b;
        if (page == TextCodePage::Dos437 && b >= 0x80) c = kCp437High[b - 0x80];
        else if (page == TextCodePage::Windows1252 && b >= 0x80 && b < 0xA0) c = kCp1252High[b - 0x80];
        out.append(QChar(c));
    }
    return out;
}

} // namespace

QString DecodeText(const QByteArray& bytes, TextCodePage fallback)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) return decodeSingleByte(bytes, fallback);
    // A file written by several editors in turn may begin with more than one mark.
    qsizetype marks = 0;
    while (marks < text.size() && text[marks] == QChar(0xFEFF)) ++marks;
    text.remove(0, marks);
    return text;
}

bool ReadTextFile(const QString& path, QString& text, QString* error)
{
    const auto fsPath = ToFsPath(path);
    std::error_code ec;
    if (std::filesystem::is_directory(fsPath, ec)) {
        if (error) *error = QStringLiteral("%1: is a folder").arg(path);
        return false;
    }
    std::ifstream in(fsPath, std::ios::binary);
    if (!in) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        if (error) *error = QStringLiteral("%1: read error").arg(path);
        return false;
    }
    text = DecodeText(QByteArray::fromStdString(bytes));
    return true;
}

} // namespace tv
