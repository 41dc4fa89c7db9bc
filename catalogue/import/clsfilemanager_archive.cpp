// The archive side of the import engine: unpack folders, the scan of an unpacked archive
// and the extraction of one stored member.

#include "clsfilemanager.h"

#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modmain.h"
#include "filetype.h"
#include "platform/gui/msgbox.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/format.h"
#include "platform/system/files.h"
#include "unpacker.h"

#include <QFileInfo>

namespace tv {

namespace {

QString FolderOf(const QString& path) { return path.left(path.lastIndexOf(QLatin1Char('/'))); }

// The member chain of an entry of a folder whose chain is `chain` ("" at the archive's top).
QString MemberChain(const QString& chain, const QString& name)
{
    return chain.isEmpty() ? name : chain + QLatin1Char('\\') + name;
}

bool PathExists(const QString& path)
{
    // A dangling link counts as present: the folder name is taken.
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

} // namespace

QString clsFileManager::ArchiveKey(const QString& chain, const QString& filePath) const
{
    return chain.isEmpty() ? filePath : mtArchivePath + QLatin1Char('\\') + chain;
}

QString clsFileManager::NewUnpackFolder(const QString& base, const QString& key, bool whole)
{
    // The next number whose folder does not exist yet, so that a real folder "A3" inside an
    // archive is never taken for an unpack folder.
    QString folder;
    do {
        ++miArchiveCount;
        folder = base + QStringLiteral("/A") + QString::number(miArchiveCount);
    } while (PathExists(folder));
    mcolArchivePaths.insert(key, ArchiveFolder{folder, whole});
    mUnpackFolders.insert(folder);
    return folder;
}

void clsFileManager::ForgetArchive(const QString& key, bool removeFolder)
{
    // Archives nested in this one lie inside its folder: they go with it.
    const QString nestedPrefix = key + QLatin1Char('\\');
    for (auto it = mcolArchivePaths.begin(); it != mcolArchivePaths.end();) {
        if (it.key() == key || it.key().startsWith(nestedPrefix)) {
            // The folder stays in mUnpackFolders: an unpacker still running after its
            // time-out may write to it again, and no scan may take it for a member folder.
            if (removeFolder && it.key() == key) RemoveTempTree(it->folder);
            it = mcolArchivePaths.erase(it);
        } else {
            ++it;
        }
    }
}

const clsFileManager::ArchiveFolder* clsFileManager::CachedArchive(const QString& key)
{
    const auto it = mcolArchivePaths.constFind(key);
    if (it == mcolArchivePaths.constEnd()) return nullptr;
    if (IsFolder(it->folder)) return &*it;
    ForgetArchive(key, false);  // the temporary folder was emptied meanwhile
    return nullptr;
}

void clsFileManager::DeleteTempCol()
{
    mAhead.Clear();
    mcolArchivePaths.clear();
    mUnpackFolders.clear();
    mUnpackedSizes.clear();
}

namespace {

int32_t SizeLimitMb() { return CLng(Val(gtSkipZipSize)); }

bool WithinLimit(qint64 size, int32_t limit) { return double(size) / 1048576.0 <= double(limit); }

QString Megabytes(qint64 size) { return FormatDecimal(double(size) / 1048576.0, QStringLiteral("0.0")); }

} // namespace

bool clsFileManager::UnpackWithoutAsking(qint64 packed, std::optional<qint64> unpacked)
{
    return UnpackWithoutAsking(packed, unpacked, SizeLimitMb());
}

bool clsFileManager::UnpackWithoutAsking(qint64 packed, std::optional<qint64> unpacked, int32_t limitMb)
{
    return limitMb == 0 || (packed > 0 && WithinLimit(packed, limitMb) && unpacked && WithinLimit(*unpacked, limitMb));
}

UnpackAhead::NestedFilter clsFileManager::NestedAhead() const
{
    if (!mbArchivesOn) return {};
    // The scan of an unpacked archive takes only what the import list names.
    return [list = gtImportFiles, rarMissing = mbRarMissing, limit = SizeLimitMb()](
               const QString& name, qint64 packed, std::optional<qint64> unpacked) {
        const QString ext = FileExtension(name);
        return IsArchiveExtension(ext) && InImportList(list, rarMissing, ext) &&
               UnpackWithoutAsking(packed, unpacked, limit);
    };
}

std::optional<qint64> clsFileManager::UnpackedSize(const QString& archivePath)
{
    const QFileInfo info(archivePath);
    const QString key = archivePath + QLatin1Char('\n') + QString::number(info.size()) + QLatin1Char('\n') +
                        QString::number(info.lastModified().toMSecsSinceEpoch());
    const auto cached = mUnpackedSizes.constFind(key);
    if (cached != mUnpackedSizes.constEnd()) return *cached;
    const std::optional<qint64> size = ListUnpackedSize(archivePath, lUnpackTimeoutMs);
    mUnpackedSizes.insert(key, size);
    return size;
}

bool clsFileManager::AskSizeLimit(const QString& filePath, const QString& shownName, bool* asked)
{
    *asked = false;
    const int32_t limit = SizeLimitMb();
    if (limit == 0) return true;
    const qint64 size = QFileInfo(filePath).size();
    if (size == 0) {
        Q_EMIT ShowMessage(Translate(QStringLiteral("Fehler in der Datei: '@1'"), shownName), -1);
        return false;
    }
    // A small archive can hold far more than the limit: its listing tells.
    const std::optional<qint64> unpacked = UnpackedSize(filePath);
    const bool unpackedOver = unpacked && !WithinLimit(*unpacked, limit);
    if (size > 0 && WithinLimit(size, limit) && !unpackedOver) return true;
    QString prompt = Translate(QStringLiteral("Die Datei '@1' hat eine Größe von"), shownName) + QLatin1Char(' ') +
                     Megabytes(size) + QStringLiteral(" Mb.\n");
    if (unpackedOver)
        prompt += Translate(QStringLiteral("Entpackt:")) + QLatin1Char(' ') + Megabytes(*unpacked) + QStringLiteral(" Mb.\n");
    prompt += Translate(QStringLiteral("Soll die Datei entpackt werden?"));
    // The open batch is committed first: while the user thinks, other programs may write.
    CommitBatch();
    *asked = MsgBox(prompt, vbYesNo | vbQuestion, kAppTitle) == vbYes;
    return *asked;
}

bool clsFileManager::RoomInTemp(const QString& archivePath, const QString& displayName)
{
    // Unpacked ahead already (or under way, its room counted when it started).
    if (mAhead.Started(archivePath)) return true;
    const std::optional<qint64> unpacked = UnpackedSize(archivePath);
    const qint64 free = FreeSpaceOfTemp();
    if (!unpacked || free < 0) return true;  // nothing to go by: the unpacker meets what it meets
    qint64 room = std::max<qint64>(0, free - mAhead.Reserved());
    if (*unpacked <= room) return true;
    // What was unpacked ahead gives way: the import would unpack it itself when it gets there.
    if (mAhead.DropUntaken()) {
        const qint64 freed = FreeSpaceOfTemp();
        room = std::max<qint64>(0, freed - mAhead.Reserved());
        if (*unpacked <= room) return true;
    }
    ++lArchivesWithoutRoom;
    Q_EMIT ShowMessage(Translate(QStringLiteral("Zu wenig freier Platz im temporären Ordner für '@1'"), displayName) +
                           QStringLiteral(" - ") + Translate(QStringLiteral("Entpackt:")) + QLatin1Char(' ') +
                           Megabytes(*unpacked) + QStringLiteral(" Mb, ") + Translate(QStringLiteral("Frei:")) +
                           QLatin1Char(' ') + Megabytes(room) + QStringLiteral(" Mb"),
                       -1);
    return false;
}

std::optional<UnpackAhead::Archive> clsFileManager::ToUnpackAhead(const FolderEntry& e, bool inArchive,
                                                                  const QString& chain, int flags)
{
    // Only what the import would surely unpack: anything else it meets as it always did.
    if (!mbArchivesOn || e.isFolder || e.isLink) return std::nullopt;
    const QString ext = FileExtension(e.name);
    if (!IsArchiveExtension(ext) || ((flags & lfImportListOnly) && !InImportList(ext))) return std::nullopt;
    if (!QFileInfo::exists(MakeUnpackCommand(e.path, QString(), QString()).program)) return std::nullopt;
    const QString memberChain = inArchive ? MemberChain(chain, e.name) : QString();
    const auto cached = mcolArchivePaths.constFind(ArchiveKey(memberChain, e.path));
    if (cached != mcolArchivePaths.constEnd() && cached->whole) return std::nullopt;
    const bool rescan = (flags & lfRefresh) && (flags & lfRescanArchives);
    QString error;
    if (!rescan && FindCatalogued(inArchive ? mtArchivePath : e.path, memberChain, inArchive, &error) != 0)
        return std::nullopt;
    if (!error.isEmpty()) return std::nullopt;
    // Listed last, as it starts a program: only an archive that fits the limit by its
    // listing goes ahead without the question the import would ask.
    const std::optional<qint64> unpacked = UnpackedSize(e.path);
    if (!unpacked || !UnpackWithoutAsking(e.size, unpacked)) return std::nullopt;
    return UnpackAhead::Archive{e.path, *unpacked};
}

UnpackAhead::Group clsFileManager::UnpackAheadOf(const std::vector<FolderEntry>& entries, bool inArchive,
                                                  const QString& chain, int flags)
{
    if (!inArchive && !entries.empty()) mtWalkedTo = FolderOf(entries.front().path);
    mAhead.UnpackNested(NestedAhead());
    std::vector<UnpackAhead::Archive> archives;
    for (const FolderEntry& e : entries)
        if (const auto archive = ToUnpackAhead(e, inArchive, chain, flags)) archives.push_back(*archive);
    return mAhead.Expect(archives, lUnpackTimeoutMs);
}

namespace {

// Whether the import's walk of a folder tree reaches `a` before `b`: folder by folder, each
// folder's entries in the order of its listing, a folder's contents right after it.
bool WalkedBefore(const QString& a, const QString& b)
{
    const QStringList pa = a.split(QLatin1Char('/')), pb = b.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < pa.size() && i < pb.size(); ++i)
        if (pa[i] != pb[i]) return ListedBefore(pa[i], pb[i]);
    return pa.size() < pb.size();
}

} // namespace

UnpackAhead::Group clsFileManager::WalkAhead(const QString& root, int flags)
{
    mtWalkedTo.clear();
    struct Folder {
        std::vector<FolderEntry> entries;
        size_t next = 0;
    };
    auto folders = std::make_shared<std::vector<Folder>>(1);
    ListFolder(root, folders->back().entries);
    // The import's folder walk, as the job goes through it, ahead of the job: its archives.
    auto source = [this, folders, flags](bool* walkedAll) -> std::optional<UnpackAhead::Archive> {
        // A share of the walk per call: the folders are listed between the import's files.
        for (int step = 0; step < 256; ++step) {
            if (WriteFailed() || mbStopped || folders->empty()) break;
            Folder& folder = folders->back();
            if (folder.next == folder.entries.size()) {
                folders->pop_back();
                continue;
            }
            const FolderEntry e = folder.entries[folder.next++];
            if (HasUndecodableBytes(e.name)) continue;  // the import leaves it out
            // Where the import has been, it unpacks what it needs itself: a folder it is in
            // expected its archives when the import came in, and is walked only for its
            // folders still to come.
            const auto within = [this](const QString& place) {
                return mtWalkedTo == place || mtWalkedTo.startsWith(place + QLatin1Char('/'));
            };
            const bool passed = !mtWalkedTo.isEmpty() && !WalkedBefore(mtWalkedTo, e.path);
            if (e.isFolder) {
                if (e.name.startsWith(QLatin1Char('.')) || (passed && !within(e.path))) continue;
                folders->emplace_back();
                ListFolder(e.path, folders->back().entries);
                continue;
            }
            if (passed || within(FolderOf(e.path))) continue;
            if (auto archive = ToUnpackAhead(e, false, QString(), flags)) return archive;
        }
        *walkedAll = WriteFailed() || mbStopped || folders->empty();
        return std::nullopt;
    };
    mAhead.UnpackNested(NestedAhead());
    return mAhead.WalkAhead(source);
}

void clsFileManager::KeepUnpacking() { mAhead.StartMore(); }

QString clsFileManager::CreateTempPathIfFileArchiv(const QString& tFilename,
                                                   const QString& tUnpackedPath,
                                                   const QString& tActPath)
{
    Q_UNUSED(tFilename);
    bool asked = false;
    return UnpackForImport(tUnpackedPath, tActPath, &asked);
}

QString clsFileManager::UnpackForImport(const QString& tUnpackedPath, const QString& tActPath, bool* asked)
{
    // Named as the log names it: a nested archive's unpacked copy is no place the user knows.
    const QString key = ArchiveKey(tUnpackedPath, tActPath);
    if (!AskSizeLimit(tActPath, key, asked)) return QString();
    if (const ArchiveFolder* cached = CachedArchive(key); cached && cached->whole) return cached->folder;
    return UnpackWhole(tActPath, tUnpackedPath.isEmpty() ? gtTempPath : FolderOf(tActPath), key);
}

QString clsFileManager::UnpackWhole(const QString& archivePath, const QString& base, const QString& key)
{
    if (!RoomInTemp(archivePath, key)) return QString();
    // A folder an extraction filled only in part is left as it is (a started program may be
    // using it): the unpack folders it holds for nested archives could bear the names of the
    // archive's own folders, which a whole unpack into it would mix with theirs.
    ForgetArchive(key, false);
    // Made by UnpackArchive: an archive unpacked ahead is moved here, so it must not exist yet.
    const QString folder = NewUnpackFolder(base, key, true);
    Q_EMIT ShowMessage(Translate(QStringLiteral("Entpacke Archiv: ")) + key, 0);
    // Other programs may write to the catalogue while this one waits for the unpacker.
    CommitBatch();
    if (!UnpackArchive(archivePath, QString(), folder, key)) {
        // Whatever the unpacker left is half-written: never scanned, never reused.
        ForgetArchive(key, true);
        return QString();
    }
    return folder;
}

bool clsFileManager::UnpackArchive(const QString& archivePath, const QString& member,
                                   const QString& destFolder, const QString& displayName)
{
    if (FileExtension(archivePath) == QLatin1String("RAR")) {
        if (mbRarMissing) return false;
        if (!CheckUnrar()) {
            mbRarMissing = true;
            return false;
        }
    } else if (!Check7za()) {
        mbArchivesOn = false;
        return false;
    }
    const UnpackCommand command = MakeUnpackCommand(archivePath, member, destFolder);
    std::optional<UnpackAhead::Unpacked> ahead;
    if (member.isEmpty()) ahead = mAhead.Take(archivePath);
    if (ahead && ahead->run == UnpackRun::Done && MovePath(ahead->folder, destFolder)) {
        // The archives inside it that were unpacked with it wait for the scan of its folder.
        mAhead.Nested(destFolder, *ahead);
        return true;  // normalised
    }
    if (ahead) mAhead.Nested(QString(), *ahead);
    UnpackRun run;
    if (ahead && ahead->run != UnpackRun::Done) {
        run = ahead->run;
    } else if (!CreateFolder(destFolder)) {
        // Not the unpacker's fault: the user has to mend the temporary folder.
        if (ahead) RemoveTempTree(ahead->folder);
        MsgBox(Translate(QStringLiteral("Fehler beim Entpacken: ")) +
                   Translate(QStringLiteral("Der temporäre Ordner '@1' kann nicht beschrieben werden. Bitte prüfen Sie "
                                            "seine Zugriffsrechte und den freien Platz."),
                             gtTempPath),
               vbInformation);
        return false;
    } else {
        run = RunUnpacker(command, destFolder, lUnpackTimeoutMs);
    }
    if (ahead) RemoveTempTree(ahead->folder);
    switch (run) {
    case UnpackRun::NotStarted:
        MsgBox(Translate(QStringLiteral("Fehler beim Entpacken: ")) + command.program,
               vbInformation);
        return false;
    case UnpackRun::Failed:
        // Failed, or still running at the time-out: what was written may be incomplete.
        if (NeedsPassword(archivePath, lUnpackTimeoutMs)) {
            ++lArchivesWithPassword;
            Q_EMIT ShowMessage(Translate(QStringLiteral("Archiv ist kennwortgeschützt und wurde nicht durchsucht: ")) +
                                   displayName,
                               -1);
        } else {
            ++lArchivesNotUnpacked;
            Q_EMIT ShowMessage(Translate(QStringLiteral("Fehler beim Entpacken: ")) + displayName, -1);
        }
        return false;
    case UnpackRun::Done:
        break;
    }
    NormaliseUnpacked(destFolder);
    return true;
}

bool clsFileManager::UnpackMember(const QString& archivePath, const QString& member,
                                  QString& destFolder, const QString& key, QString* found)
{
    if (archivePath.isEmpty()) return false;
    if (!UnpackArchive(archivePath, member, destFolder, key)) return false;
    *found = ResolveNoCase(destFolder, member);
    if (!found->isEmpty()) return true;
    // The stored name differs from the archive's own spelling (a name read as CP850, or one
    // holding "\"): unpack the whole archive, normalised, and look again.
    destFolder = UnpackWhole(archivePath, FolderOf(destFolder), key);
    if (destFolder.isEmpty()) return false;
    *found = ResolveNoCase(destFolder, member);
    return !found->isEmpty();
}

qint32 clsFileManager::ScanFolder(const QString& folder, QString chain, int flags)
{
    qint32 result = 0;
    const auto gather = [&result](qint32 r) {
        // A member that was added wins over members that were stored already.
        if (result == 0 || (result < 0 && r > 0)) result = r;
    };
    QString error;
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, entries, &error)) {
        Q_EMIT ShowMessage(Translate(QStringLiteral("Error Archiv-File-Scan: "))
                               + FailureText(QStringLiteral("Fehler beim Lesen des Ordners: "), error),
                           -1);
        return 0;
    }
    const UnpackAhead::Group ahead = UnpackAheadOf(entries, true, chain, flags);
    for (const FolderEntry& e : entries) {
        if (WriteFailed() || mbStopped) break;
        if (e.isLink) continue;  // never followed
        const QString& path = e.path;
        const QString memberChain = MemberChain(chain, e.name);
        // An archive can hold tens of thousands of members: the job window stays answerable,
        // and a stop takes effect at the next member.
        if (BetweenMembers && !BetweenMembers(mtArchivePath + QLatin1Char('\\') + memberChain)) {
            mbStopped = true;
            if (mtPartArchive.isEmpty()) mtPartArchive = mtArchivePath;
            break;
        }
        if (!e.isFolder) {
            mtUnpackPath = memberChain;
            gather(LoadFile(e.name, path, flags, memberChain, true, 0));
        } else if (!e.name.startsWith(QLatin1Char('.')) && !mUnpackFolders.contains(path)) {
            // Unpack folders of nested archives are covered by those archives' own scans.
            mtUnpackPath = memberChain;
            gather(ScanFolder(path, memberChain, flags));
        }
    }
    return result;
}

