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

QString decodeCp1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.append(QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b)));
    }
    return out;
}

} // namespace

QString DecodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) return decodeCp1252(bytes);
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
