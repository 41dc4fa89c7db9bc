#pragma once

#include "tests/catalogue_rows.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <ostream>
#include <utility>
#include <vector>

// Readable gtest output for Qt texts.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '{' << l.join(QStringLiteral(", ")).toStdString() << '}'; }

namespace tv {
class clsFileManager;
class frmProcess;
}

namespace tv::test {

// One member of an archive written byte by byte. The name is raw bytes, so names that are
// not valid UTF-8, hold "\" or climb with ".." can be written as old or hostile archives
// hold them.
struct RawMember {
    QByteArray name;
    QByteArray data;
    bool folder = false;
    bool symlink = false;  // ZIP only: data is the link target
    quint32 mode = 0;      // ZIP only: Unix permission bits of a file, 0 for rw-r--r--
};

// A stored (uncompressed) RAR 4 archive: marker, main header, one file header with CRCs
// per member, end block.
bool WriteStoredRar(const QString& path, const std::vector<RawMember>& members);
// A stored ZIP archive with Unix attributes (so a member can be a symbolic link).
bool WriteStoredZip(const QString& path, const std::vector<RawMember>& members);

// Archives of a folder's content made by the system's programs: ZIP (deflated) with zip,
// 7Z with 7za, CAB (compressed) with gcab. `store` makes a ZIP without compression.
bool MakeZip(const QString& archive, const QString& folder, bool store = false);
bool Make7z(const QString& archive, const QString& folder);
bool MakeCab(const QString& archive, const QString& folder);
// A 7Z of a folder's content encrypted with a password ("geheim"); `hideNames` encrypts its
// list of members too.
bool Make7zWithPassword(const QString& archive, const QString& folder, bool hideNames);

// A stand-in unpacker's shell script whose listings ("7za l ...") go to the real 7za, so
// that only its unpacking differs; `script` begins with its "#!" line.
QByteArray ListingThroughReal7za(const QByteArray& script);

// A ZIP of `files` files of `megabytesEach` MiB of zeros, deflated by 7za to a few KiB: far
// more unpacked than packed.
bool MakeZipBomb(const QString& archive, int files, int megabytesEach);

// The job window loaded for `action` on `fm` (its placement list cleared first), not yet run:
// Form_Activate runs the job.
std::unique_ptr<frmProcess> LoadedJob(clsFileManager& fm, int action, const QString& startPath);

// Writes a file, creating its folders.
bool WriteFile(const QString& path, const QByteArray& data);
QByteArray ReadFile(const QString& path);
// An ATR image's first bytes: the signature 0x96 0x02, then `size` - 2 bytes of content.
QByteArray AtrImage(int size = 400, char fill = 'a');
// Content that compresses well, so zip never stores it.
QByteArray Compressible(const QByteArray& seed, int size = 600);

// A program folder in a temporary folder: gtAppPath and the values derived from it point
// there, "Temp" exists, "Tools" holds links to the system's unpackers unless asked not to,
// and an empty catalogue "db/Test.MDB" is open as goDB. Message boxes are answered by `answer`
// and recorded.
class AppFolder {
public:
    explicit AppFolder(bool with7za = true, bool withUnrar = true);
    ~AppFolder();
    QString path(const QString& relative = QString()) const;
    QStringList boxes;        // prompts of the message boxes shown
    QStringList titles;       // and their titles
    int answer = 6;           // vbYes
private:
    QTemporaryDir dir_;
};

// The rows of a query on goDB, every value as display text, Null as "<Null>".

} // namespace tv::test

namespace tv::test {

// One file of the nested fixture: its name, member chain and content.
struct NestedMember {
    QString name;
    QString chain;
    QByteArray data;
    int fileType;
};

// OUTER.RAR, written byte by byte, holding a plain ATR, a folder, a real folder named "A2",
// a member beginning with "-", a ZIP with a ZIP inside (and a member beginning with "@"),
// a 7Z and a CAB. Returns the archive's path; `members` gets the files an import catalogues.
QString MakeNestedRar(const QString& folder, std::vector<NestedMember>* members);

} // namespace tv::test
