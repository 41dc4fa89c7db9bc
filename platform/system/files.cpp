#include "files.h"

#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>

namespace tv {

namespace fs = std::filesystem;

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Length of the valid UTF-8 sequence at `i`, or 0 when the byte there starts none.
int validSequenceLength(const std::string& s, size_t i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) return 1;
    int len = 0;
    unsigned lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) len = 2;
    else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        if (b0 == 0xE0) lo = 0xA0;      // no overlong forms
        else if (b0 == 0xED) hi = 0x9F; // no encoded surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        if (b0 == 0xF0) lo = 0x90;
        else if (b0 == 0xF4) hi = 0x8F;
    } else
        return 0;
    if (i + size_t(len) > s.size()) return 0;
    const auto b1 = static_cast<unsigned char>(s[i + 1]);
    if (b1 < lo || b1 > hi) return 0;
    for (int k = 2; k < len; ++k)
        if (!isContinuation(static_cast<unsigned char>(s[i + size_t(k)]))) return 0;
    return len;
}

QString errorText(const QString& path, const std::error_code& ec)
{
    return path + QStringLiteral(": ") + QString::fromLocal8Bit(ec.message().c_str());
}

bool fail(QString* error, const QString& text)
{
    if (error) *error = text;
    return false;
}

} // namespace

QString FromFsPath(const fs::path& path)
{
    const std::string& bytes = path.native();
    QStringDecoder probe(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString quick = probe(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (!probe.hasError()) return quick;

    QString out;
    for (size_t i = 0; i < bytes.size();) {
        const int len = validSequenceLength(bytes, i);
        if (len == 0) {
            out.append(QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[i]))));
            ++i;
        } else {
            out.append(QString::fromUtf8(bytes.data() + i, len));
            i += size_t(len);
        }
    }
    return out;
}

namespace {

bool isEscapedByte(const QString& text, qsizetype i)
{
    const char16_t c = text.at(i).unicode();
    return c >= 0xDC80 && c <= 0xDCFF && !(i > 0 && QChar::isHighSurrogate(text.at(i - 1).unicode()));
}

} // namespace

bool HasUndecodableBytes(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (isEscapedByte(text, i)) return true;
    return false;
}

QString ShownName(const QString& text)
{
    QString shown = text;
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (isEscapedByte(text, i)) shown[i] = QChar::ReplacementCharacter;
    return shown;
}

fs::path ToFsPath(const QString& path)
{
    std::string bytes;
    bytes.reserve(size_t(path.size()));
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path.at(i).unicode();
        if (isEscapedByte(path, i)) {
            bytes.push_back(char(c - kEscapeBase));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < path.size() && QChar::isLowSurrogate(path.at(i + 1).unicode())) {
            bytes += QStringView(path).mid(i, 2).toUtf8().toStdString();
            ++i;
            continue;
        }
        bytes += QStringView(path).mid(i, 1).toUtf8().toStdString();
    }
    return fs::path(std::move(bytes));
}

bool ListedBefore(const QString& a, const QString& b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

bool ListFolder(const QString& folder, std::vector<FolderEntry>& entries, QString* error)
{
    entries.clear();
    std::error_code ec;
    fs::directory_iterator it(ToFsPath(folder), ec);
    if (ec) return fail(error, errorText(folder, ec));
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) return fail(error, errorText(folder, ec));
        FolderEntry e;
        e.name = FromFsPath(it->path().filename());
        e.path = prefix + e.name;
        const fs::file_status st = it->symlink_status(ec);
        if (ec) return fail(error, errorText(e.path, ec));
        e.isLink = fs::is_symlink(st);
        e.isFolder = fs::is_directory(st);
        if (fs::is_regular_file(st)) {
            const auto size = it->file_size(ec);
            e.size = ec ? 0 : qint64(size);
            ec.clear();
        }
        entries.push_back(std::move(e));
    }
    if (ec) return fail(error, errorText(folder, ec));
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return ListedBefore(a.name, b.name); });
    return true;
}

bool WalkFolder(const QString& folder, const std::function<bool(const FolderEntry&)>& visit, QString* error)
{
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, entries, error)) return false;
    for (const FolderEntry& e : entries) {
        if (!visit(e)) return false;
        if (e.isFolder && !e.isLink && !WalkFolder(e.path, visit, error)) return false;
    }
    return true;
}

bool IsFolder(const QString& path)
{
    std::error_code ec;
    return !path.isEmpty() && fs::is_directory(ToFsPath(path), ec);
}

bool IsFile(const QString& path)
{
    std::error_code ec;
    const fs::file_status st = fs::status(ToFsPath(path), ec);
    return !path.isEmpty() && !ec && fs::exists(st) && !fs::is_directory(st);
}

bool CreateFolder(const QString& path, QString* error)
{
    std::error_code ec;
    fs::create_directories(ToFsPath(path), ec);
    if (ec) return fail(error, errorText(path, ec));
    return true;
}

bool DeletePath(const QString& path, QString* error)
{
    std::error_code ec;
    fs::remove_all(ToFsPath(path), ec); // removes links themselves, never their targets
    if (ec) return fail(error, errorText(path, ec));
    return true;
}

bool MovePath(const QString& from, const QString& to, QString* error)
{
    const fs::path src = ToFsPath(from), dst = ToFsPath(to);
    // Linux's rename replaces an existing target; this move must refuse instead, atomically.
    if (::renameat2(AT_FDCWD, src.c_str(), AT_FDCWD, dst.c_str(), RENAME_NOREPLACE) == 0) return true;
    const int err = errno;
    if (err == EXDEV && fs::is_regular_file(fs::symlink_status(src))) {
        std::error_code ec;
        if (fs::copy_file(src, dst, fs::copy_options::none, ec) && fs::remove(src, ec)) return true;
        return fail(error, errorText(from, ec));
    }
    return fail(error, errorText(from, std::error_code(err, std::generic_category())));
}

} // namespace tv
