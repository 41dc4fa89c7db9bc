// Imports a generated folder of 10,000 files (every type; 1,000 of them inside 100 ZIP
// archives, every fifth archive holding a nested ZIP) into a new catalogue through the
// add-folder job in its window, shown, which is what the user waits for, and compares the time
// with its reference: plain 7za runs over the same archives, as many at once as the import
// runs (the unpackers ahead and the one it waits for; each outer archive, then its nested one
// from the unpacked copy), plus the same rows inserted straight through the engine's C
// interface into the same schema (its indexes with the catalogue's text order) in one
// transaction, each after the lookup the import makes to find a file it holds already, plus a
// plain walk over the folder (each file's size and each ATR image's signature, as the import
// reads them). Each of five runs times the job and then
// its reference, so that both see the machine in the same state; the ratio is taken per run,
// and its median is printed with its spread (the lowest and the highest of the five), as are
// the times.
//
// Then single archives of 10,000 and 50,000 tiny members, each against the same number of
// plain files in a folder and against its reference (one 7za run, the walk over what it
// unpacked and the raw inserts): an archive's members cost what plain files cost.

#include "catalogue/core/modglobals.h"
#include "catalogue/core/modmain.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/import/filetype.h"
#include "catalogue/import/frmprocess.h"
#include "catalogue/import/unpackahead.h"
#include "catalogue/import/unpacker.h"
#include "platform/db/backgroundreads.h"
#include "platform/gui/msgbox.h"
#include "platform/system/files.h"
#include "platform/system/process.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <vector>

