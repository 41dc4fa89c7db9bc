#include "unpacker.h"

#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "filetype.h"
#include "platform/gui/msgbox.h"
#include "platform/system/files.h"
#include "platform/system/process.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QStorageInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <system_error>

namespace fs = std::filesystem;

namespace tv {

namespace {

// The upper half of code page 850, the character set of old archives' file names.
constexpr char16_t kCp850High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

bool IsValidUtf8(const std::string& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString ignored = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return !decoder.hasError();
}

QString DecodeCp850(const std::string& bytes)
{
    QString text;
    text.reserve(qsizetype(bytes.size()));
    for (unsigned char c : bytes)
        text.append(c < 0x80 ? QChar(c) : QChar(kCp850High[c - 0x80]));
    return text;
}

// A name not taken yet in `folder`: "NAME.EXT", else "NAME_2.EXT", "NAME_3.EXT", ...
fs::path FreeName(const fs::path& folder, const std::string& name)
{
    std::error_code ec;
    fs::path target = folder / name;
    if (!fs::exists(fs::symlink_status(target, ec))) return target;
    const size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string ext = stem.size() == name.size() ? std::string() : name.substr(dot);
    for (int n = 2;; ++n) {
        target = folder / (stem + "_" + std::to_string(n) + ext);
        if (!fs::exists(fs::symlink_status(target, ec))) return target;
    }
}

// Splits a name holding "\" into its elements, leaving out empty ones, "." and "..".
std::vector<std::string> SplitBackslashes(const std::string& name)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('\\', start);
        if (end == std::string::npos) end = name.size();
        std::string part = name.substr(start, end - start);
        if (!part.empty() && part != "." && part != "..") parts.push_back(part);
        start = end + 1;
    }
    if (parts.empty()) parts.push_back("_");
    return parts;
}

// Moves one entry of `folder` to its normalised name; returns where it now is.
fs::path NormaliseName(const fs::path& folder, const fs::path& entry)
{
    std::string name = entry.filename().native();
    if (!IsValidUtf8(name)) name = DecodeCp850(name).toStdString();
    if (name == entry.filename().native()) {
        if (name.find('\\') == std::string::npos) return entry;
    }
    std::error_code ec;
    fs::path target;
    if (name.find('\\') != std::string::npos) {
        const std::vector<std::string> parts = SplitBackslashes(name);
        fs::path dir = folder;
        for (size_t i = 0; i + 1 < parts.size(); ++i) {
            fs::path next = dir / parts[i];
            const fs::file_status st = fs::symlink_status(next, ec);
            if (!fs::exists(st)) fs::create_directory(next, ec);
            else if (!fs::is_directory(st)) next = FreeName(dir, parts[i]), fs::create_directory(next, ec);
            dir = next;
        }
        target = FreeName(dir, parts.back());
    } else {
        target = FreeName(folder, name);
    }
    fs::rename(entry, target, ec);
    return ec ? entry : target;
}

void NormaliseFolder(const fs::path& folder)
{
    std::error_code ec;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(it->path());
    for (const fs::path& entry : entries) {
        const fs::file_status st = fs::symlink_status(entry, ec);
        if (fs::is_symlink(st)) {
            fs::remove(entry, ec);  // removes the link itself, never its target
            continue;
        }
        const fs::perms access = fs::is_directory(st) ? fs::perms::owner_all
                                                       : fs::perms::owner_read | fs::perms::owner_write;
        fs::permissions(entry, access, fs::perm_options::add, ec);
        NormaliseName(folder, entry);
    }
    // Folders are walked after the renames, so entries moved into new folders are seen too.
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_directory(ec) && !it->is_symlink(ec)) NormaliseFolder(it->path());
}

} // namespace

QString ToolPath7za() { return gtToolsPath + QStringLiteral("7za"); }
QString ToolPathUnrar() { return gtToolsPath + QStringLiteral("unrar"); }

static bool CheckTool(const QString& path)
{
    if (QFileInfo::exists(path)) return true;
    MsgBox(Translate(QStringLiteral("Datei nicht gefunden: ")) + path, vbCritical | vbOKOnly,
           Translate(QStringLiteral("Entpacker-Programm")));
    return false;
}

bool Check7za() { return CheckTool(ToolPath7za()); }
bool CheckUnrar() { return CheckTool(ToolPathUnrar()); }

UnpackCommand MakeUnpackCommand(const QString& archivePath, const QString& member,
                                const QString& destFolder)
{
    UnpackCommand cmd;
    if (FileExtension(archivePath) == QLatin1String("RAR")) {
        cmd.program = ToolPathUnrar();
        cmd.arguments = {QStringLiteral("x"), QStringLiteral("-o+"), QStringLiteral("--"), archivePath};
        if (!member.isEmpty()) cmd.arguments << member;
        cmd.arguments << (destFolder.endsWith(QLatin1Char('/')) ? destFolder : destFolder + QLatin1Char('/'));
    } else {
        cmd.program = ToolPath7za();
        cmd.arguments = {QStringLiteral("x"), archivePath, QStringLiteral("-o") + destFolder,
                         QStringLiteral("-y"), QStringLiteral("-ssc-"), QStringLiteral("-spd"),
                         QStringLiteral("--")};
        if (!member.isEmpty()) cmd.arguments << member;
    }
    return cmd;
}

