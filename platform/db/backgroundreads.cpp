#include "backgroundreads.h"

#include "connection.h"
#include "engine.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tv {

namespace {

struct Settings {
    ReadWait wait;
    int patienceMs = 0;
};

Settings& settings()
{
    static Settings s;
    return s;
}

// Reads wait one at a time: a read asked for while another is waited for (by a window painting
// meanwhile) runs where it is asked.
int gWaiting = 0;

QByteArray utf8(const QString& s) { return s.toUtf8(); }

// Prepares, binds and steps one text on `db` to its end: the common part of both threads.
// `ran` false: the text could not be prepared there.
DbError stepRows(sqlite3* db, sqlite3_stmt* stmt, const JetSql& sql, const std::vector<Variant>& parameters,
                 const RowSink& row)
{
    BindParameters(stmt, sql, parameters);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        if (!row(stmt)) {
            rc = SQLITE_DONE;
            break;
        }
    DbError error;
    if (rc != SQLITE_DONE) error = DbError{sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db))};
    return error;
}

} // namespace

void SetBackgroundReads(ReadWait wait, int patienceMs)
{
    settings().wait = std::move(wait);
    settings().patienceMs = patienceMs;
}

bool BackgroundReadsOn() { return bool(settings().wait); }

bool InBackgroundRead() { return gWaiting > 0; }

// ---- the reader thread ----

struct BackgroundReader::State {
    const DbConnection& owner;
    std::mutex mutex;
    std::condition_variable changed;
    std::thread thread;
    sqlite3* db = nullptr;  // the worker's; opened by it at its first read
    bool openFailed = false;
    bool stopping = false;
    // The read in hand: set by the asking thread, run by the worker, `done` when it ended.
    struct Task {
        const QString* text = nullptr;
        const JetSql* sql = nullptr;
        const std::vector<Variant>* parameters = nullptr;
        const RowSink* row = nullptr;
        Outcome outcome;
    };
    Task* task = nullptr;
    bool done = false;

    explicit State(const DbConnection& o) : owner(o) {}

    void work()
    {
        // The second connection opens at once: deriving the key from a passphrase takes the
        // engine a while, which this thread spends while the owner still reads its schema.
        openHere();
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || (task && !done); });
            if (stopping) {
                // A read handed over as the connection closes is not run: its asker finds
                // the connection closed.
                if (task && !done) {
                    done = true;
                    changed.notify_all();
                }
                break;
            }
            Task* t = task;
            lock.unlock();
            t->outcome = runHere(*t);
            lock.lock();
            done = true;
            changed.notify_all();
        }
        if (db) sqlite3_close_v2(db);
        db = nullptr;
    }

    void openHere()
    {
        DbError error;
        sqlite3* opened = owner.OpenCompanion(&error);
        std::lock_guard lock(mutex);
        db = opened;
        openFailed = !db;
    }

    Outcome runHere(const Task& t)
    {
        Outcome o;
        if (!db) return o;
        const QByteArray text = utf8(*t.text);
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK || !stmt) {
            sqlite3_finalize(stmt);
            return o;
        }
        // A text the second connection could prepare but would write with is not read here.
        if (!sqlite3_stmt_readonly(stmt)) {
            sqlite3_finalize(stmt);
            return o;
        }
        o.ran = true;
        o.error = stepRows(db, stmt, *t.sql, *t.parameters, *t.row);
        sqlite3_finalize(stmt);
        return o;
    }
};

BackgroundReader::BackgroundReader(const DbConnection& owner) : state_(std::make_shared<State>(owner))
{
    state_->thread = std::thread([s = state_.get()] { s->work(); });
}

BackgroundReader::~BackgroundReader()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
        // A read still running ends at once.
        if (state_->db) sqlite3_interrupt(state_->db);
    }
    state_->changed.notify_all();
    state_->thread.join();
}

BackgroundReader::Outcome BackgroundReader::run(const QString& sqliteText, const JetSql& sql,
                                                const std::vector<Variant>& parameters, const RowSink& row)
{
    const std::shared_ptr<State> keep = state_;
    State& s = *keep;
    State::Task task{&sqliteText, &sql, &parameters, &row, {}};
    const auto finished = [&s] {
        std::lock_guard lock(s.mutex);
        return s.done;
    };
    {
        std::unique_lock lock(s.mutex);
        if (s.openFailed) return {};
        s.task = &task;
        s.done = false;
        s.changed.notify_all();
        // A short read is waited for still: only a long one lets the asking thread do more.
        if (settings().patienceMs >= 0)
            s.changed.wait_for(lock, std::chrono::milliseconds(settings().patienceMs), [&s] { return s.done; });
    }
    if (settings().patienceMs < 0 || !finished()) {
        ++gWaiting;
        settings().wait(finished);
        --gWaiting;
        // The wait returns when the read is done; one that returned early waits still.
        std::unique_lock lock(s.mutex);
        s.changed.wait(lock, [&s] { return s.done; });
    }
    std::lock_guard lock(s.mutex);
    s.task = nullptr;
    return task.outcome;
}

// ---- reads ----

DbError ReadRows(DbConnection& connection, const QString& sqliteText, const JetSql& sql,
                 const std::vector<Variant>& parameters, const RowSink& row, bool* prepared)
{
    if (prepared) *prepared = true;
    if (BackgroundReadsOn() && gWaiting == 0 && connection.IsOpen() && !connection.InTransaction())
        if (BackgroundReader* reader = connection.Reader()) {
            const BackgroundReader::Outcome o = reader->run(sqliteText, sql, parameters, row);
            if (o.ran) return o.error;
        }
    DbError error;
    sqlite3_stmt* stmt = connection.Prepare(sqliteText, &error);
    if (!stmt) {
        if (prepared) *prepared = false;
        return error;
    }
    error = stepRows(connection.Handle(), stmt, sql, parameters, row);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    return error;
}

} // namespace tv