namespace {

constexpr int kPlainFiles = 9000;
constexpr int kArchives = 100;
constexpr int kFilesPerArchive = 10;
constexpr int kRuns = 5;
constexpr int kMemberRuns = 3;

const char* const kExtensions[] = {"ATR", "COM", "EXE", "CAS", "PRO", "DCM", "BAS", "XFD", "BIN", "ROM",
                                   "XEX", "TXT", "NFO", "DIZ", "PDF", "BMP", "GIF", "JPG", "PNG", "TIFF"};

struct Row {
    QString name, path, chain;
    int type;
    qint64 size;
};

struct BenchFiles {
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

BenchFiles Generate(const QString& root)
{
    BenchFiles c;
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

// Processor seconds of this process (`who` RUSAGE_SELF) or of its finished children
// (RUSAGE_CHILDREN): the import's own work apart from the unpacker's.
double CpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The walk every import makes over its folder, the plainest way: each file's size, and the
// signature of each ATR image.
double TimeFileWalk(const QString& root)
{
    namespace fs = std::filesystem;
    QElapsedTimer t;
    t.start();
    std::uintmax_t total = 0;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(root.toStdString())) {
        if (!e.is_regular_file()) continue;
        total += e.file_size();
        if (e.path().extension() == ".ATR") {
            char signature[2] = {};
            std::FILE* f = std::fopen(e.path().c_str(), "rb");
            if (f) {
                total += std::fread(signature, 1, 2, f);
                std::fclose(f);
            }
        }
    }
    if (total == 0) std::abort();
    return t.elapsed() / 1000.0;
}

// One plain 7za run, in a thread of its own.
void Unpack7za(const QString& archive, const QString& dest)
{
    QDir().mkpath(dest);
    const tv::UnpackCommand cmd = tv::MakeUnpackCommand(archive, QString(), dest);
    const std::atomic<bool> never{false};
    int exitCode = -1;
    if (tv::RunInThread(cmd.program, cmd.arguments, 600000, never, &exitCode, dest) != 0 || exitCode != 0) std::abort();
}

// Unpackers the import runs at once: those ahead, and the one it waits for.
int ImportParallelism() { return tv::UnpackAhead::RunningLimit() + 1; }

// Plain 7za runs, as many at once as the import runs: every outer archive, then every nested
// one from the unpacked copy.
double Time7za(const BenchFiles& c, const QString& scratch)
{
    QElapsedTimer t;
    t.start();
    std::atomic<size_t> next{0};
    const auto worker = [&] {
        for (size_t i; (i = next++) < c.archives.size();) {
            const QString dest = scratch + QStringLiteral("/R%1").arg(i);
            Unpack7za(c.archives[i], dest);
            for (const auto& [index, member] : c.nested)
                if (size_t(index) == i) Unpack7za(dest + '/' + member, dest + QStringLiteral("/N"));
        }
    };
    std::vector<std::future<void>> workers;
    for (int w = 0; w < ImportParallelism(); ++w) workers.push_back(std::async(std::launch::async, worker));
    for (auto& w : workers) w.get();
    return t.elapsed() / 1000.0;
}

} // namespace

#include "catalogue/core/moddatabase.h"
#include "platform/db/jetfunctions.h"
#include "platform/runtime/textorder.h"

#include <sqlite3.h>
// SQLite's own SQLITE_TRANSIENT macro is an old-style cast; the same value, spelled for C++.
static const sqlite3_destructor_type kSqliteTransient =
    reinterpret_cast<sqlite3_destructor_type>(static_cast<intptr_t>(-1));

namespace {

const QByteArray kBenchKey("import-bench-key");

// A program folder with the unpacker and a new, open catalogue.
void NewCatalogue(const QString& appFolder)
{
    tv::InitProgramPaths(appFolder);
    tv::InitProgramValues();
    QDir().mkpath(tv::gtTempPath);
    QDir().mkpath(tv::gtToolsPath);
    QFile::link(QStringLiteral("/usr/bin/7za"), tv::gtToolsPath + QStringLiteral("7za"));
    tv::DbError error;
    tv::goDB = tv::CreateCatalogue(appFolder + QStringLiteral("/Bench.MDB"), kBenchKey, &error);
    if (!tv::goDB) std::abort();
    // As the program reads the catalogue it shows: long reads beside the window.
    tv::UseBackgroundReads();
    tv::goDB->SetReadInBackground(true);
}

// The catalogue's order of texts, which its name indexes keep.
int TextOrder(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    return tv::CompareTextUtf8(static_cast<const char*>(a), lengthA, static_cast<const char*>(b), lengthB);
}

// The same rows written straight into the same schema in one transaction, with the pragmas
// the catalogue uses; before each, the lookup by path (and member chain) the import makes to
// find a file it holds already.
double TimeRawInserts(const std::vector<Row>& rows, const QString& file)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(file.toUtf8().constData(), &db) != SQLITE_OK) std::abort();
    sqlite3_key(db, kBenchKey.constData(), int(kBenchKey.size()));
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(db, tv::kTextCollation, SQLITE_UTF8, nullptr, TextOrder, nullptr);
    for (const char* ddl : tv::kCatalogueSchema)
        if (sqlite3_exec(db, ddl, nullptr, nullptr, nullptr) != SQLITE_OK) std::abort();
    sqlite3_stmt* findFile = nullptr;
    sqlite3_stmt* findMember = nullptr;
    sqlite3_prepare_v2(db, "SELECT ID FROM MainFiles WHERE tPath=?1 LIMIT 1", -1, &findFile, nullptr);
    sqlite3_prepare_v2(db, "SELECT ID FROM MainFiles WHERE tPath=?1 AND tUnpackPath=?2 LIMIT 1", -1, &findMember,
                       nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO MainFiles (ID, tFile, tPath, iFileType, lSize, tsCreated, tUnpackPath)"
                       " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                       -1, &insert, nullptr);
    QElapsedTimer t;
    t.start();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    int id = 0;
    for (const Row& r : rows) {
        const QByteArray name = r.name.toUtf8(), path = r.path.toUtf8(), chain = r.chain.toUtf8();
        sqlite3_stmt* find = chain.isEmpty() ? findFile : findMember;
        sqlite3_bind_text(find, 1, path.constData(), int(path.size()), kSqliteTransient);
        if (!chain.isEmpty()) sqlite3_bind_text(find, 2, chain.constData(), int(chain.size()), kSqliteTransient);
        if (sqlite3_step(find) != SQLITE_DONE) std::abort();  // none held yet
        sqlite3_reset(find);
        sqlite3_bind_int(insert, 1, ++id);
        sqlite3_bind_text(insert, 2, name.constData(), int(name.size()), kSqliteTransient);
        sqlite3_bind_text(insert, 3, path.constData(), int(path.size()), kSqliteTransient);
        sqlite3_bind_int(insert, 4, r.type);
        sqlite3_bind_int64(insert, 5, r.size);
        sqlite3_bind_double(insert, 6, 46000.5);
        if (chain.isEmpty()) sqlite3_bind_null(insert, 7);
        else sqlite3_bind_text(insert, 7, chain.constData(), int(chain.size()), kSqliteTransient);
        if (sqlite3_step(insert) != SQLITE_DONE) std::abort();
        sqlite3_reset(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const double seconds = t.elapsed() / 1000.0;
    sqlite3_finalize(insert);
    sqlite3_finalize(findFile);
    sqlite3_finalize(findMember);
    sqlite3_close(db);
    return seconds;
}

// What the user waits for: the add-folder job in its window, shown, with its list of added
// files and its running count, on a new catalogue.
double TimeJobWindow(const QString& folder, int expected, const QString& appFolder)
{
    NewCatalogue(appFolder);
    tv::clsFileManager fm;
    fm.InitCount();
    // The time the import takes is measured, also on a busy machine where unpacking 50,000
    // members outlasts the program's time-out.
    fm.lUnpackTimeoutMs = 600000;
    tv::frmProcess job;
    job.Action = tv::frmProcess::actAddFolder;
    job.StartPath = folder;
    job.mFileManager = &fm;
    job.Form_Load();
    job.show();
    QElapsedTimer t;
    t.start();
    job.Form_Activate();
    const double seconds = t.elapsed() / 1000.0;
    job.hide();
    tv::CloseDB();
    if (fm.FileCount != expected || fm.lAddedFiles != expected) {
        std::fprintf(stderr, "the job catalogued %d of %d files\n", fm.FileCount, expected);
        std::abort();
    }
    return seconds;
}

// A folder of `count` tiny programs, and a ZIP of the same files as members (stored, as
// small members mostly are).
struct MemberFiles {
    QString plainFolder;
    QString archiveFolder;
    QString archive;
    std::vector<Row> rows;  // the archive's rows
};

MemberFiles GenerateMembers(const QString& root, int count)
{
    MemberFiles m;
    m.plainFolder = root + QStringLiteral("/plain%1").arg(count);
    m.archiveFolder = root + QStringLiteral("/archive%1").arg(count);
    m.archive = m.archiveFolder + QStringLiteral("/M%1.ZIP").arg(count);
    QDir().mkpath(m.plainFolder);
    QDir().mkpath(m.archiveFolder);
    for (int n = 0; n < count; ++n) {
        const QString name = QStringLiteral("P%1.XEX").arg(n, 6, 10, QLatin1Char('0'));
        QFile f(m.plainFolder + QLatin1Char('/') + name);
        if (!f.open(QIODevice::WriteOnly)) std::abort();
        f.write("prog");
        m.rows.push_back({name, m.archive, name, tv::FileTypeOfExtension(QStringLiteral("XEX")), 4});
    }
    QProcess p;
    p.setWorkingDirectory(m.plainFolder);
    p.start(QStringLiteral("zip"), {QStringLiteral("-q"), QStringLiteral("-0"), QStringLiteral("-r"), m.archive, QStringLiteral(".")});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) std::abort();
    return m;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    tv::SetMsgBoxHook([](const QString& prompt, int, const QString&) {
        std::fprintf(stderr, "message box: %s\n", qPrintable(prompt));
        return 6;
    });
    // The median, then the lowest and the highest of the runs.
    const auto spread = [](const char* kind, const QString& name, const std::vector<double>& v, int decimals) {
        const auto [low, high] = std::minmax_element(v.begin(), v.end());
        std::printf("%s %s %.*f\n", kind, qPrintable(name), decimals, Median(v));
        std::printf("%s %s_lowest %.*f\n", kind, qPrintable(name), decimals, *low);
        std::printf("%s %s_highest %.*f\n", kind, qPrintable(name), decimals, *high);
        std::fflush(stdout);
    };
    QTemporaryDir work;
    std::printf("figure import_unpackers_at_once %d\n", ImportParallelism());
    {
        const BenchFiles c = Generate(work.path());
        std::vector<double> job, unpack, inserts, walk, jobSelf, jobChildren, unpackChildren, ratios;
        for (int run = 0; run < kRuns; ++run) {
            const QString dir = work.path() + QStringLiteral("/run%1").arg(run);
            const double self = CpuSeconds(RUSAGE_SELF), children = CpuSeconds(RUSAGE_CHILDREN);
            job.push_back(TimeJobWindow(c.root, int(c.rows.size()), dir + QStringLiteral("/app")));
            jobSelf.push_back(CpuSeconds(RUSAGE_SELF) - self);
            jobChildren.push_back(CpuSeconds(RUSAGE_CHILDREN) - children);
            const double before7za = CpuSeconds(RUSAGE_CHILDREN);
            unpack.push_back(Time7za(c, dir + QStringLiteral("/ref")));
            unpackChildren.push_back(CpuSeconds(RUSAGE_CHILDREN) - before7za);
            inserts.push_back(TimeRawInserts(c.rows, dir + QStringLiteral("/raw.db")));
            walk.push_back(TimeFileWalk(c.root));
            ratios.push_back(job.back() / (walk.back() + unpack.back() + inserts.back()));
        }
        spread("figure", QStringLiteral("import_job_window_10000_files"), job, 3);
        spread("figure", QStringLiteral("import_reference_7za"), unpack, 3);
        spread("figure", QStringLiteral("import_reference_sqlite_inserts"), inserts, 3);
        spread("figure", QStringLiteral("import_reference_file_walk"), walk, 3);
        std::printf("figure import_cpu_program %.3f\n", Median(jobSelf));
        std::printf("figure import_cpu_unpacker %.3f\n", Median(jobChildren));
        std::printf("figure import_reference_cpu_7za %.3f\n", Median(unpackChildren));
        std::printf("rate import_files_per_second %.0f\n", double(c.rows.size()) / Median(job));
        spread("ratio", QStringLiteral("import_vs_reference"), ratios, 2);
    }
    for (const int members : {10000, 50000}) {
        const MemberFiles m = GenerateMembers(work.path(), members);
        std::vector<double> archive, plain, reference, ratios, plainRatios;
        for (int run = 0; run < kMemberRuns; ++run) {
            const QString dir = work.path() + QStringLiteral("/members%1_%2").arg(members).arg(run);
            archive.push_back(TimeJobWindow(m.archiveFolder, members, dir + QStringLiteral("/app")));
            plain.push_back(TimeJobWindow(m.plainFolder, members, dir + QStringLiteral("/plainapp")));
            QElapsedTimer t;
            t.start();
            Unpack7za(m.archive, dir + QStringLiteral("/ref"));
            const double unpacked = t.elapsed() / 1000.0 + TimeFileWalk(dir + QStringLiteral("/ref"));
            reference.push_back(unpacked + TimeRawInserts(m.rows, dir + QStringLiteral("/raw.db")));
            ratios.push_back(archive.back() / reference.back());
            plainRatios.push_back(archive.back() / plain.back());
            QDir(dir).removeRecursively();
        }
        spread("figure", QStringLiteral("import_archive_%1_members").arg(members), archive, 3);
        spread("figure", QStringLiteral("import_plain_%1_files").arg(members), plain, 3);
        spread("figure", QStringLiteral("import_archive_%1_reference").arg(members), reference, 3);
        spread("ratio", QStringLiteral("import_archive_%1_vs_reference").arg(members), ratios, 2);
        spread("ratio", QStringLiteral("import_archive_%1_vs_plain_files").arg(members), plainRatios, 2);
    }
    return 0;
}
