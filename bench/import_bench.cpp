// Imports a generated folder of 10,000 files (every type; 1,000 of them inside 100 ZIP
// archives, every fifth archive holding a nested ZIP) into a new catalogue, and compares
// the time with its reference: plain 7za runs over the same archives plus raw SQLite
// inserts of the same rows.

#include "catalogue/core/modglobals.h"
#include "catalogue/core/modmain.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/import/filetype.h"
#include "catalogue/import/unpacker.h"
#include "platform/gui/msgbox.h"
#include "platform/system/process.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kPlainFiles = 9000;
constexpr int kArchives = 100;
constexpr int kFilesPerArchive = 10;
constexpr int kRuns = 3;

const char* const kExtensions[] = {"ATR", "COM", "EXE", "CAS", "PRO", "DCM", "BAS", "XFD", "BIN", "ROM",
                                   "XEX", "TXT", "NFO", "DIZ", "PDF", "BMP", "GIF", "JPG", "PNG", "TIFF"};

struct Row {
    QString name, path, chain;
    int type;
    qint64 size;
};

struct Collection {
    QString root;
    std::vector<QString> archives;                   // outer archives
    std::vector<std::pair<int, QString>> nested;     // archive index, nested member name
    std::vector<Row> rows;                           // what the import catalogues
};

QByteArray Content(int n, const char* ext)
{
    QByteArray data(200 + (n * 37) % 1800, char('a' + n % 26));
    if (qstrcmp(ext, "ATR") == 0) {
        data[0] = char(0x96);
        data[1] = char(0x02);
    }
    return data;
}

QString WriteOne(const QString& folder, int n)
{
    const char* ext = kExtensions[n % std::size(kExtensions)];
    const QString name = QStringLiteral("F%1.%2").arg(n, 5, 10, QLatin1Char('0')).arg(QLatin1String(ext));
    QDir().mkpath(folder);
    QFile f(folder + QLatin1Char('/') + name);
    if (!f.open(QIODevice::WriteOnly)) std::abort();
    f.write(Content(n, ext));
    return name;
}

bool Zip(const QString& archive, const QString& folder)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral("zip"), {QStringLiteral("-q"), QStringLiteral("-r"), archive, QStringLiteral(".")});
    return p.waitForFinished(60000) && p.exitCode() == 0;
}

Collection Generate(const QString& root)
{
    Collection c;
    c.root = root + QStringLiteral("/files");
    int n = 0;
    for (; n < kPlainFiles; ++n) {
        const QString folder = c.root + QStringLiteral("/D%1").arg(n / 300);
        const QString name = WriteOne(folder, n);
        const char* ext = kExtensions[n % std::size(kExtensions)];
        c.rows.push_back({name, folder + '/' + name, QString(), tv::FileTypeOfExtension(QLatin1String(ext)),
                          Content(n, ext).size()});
    }
    for (int a = 0; a < kArchives; ++a) {
        const QString src = root + QStringLiteral("/src%1").arg(a);
        const bool nested = a % 5 == 0;
        const QString archive = c.root + QStringLiteral("/Z/Z%1.ZIP").arg(a, 3, 10, QLatin1Char('0'));
        QDir().mkpath(c.root + QStringLiteral("/Z"));
        for (int i = 0; i < kFilesPerArchive; ++i, ++n) {
            const bool inner = nested && i >= kFilesPerArchive / 2;
            const QString name = WriteOne(src + (inner ? QStringLiteral("/in") : QString()), n);
            const char* ext = kExtensions[n % std::size(kExtensions)];
            c.rows.push_back({name, archive, (inner ? QStringLiteral("NEST.ZIP\\") : QString()) + name,
                              tv::FileTypeOfExtension(QLatin1String(ext)), Content(n, ext).size()});
        }
        if (nested) {
            if (!Zip(src + QStringLiteral("/NEST.ZIP"), src + QStringLiteral("/in"))) std::abort();
            QDir(src + QStringLiteral("/in")).removeRecursively();
            c.nested.push_back({a, QStringLiteral("NEST.ZIP")});
        }
        if (!Zip(archive, src)) std::abort();
        c.archives.push_back(archive);
    }
    return c;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Plain 7za runs: every outer archive, then every nested one from the unpacked copy.
double Time7za(const Collection& c, const QString& scratch)
{
    QElapsedTimer t;
    t.start();
    for (size_t i = 0; i < c.archives.size(); ++i) {
        const QString dest = scratch + QStringLiteral("/R%1").arg(i);
        QDir().mkpath(dest);
        tv::UnpackCommand cmd = tv::MakeUnpackCommand(c.archives[i], QString(), dest);
        if (tv::RunUnpacker(cmd, dest, 600000) != tv::UnpackRun::Done) std::abort();
        for (const auto& [index, member] : c.nested)
            if (size_t(index) == i) {
                const QString inner = dest + QStringLiteral("/N");
                QDir().mkpath(inner);
                cmd = tv::MakeUnpackCommand(dest + '/' + member, QString(), inner);
                if (tv::RunUnpacker(cmd, inner, 600000) != tv::UnpackRun::Done) std::abort();
            }
    }
    return t.elapsed() / 1000.0;
}

} // namespace
