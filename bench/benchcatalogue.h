#pragma once

// Generated catalogue rows for the benchmarks: file names as collectors keep them ("Boulder
// Dash (1984)(First Star)[a2].atr"), paths in lettered folders and inside ZIP collections,
// every type the catalogue shows, categories and start dates. The same seed gives the same
// rows on every run, so figures of two runs compare.

#include "platform/db/database.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

struct BenchFile {
    QString name, path, unpack;
    int type = 0, size = 0, category = 0;  // category 0: none
    double created = 0, started = 0;       // date serials; started 0: never started
    int count = 0;                         // start count
};

class BenchFileGenerator {
public:
    explicit BenchFileGenerator(int categories) : categories_(categories) {}

    // File number n (from 1): every third one lies in a ZIP collection, every fourth has no
    // category, every fifth was started.
    BenchFile next(int n)
    {
        BenchFile f;
        const int e = int(rng_.bounded(6));
        f.name = QStringLiteral("%1 (%2)(%3)%4.%5")
                     .arg(titles_[int(rng_.bounded(titles_.size()))])
                     .arg(1979 + int(rng_.bounded(15)))
                     .arg(publishers_[int(rng_.bounded(publishers_.size()))],
                          n % 7 == 0 ? QStringLiteral("[a%1]").arg(n % 5) : QString(), extensions_[e]);
        const QChar letter(QLatin1Char(char('A' + n % 26)));
        if (n % 3 == 0) {
            f.path = QStringLiteral("/home/atari/Sammlung/Archive/Collection %1.zip").arg(n / 40);
            f.unpack = QStringLiteral("Disk %1\\%2").arg(n % 40).arg(f.name);
        } else {
            f.path = QStringLiteral("/home/atari/Sammlung/%1/%2/%3").arg(letter).arg(n).arg(f.name);
        }
        f.type = kTypes[e];
        f.size = 1024 + int(rng_.bounded(180000));
        f.category = n % 4 == 0 ? 0 : 1 + int(rng_.bounded(categories_));
        f.created = 44000 + n / 100.0;
        f.started = n % 5 == 0 ? 45000 + rng_.bounded(700) + rng_.bounded(86400) / 86400.0 : 0;
        f.count = f.started > 0 ? 1 + int(rng_.bounded(30)) : 0;
        return f;
    }

    // A category name as collectors sort their files: a genre with a number.
    static QString categoryName(int id)
    {
        static const char* const genres[] = {"Action", "Adventure", "Demos", "Utilities", "Sport",
                                             "Strategie", "Musik", "Grafik", "Lernen", "Magazine"};
        return QStringLiteral("%1 %2").arg(QLatin1String(genres[id % 10])).arg(id / 10 + 1);
    }

private:
    static constexpr int kTypes[6] = {1, 11, 2, 4, 9, 18};
    int categories_;
    QRandomGenerator rng_{20261209};
    QStringList titles_ = {
        QStringLiteral("Boulder Dash"), QStringLiteral("River Raid"), QStringLiteral("Star Raiders"),
        QStringLiteral("Ballblazer"), QStringLiteral("Rescue on Fractalus"), QStringLiteral("Alternate Reality"),
        QStringLiteral("Dropzone"), QStringLiteral("Encounter"), QStringLiteral("Spelunker"), QStringLiteral("Bruce Lee"),
        QStringLiteral("Fort Apocalypse"), QStringLiteral("Miner 2049er"), QStringLiteral("Jumpman"),
        QStringLiteral("Caverns of Mars"), QStringLiteral("Blue Max"), QStringLiteral("Archon"),
        QStringLiteral("M.U.L.E."), QStringLiteral("Zaxxon"), QStringLiteral("Pitfall II"),
        QStringLiteral("Koronis Rift"), QStringLiteral("Mercenary"), QStringLiteral("Draconus"),
        QStringLiteral("Über den Wolken"), QStringLiteral("Ärger im Labor"), QStringLiteral("Pac-Man")};
    QStringList publishers_ = {QStringLiteral("Atari"), QStringLiteral("Activision"), QStringLiteral("Synapse"),
                               QStringLiteral("Epyx"), QStringLiteral("Lucasfilm"), QStringLiteral("Datasoft"),
                               QStringLiteral("Firebird"), QStringLiteral("Kingsoft")};
    QStringList extensions_ = {QStringLiteral("atr"), QStringLiteral("xex"), QStringLiteral("com"),
                               QStringLiteral("cas"), QStringLiteral("bin"), QStringLiteral("txt")};
};

// Binds a generated file to the nine parameters of the benchmarks' MainFiles insert (tFile, tPath,
// tUnpackPath, iFileType, lSize, Category_ID, tsCreated, tsLastStarted, lStartCount).
inline void BindBenchFile(tv::QueryDef& insert, const BenchFile& f)
{
    using tv::Variant;
    insert.Parameters(0).Value = f.name;
    insert.Parameters(1).Value = f.path;
    insert.Parameters(2).Value = f.unpack.isEmpty() ? Variant::null() : Variant(f.unpack);
    insert.Parameters(3).Value = int16_t(f.type);
    insert.Parameters(4).Value = int32_t(f.size);
    insert.Parameters(5).Value = f.category ? Variant(int32_t(f.category)) : Variant::null();
    insert.Parameters(6).Value = Variant::fromDate(f.created);
    insert.Parameters(7).Value = f.started > 0 ? Variant::fromDate(f.started) : Variant::null();
    insert.Parameters(8).Value = f.count ? Variant(int32_t(f.count)) : Variant::null();
}
