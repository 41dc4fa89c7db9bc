#pragma once

#include "dberror.h"
#include "jetsql.h"
#include "platform/runtime/variant.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3_stmt;

namespace tv {

class DbConnection;

// Reading a large result takes the engine a second or more on a catalogue of a million files,
// and a window whose thread waits that long does not even repaint. With background reads on,
// a read-only query runs to its end on a second connection of the same file, in a thread of
// its own, while the asking thread waits in `wait` (the program's keeps its windows painting).
// A read that ends within `patienceMs` is waited for quietly; `wait` runs only for longer ones
// (with a negative `patienceMs` for every read, however short: tests see what a wait meets).
// Off by default: every read then runs on the asking connection, as it always did.
using ReadWait = std::function<void(const std::function<bool()>& finished)>;
void SetBackgroundReads(ReadWait wait, int patienceMs);
bool BackgroundReadsOn();
// True while a background read is waited for, on the thread that waits.
bool InBackgroundRead();
// Waits until `finished` as a background read is waited for (the program's windows keep
// painting; reads asked for meanwhile run where they are asked); polls without a wait set.
void WaitBeside(const std::function<bool()>& finished);

// While one lives, every read runs on the connection it is asked of: for a job's many small
// lookups, each of which would otherwise cross to the reader thread and back.
class ReadsWhereAsked {
public:
    ReadsWhereAsked();
    ~ReadsWhereAsked();
    ReadsWhereAsked(const ReadsWhereAsked&) = delete;
    ReadsWhereAsked& operator=(const ReadsWhereAsked&) = delete;
};

// Called for each row of a read, on whichever thread steps it; false ends the read early.
using RowSink = std::function<bool(sqlite3_stmt*)>;

// Called when the rows handed over so far are to be forgotten: the read starts again.
using RowsStartOver = std::function<void()>;

// Runs the read-only SQLite text `sqliteText` (the translation `sql` stands for its parameter
// types) with `parameters` to its end, handing each row to `row`. It runs in the background
// when reads may (on, not already waiting, no transaction open on `connection`, whose rows the
// second connection could not see), else on `connection`; and on `connection` again whenever
// the second one cannot prepare the text (an attached or temporary table) or fails while
// reading it, after `startOver` (not after damage, which is the file's, nor once the
// connection closed meanwhile: the read then ends with the second one's error). `row` must
// not touch what the waiting thread may read meanwhile: collect into something of the
// caller's own. `prepared` tells a text the engine refused (error set, no row read) from a
// failure while reading.
DbError ReadRows(DbConnection& connection, const QString& sqliteText, const JetSql& sql,
                 const std::vector<Variant>& parameters, const RowSink& row, const RowsStartOver& startOver,
                 bool* prepared = nullptr);

// Tests: asked on the reader thread before each row a background read steps to; true fails the
// read there, as a disk error would. None by default.
void SetBackgroundRowFault(std::function<bool()> fault);

// The second connection of one connection's background reads, run by the program's one reader
// thread; the connection makes it when it opens or at its first background read, and ends it
// when it closes. Not for other callers.
class BackgroundReader {
public:
    explicit BackgroundReader(const DbConnection& owner);
    ~BackgroundReader();
    BackgroundReader(const BackgroundReader&) = delete;
    BackgroundReader& operator=(const BackgroundReader&) = delete;

    struct Outcome {
        bool ran = false;  // false: the second connection could not open or prepare the text
        DbError error;     // set when it failed while reading the rows
    };
    Outcome run(const QString& sqliteText, const JetSql& sql, const std::vector<Variant>& parameters,
                const RowSink& row);

private:
    struct State;
    // Shared with a run() in progress: closing the connection while a window waits for the
    // read ends the reader, not what the run still touches.
    std::shared_ptr<State> state_;
};

} // namespace tv