QString clsFileManager::ExtractFileFromArchiv(const QString& tFilename,
                                              const QString& tUnpackedPath,
                                              const QString& tArchivPath)
{
    Q_UNUSED(tFilename);
    QStringList parts = tUnpackedPath.split(QLatin1Char('\\'));
    for (const QString& p : parts)
        if (p.isEmpty() || p == QLatin1String(".") || p == QLatin1String("..") ||
            p.contains(QLatin1Char('/')))
            return QString();
    // The stored path must name the outermost archive: every later element is looked up
    // below that archive's unpack folder, never on the disk outside it.
    if (!IsArchiveName(QFileInfo(tArchivPath).fileName())) return QString();
    parts.prepend(QFileInfo(tArchivPath).fileName());

    QString key, folder, archive, archiveKey, relative;
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        key = i == 0 ? tArchivPath : key + QLatin1Char('\\') + part;
        relative = relative.isEmpty() ? part : relative + QLatin1Char('/') + part;
        if (i == parts.size() - 1) {
            QString found = ResolveNoCase(folder, relative);
            if (found.isEmpty() && !UnpackMember(archive, relative, folder, archiveKey, &found)) {
                ForgetArchive(archiveKey, false);
                return QString();
            }
            return found;
        }
        if (!IsArchiveName(part)) continue;  // a folder inside the current archive

        QString onDisk = i == 0 ? tArchivPath : ResolveNoCase(folder, relative);
        if (const ArchiveFolder* cached = CachedArchive(key)) {
            folder = cached->folder;
        } else {
            if (i > 0 && onDisk.isEmpty()) {
                Q_EMIT ShowMessage(Translate(QStringLiteral("Entpacke Archiv: ")) + key, 0);
                if (!UnpackMember(archive, relative, folder, archiveKey, &onDisk)) {
                    ForgetArchive(archiveKey, false);
                    return QString();
                }
            }
            const QString base = i == 0 ? gtTempPath : FolderOf(onDisk);
            folder = NewUnpackFolder(base, key, false);
            CreateFolder(folder);
        }
        archive = onDisk;
        archiveKey = key;
        relative.clear();
    }
    return QString();
}

} // namespace tv