namespace {

qint64 AddSaturated(qint64 a, qint64 b) { return b > std::numeric_limits<qint64>::max() - a ? std::numeric_limits<qint64>::max() : a + b; }

// A line of unrar-free's list total: the number of members, then their size.
std::optional<qint64> RarTotal(const QByteArray& line)
{
    const QList<QByteArray> words = line.simplified().split(' ');
    bool countOk = false, sizeOk = false;
    if (words.size() != 2) return std::nullopt;
    words[0].toULongLong(&countOk);
    const qulonglong size = words[1].toULongLong(&sizeOk);
    if (!countOk || !sizeOk) return std::nullopt;
    return qint64(std::min<qulonglong>(size, qulonglong(std::numeric_limits<qint64>::max())));
}

} // namespace

namespace {

quint32 le16(const char* p) { return quint32(quint8(p[0])) | quint32(quint8(p[1])) << 8; }
quint32 le32(const char* p) { return le16(p) | le16(p + 2) << 16; }

} // namespace

std::optional<qint64> ZipDirectorySize(const QString& archivePath)
{
    FILE* f = std::fopen(ToFsPath(archivePath).c_str(), "rb");
    if (!f) return std::nullopt;
    const auto closeFile = qScopeGuard([f] { std::fclose(f); });
    if (std::fseek(f, 0, SEEK_END) != 0) return std::nullopt;
    const long fileSize = std::ftell(f);
    constexpr long kEndRecord = 22;
    if (fileSize < kEndRecord) return std::nullopt;
    const long tailSize = std::min<long>(fileSize, kEndRecord + 0xFFFF);
    QByteArray tail(tailSize, Qt::Uninitialized);
    if (std::fseek(f, fileSize - tailSize, SEEK_SET) != 0 || std::fread(tail.data(), 1, size_t(tailSize), f) != size_t(tailSize))
        return std::nullopt;
    // The end record whose comment reaches exactly to the end of the file.
    qsizetype end = -1;
    for (qsizetype i = tailSize - kEndRecord; i >= 0 && end < 0; --i)
        if (le32(tail.constData() + i) == 0x06054b50 && i + kEndRecord + le16(tail.constData() + i + 20) == tailSize)
            end = i;
    if (end < 0) return std::nullopt;
    const char* e = tail.constData() + end;
    const quint32 entries = le16(e + 10), dirSize = le32(e + 12), dirOffset = le32(e + 16);
    if (entries == 0xFFFF || dirSize == 0xFFFFFFFF || dirOffset == 0xFFFFFFFF) return std::nullopt;
    if (qint64(dirOffset) + dirSize > fileSize - tailSize + end || dirSize > 64 * 1048576) return std::nullopt;
    QByteArray dir(qsizetype(dirSize), Qt::Uninitialized);
    if (std::fseek(f, long(dirOffset), SEEK_SET) != 0 || std::fread(dir.data(), 1, dirSize, f) != dirSize)
        return std::nullopt;
    qint64 total = 0;
    qsizetype at = 0;
    for (quint32 n = 0; n < entries; ++n) {
        if (at + 46 > dir.size() || le32(dir.constData() + at) != 0x02014b50) return std::nullopt;
        const char* h = dir.constData() + at;
        const quint32 unpacked = le32(h + 24);
        if (unpacked == 0xFFFFFFFF) return std::nullopt;
        total += unpacked;
        at += 46 + qsizetype(le16(h + 28)) + le16(h + 30) + le16(h + 32);
    }
    if (at != dir.size()) return std::nullopt;
    return total;
}

