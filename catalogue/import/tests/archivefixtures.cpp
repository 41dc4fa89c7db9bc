#include "archivefixtures.h"

#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modmain.h"
#include "catalogue/import/frmprocess.h"
#include "platform/gui/msgbox.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

namespace tv::test {

namespace {

quint32 Crc32(const QByteArray& data)
{
    static quint32 table[256] = {};
    if (table[1] == 0)
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
    quint32 crc = 0xFFFFFFFFu;
    for (unsigned char b : data) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void Put16(QByteArray& out, quint16 v) { out.append(char(v & 0xFF)).append(char(v >> 8)); }
void Put32(QByteArray& out, quint32 v)
{
    Put16(out, quint16(v & 0xFFFF));
    Put16(out, quint16(v >> 16));
}

// A RAR block: CRC16 (low half of the CRC32 of everything after it), type, flags, size.
QByteArray RarBlock(quint8 type, quint16 flags, const QByteArray& body)
{
    QByteArray head;
    head.append(char(type));
    Put16(head, flags);
    Put16(head, quint16(7 + body.size()));
    head.append(body);
    QByteArray block;
    Put16(block, quint16(Crc32(head) & 0xFFFF));
    return block + head;
}

bool Save(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

bool Run(const QString& program, const QStringList& args, const QString& cwd)
{
    QProcess p;
    p.setWorkingDirectory(cwd);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QStringList EntriesOf(const QString& folder)
{
    QStringList names;
    for (const QString& n : QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        names << n;
    return names;
}

} // namespace

bool WriteStoredRar(const QString& path, const std::vector<RawMember>& members)
{
    QByteArray out("Rar!\x1a\x07\x00", 7);
    QByteArray main;
    Put16(main, 0);
    Put32(main, 0);
    out += RarBlock(0x73, 0, main);
    for (const RawMember& m : members) {
        const QByteArray data = m.folder ? QByteArray() : m.data;
        QByteArray body;
        Put32(body, quint32(data.size()));  // packed size
        Put32(body, quint32(data.size()));  // unpacked size
        body.append(char(2));                // host: the old desktop platform, "\" separators
        Put32(body, Crc32(data));
        Put32(body, 0x5A210000);             // DOS time stamp
        body.append(char(20));               // version needed
        body.append(char(0x30));             // method: stored
        Put16(body, quint16(m.name.size()));
        Put32(body, m.folder ? 0x10 : 0x20);  // attributes: folder / archive
        body.append(m.name);
        const quint16 flags = 0x8000 | (m.folder ? 0x00E0 : 0);
        out += RarBlock(0x74, flags, body) + data;
    }
    out += RarBlock(0x7B, 0x4000, QByteArray());
    return Save(path, out);
}

bool WriteStoredZip(const QString& path, const std::vector<RawMember>& members)
{
    QByteArray out, central;
    for (const RawMember& m : members) {
        const QByteArray data = m.folder ? QByteArray() : m.data;
        const quint32 offset = quint32(out.size());
        const quint32 crc = Crc32(data);
        QByteArray common;
        Put16(common, 10);  // version needed
        Put16(common, 0);   // flags
        Put16(common, 0);   // stored
        Put32(common, 0x5A210000);
        Put32(common, crc);
        Put32(common, quint32(data.size()));
        Put32(common, quint32(data.size()));
        Put16(common, quint16(m.name.size()));
        Put16(common, 0);  // extra
        Put32(out, 0x04034b50);
        out += common + m.name + data;
        const quint32 mode = m.symlink ? 0120777 : m.folder ? 040755 : 0100000 | (m.mode ? m.mode : 0644);
        Put32(central, 0x02014b50);
        Put16(central, 0x031E);  // made by: Unix
        central += common;
        Put16(central, 0);  // comment
        Put16(central, 0);  // disk
        Put16(central, 0);  // internal attributes
        Put32(central, mode << 16 | (m.folder ? 0x10 : 0));
        Put32(central, offset);
        central += m.name;
    }
    const quint32 centralOffset = quint32(out.size());
    out += central;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, quint16(members.size()));
    Put16(out, quint16(members.size()));
    Put32(out, quint32(central.size()));
    Put32(out, centralOffset);
    Put16(out, 0);
    return Save(path, out);
}

bool MakeZip(const QString& archive, const QString& folder, bool store)
{
    QStringList args{QStringLiteral("-q"), QStringLiteral("-r"), QStringLiteral("-X")};
    if (store) args << QStringLiteral("-0");
    args << archive;
    return Run(QStringLiteral("zip"), args + EntriesOf(folder), folder);
}

bool Make7z(const QString& archive, const QString& folder)
{
    return Run(QStringLiteral("7za"),
               QStringList{QStringLiteral("a"), QStringLiteral("-bd"), archive, QStringLiteral("--")} +
                   EntriesOf(folder),
               folder);
}

bool Make7zWithPassword(const QString& archive, const QString& folder, bool hideNames)
{
    QStringList args{QStringLiteral("a"), QStringLiteral("-bd"), QStringLiteral("-pgeheim")};
    if (hideNames) args << QStringLiteral("-mhe=on");
    return Run(QStringLiteral("7za"), args << archive << QStringLiteral("--") << EntriesOf(folder), folder);
}

bool MakeCab(const QString& archive, const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files << QDir(folder).relativeFilePath(it.next());
    return Run(QStringLiteral("gcab"), QStringList{QStringLiteral("-c"), QStringLiteral("-z"), archive} + files,
               folder);
}

bool MakeZipBomb(const QString& archive, int files, int megabytesEach)
{
    QTemporaryDir scratch;
    for (int i = 1; i <= files; ++i)
        if (!Save(scratch.path() + QStringLiteral("/ZERO%1.BIN").arg(i), QByteArray(megabytesEach * 1048576, '\0')))
            return false;
    QDir().mkpath(QFileInfo(archive).absolutePath());
    return Run(QStringLiteral("7za"),
               QStringList{QStringLiteral("a"), QStringLiteral("-tzip"), QStringLiteral("-mx=9"), QStringLiteral("-bd"),
                           archive, QStringLiteral("--")} +
                   EntriesOf(scratch.path()),
               scratch.path());
}

QByteArray ListingThroughReal7za(const QByteArray& script)
{
    const qsizetype firstLine = script.indexOf('\n') + 1;
    return script.left(firstLine) + "[ \"$1\" = l ] && exec /usr/bin/7za \"$@\"\n" + script.mid(firstLine);
}

std::unique_ptr<frmProcess> LoadedJob(clsFileManager& fm, int action, const QString& startPath)
{
    gcolWindows.clear();
    auto job = std::make_unique<frmProcess>();
    job->Action = action;
    job->StartPath = startPath;
    job->mFileManager = &fm;
    job->Form_Load();
    return job;
}

bool WriteFile(const QString& path, const QByteArray& data) { return Save(path, data); }

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray AtrImage(int size, char fill)
{
    QByteArray a(size, fill);
    a[0] = char(0x96);
    a[1] = char(0x02);
    return a;
}

QByteArray Compressible(const QByteArray& seed, int size)
{
    QByteArray a;
    while (a.size() < size) a += seed;
    return a.left(size);
}

AppFolder::AppFolder(bool with7za, bool withUnrar)
{
    InitProgramPaths(dir_.path());
    InitProgramValues();
    gtImportFiles = kDefaultImportFiles;
    gtSkipZipSize = kDefaultSkipZipSize;
    QDir().mkpath(gtTempPath);
    QDir().mkpath(gtToolsPath);
    if (with7za) QFile::link(QStringLiteral("/usr/bin/7za"), gtToolsPath + QStringLiteral("7za"));
    if (withUnrar) QFile::link(QStringLiteral("/usr/bin/unrar"), gtToolsPath + QStringLiteral("unrar"));
    SetMsgBoxHook([this](const QString& prompt, int, const QString& title) {
        boxes << prompt;
        titles << title;
        return answer;
    });
    DbError error;
    QDir().mkpath(path(QStringLiteral("db")));
    goDB = CreateCatalogue(path(QStringLiteral("db/Test.MDB")), QByteArray(), &error);
}

AppFolder::~AppFolder()
{
    CloseDB();
    SetMsgBoxHook(nullptr);
}

QString AppFolder::path(const QString& relative) const
{
    return relative.isEmpty() ? dir_.path() : dir_.path() + QLatin1Char('/') + relative;
}

} // namespace tv::test

namespace tv::test {

QString MakeNestedRar(const QString& folder, std::vector<NestedMember>* members)
{
    const QString work = folder + QStringLiteral("/work");
    const auto file = [&](const QString& rel, const QByteArray& data) {
        WriteFile(work + QLatin1Char('/') + rel, data);
        return data;
    };
    const QByteArray game = AtrImage(720, 'g');
    const QByteArray readme = Compressible("read me ");
    const QByteArray bas = Compressible("10 PRINT ");
    const QByteArray dash = Compressible("dash ");
    const QByteArray manual = Compressible("manual page ", 70000);
    const QByteArray deep = file(QStringLiteral("inner/DEEP.XEX"), Compressible("deep xex "));
    const QByteArray pic = file(QStringLiteral("pack/SUB/PIC.PNG"), Compressible("picture "));
    const QByteArray at = file(QStringLiteral("pack/@LIST.TXT"), Compressible("at list "));
    file(QStringLiteral("pack/BAD.ATR"), Compressible("not an atr "));
    const QByteArray com = file(QStringLiteral("tools/T.COM"), Compressible("com file "));
    const QByteArray xfd = file(QStringLiteral("cab/D.XFD"), Compressible("xfd disk "));
    // unrar-free takes a RAR for a ZIP when it finds a ZIP's end record in its last 64 KiB:
    // a large member after the ZIP keeps that record out of reach.
    if (!MakeZip(work + QStringLiteral("/pack/INNER.ZIP"), work + QStringLiteral("/inner"), true) ||
        !MakeZip(work + QStringLiteral("/PACK.ZIP"), work + QStringLiteral("/pack")) ||
        !Make7z(work + QStringLiteral("/TOOLS.7Z"), work + QStringLiteral("/tools")) ||
        !MakeCab(work + QStringLiteral("/DISKS.CAB"), work + QStringLiteral("/cab")))
        return QString();
    const QString rar = folder + QStringLiteral("/in/OUTER.RAR");
    if (!WriteStoredRar(rar, {{"GAME.ATR", game},
                              {"DOCS", {}, true},
                              {"DOCS\\README.TXT", readme},
                              {"A2\\X.BAS", bas},
                              {"-R.TXT", dash},
                              {"PACK.ZIP", ReadFile(work + QStringLiteral("/PACK.ZIP"))},
                              {"TOOLS.7Z", ReadFile(work + QStringLiteral("/TOOLS.7Z"))},
                              {"DISKS.CAB", ReadFile(work + QStringLiteral("/DISKS.CAB"))},
                              {"MANUAL.PDF", manual}}))
        return QString();
    *members = {
        {QStringLiteral("X.BAS"), QStringLiteral("A2\\X.BAS"), bas, 7},
        {QStringLiteral("D.XFD"), QStringLiteral("DISKS.CAB\\D.XFD"), xfd, 8},
        {QStringLiteral("README.TXT"), QStringLiteral("DOCS\\README.TXT"), readme, 18},
        {QStringLiteral("GAME.ATR"), QStringLiteral("GAME.ATR"), game, 1},
        {QStringLiteral("-R.TXT"), QStringLiteral("-R.TXT"), dash, 18},
        {QStringLiteral("MANUAL.PDF"), QStringLiteral("MANUAL.PDF"), manual, 19},
        {QStringLiteral("@LIST.TXT"), QStringLiteral("PACK.ZIP\\@LIST.TXT"), at, 18},
        {QStringLiteral("DEEP.XEX"), QStringLiteral("PACK.ZIP\\INNER.ZIP\\DEEP.XEX"), deep, 11},
        {QStringLiteral("PIC.PNG"), QStringLiteral("PACK.ZIP\\SUB\\PIC.PNG"), pic, 20},
        {QStringLiteral("T.COM"), QStringLiteral("TOOLS.7Z\\T.COM"), com, 2},
    };
    return rar;
}

} // namespace tv::test