std::optional<qint64> ListUnpackedSize(const QString& archivePath, int timeoutMs)
{
    // Most archives of a collection are ZIPs: their directory is read here, which costs a
    // program start less per archive.
    if (FileExtension(archivePath) == QLatin1String("ZIP"))
        if (const std::optional<qint64> size = ZipDirectorySize(archivePath)) return size;
    const bool rar = FileExtension(archivePath) == QLatin1String("RAR");
    const QString program = rar ? ToolPathUnrar() : ToolPath7za();
    if (!QFileInfo::exists(program)) return std::nullopt;
    // 7za lists the archive's own properties first, then after a line of dashes one block per
    // member; a member's name can hold a line break, but a forged "Size = " line only adds.
    // unrar-free ends its list with a line of dashes and the total; a forged total in a name
    // comes before the real one, so the last one counts.
    qint64 total = 0;
    bool members = false;
    std::optional<qint64> rarTotal;
    bool afterDashes = false;
    const auto onLine = [&](const QByteArray& line) {
        if (rar) {
            if (afterDashes) rarTotal = RarTotal(line);
            afterDashes = line.size() >= 10 && line.count('-') == line.size();
        } else if (line == "----------") {
            members = true;
        } else if (members && line.startsWith("Size = ")) {
            bool ok = false;
            const qulonglong size = line.mid(7).trimmed().toULongLong(&ok);
            if (ok) total = AddSaturated(total, qint64(std::min<qulonglong>(size, qulonglong(std::numeric_limits<qint64>::max()))));
        }
    };
    const QStringList arguments = rar ? QStringList{QStringLiteral("l"), QStringLiteral("--"), archivePath}
                                      : QStringList{QStringLiteral("l"), QStringLiteral("-slt"), QStringLiteral("-y"),
                                                    QStringLiteral("--"), archivePath};
    int exitCode = -1;
    // Run where the unpackers run: the temporary folder.
    if (RunAndReadLines(program, arguments, timeoutMs, onLine, &exitCode, gtTempPath) != 0 || exitCode != 0)
        return std::nullopt;
    if (rar) return rarTotal;
    return total;
}

bool NeedsPassword(const QString& archivePath, int timeoutMs)
{
    if (FileExtension(archivePath) == QLatin1String("RAR")) return false;
    const QString program = ToolPath7za();
    if (!QFileInfo::exists(program)) return false;
    // An empty password keeps 7za from asking for one; its error messages come with the list.
    const QStringList arguments{QStringLiteral("l"), QStringLiteral("-slt"), QStringLiteral("-p"), QStringLiteral("-y"),
                                QStringLiteral("-bse1"), QStringLiteral("--"), archivePath};
    bool encrypted = false;
    RunAndReadLines(
        program, arguments, timeoutMs,
        [&encrypted](const QByteArray& line) {
            if (line == "Encrypted = +" || line.contains("Wrong password")) encrypted = true;
        },
        nullptr, gtTempPath);
    return encrypted;
}

namespace {
std::function<qint64()>& freeSpaceHook()
{
    static std::function<qint64()> hook;
    return hook;
}
} // namespace

void SetFreeSpaceHook(std::function<qint64()> hook) { freeSpaceHook() = std::move(hook); }

qint64 FreeSpaceOfTemp()
{
    if (freeSpaceHook()) return freeSpaceHook()();
    const QStorageInfo storage(gtTempPath);
    return storage.isValid() && storage.isReady() ? storage.bytesAvailable() : -1;
}

UnpackRun RunUnpacker(const UnpackCommand& command, const QString& destFolder, int timeoutMs)
{
    int exitCode = -1;
    if (RunAndWait(command.program, command.arguments, timeoutMs, true, &exitCode, destFolder) != 0)
        return UnpackRun::NotStarted;
    return exitCode == 0 ? UnpackRun::Done : UnpackRun::Failed;
}

void NormaliseUnpacked(const QString& folder)
{
    const fs::path root = ToFsPath(folder);
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(root, ec))) NormaliseFolder(root);
}

QString ResolveNoCase(const QString& folder, const QString& relative)
{
    QString current = folder;
    const QStringList parts = QString(relative).replace(QLatin1Char('\\'), QLatin1Char('/'))
                                  .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty()) return QString();
    std::error_code ec;
    for (const QString& part : parts) {
        if (part == QLatin1String(".") || part == QLatin1String("..")) return QString();
        const QString exact = current + QLatin1Char('/') + part;
        const fs::file_status st = fs::symlink_status(ToFsPath(exact), ec);
        if (fs::exists(st) && !fs::is_symlink(st)) {
            current = exact;
            continue;
        }
        QString found;
        std::vector<FolderEntry> entries;
        ListFolder(current, entries);
        for (const FolderEntry& e : entries)
            if (!e.isLink && e.name.compare(part, Qt::CaseInsensitive) == 0) {
                found = e.name;
                break;
            }
        if (found.isEmpty()) return QString();
        current += QLatin1Char('/') + found;
    }
    return current;
}

bool RemoveTempTree(const QString& folder)
{
    std::error_code ec;
    const fs::path temp = fs::weakly_canonical(ToFsPath(gtTempPath), ec);
    const fs::path target = fs::weakly_canonical(ToFsPath(folder), ec);
    if (ec || temp.empty()) return false;
    // Inside the temporary folder only, and never the folder itself.
    auto t = target.begin();
    for (auto p = temp.begin(); p != temp.end(); ++p, ++t)
        if (t == target.end() || *t != *p) return false;
    if (t == target.end()) return false;
    return DeletePath(FromFsPath(target));
}

} // namespace tv
