#include "backgroundreads.h"

#include "connection.h"
#include "engine.h"
#include "filecheck.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
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
// Scopes that keep reads where they are asked.
int gWhereAsked = 0;

std::function<bool()>& rowFault()
{
    static std::function<bool()> fault;
    return fault;
}

QByteArray utf8(const QString& s) { return s.toUtf8(); }

// Binds a prepared statement of `db` and steps it to its end, or until `row` wants no more:
// the part both threads share.
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

void SetBackgroundRowFault(std::function<bool()> fault) { rowFault() = std::move(fault); }

void WaitBeside(const std::function<bool()>& finished)
{
    if (finished()) return;
    ++gWaiting;
    if (settings().wait) settings().wait(finished);
    while (!finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    --gWaiting;
}

ReadsWhereAsked::ReadsWhereAsked() { ++gWhereAsked; }
ReadsWhereAsked::~ReadsWhereAsked() { --gWhereAsked; }

// ---- the reader thread ----

namespace {

// One thread runs the background work of every connection, a job at a time, in the order
// asked. It lives as long as the program: a new thread's heap grows in small steps, which cost
// the first large read of every catalogue opened a third of its time.
class Worker {
public:
    struct Job {
        std::function<void()> work;
        bool done = false;
    };

    // Never ends: a connection closed by a static's destructor at exit still finds it.
    static Worker& instance()
    {
        static Worker* worker = new Worker;
        return *worker;
    }

    std::shared_ptr<Job> post(std::function<void()> work)
    {
        auto job = std::make_shared<Job>();
        job->work = std::move(work);
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(job);
        }
        changed_.notify_all();
        return job;
    }
    bool finished(const Job& job)
    {
        std::lock_guard lock(mutex_);
        return job.done;
    }
    // Waits at most `ms` (negative: until it is done); whether it is done.
    bool wait(const Job& job, int ms = -1)
    {
        std::unique_lock lock(mutex_);
        const auto done = [&job] { return job.done; };
        if (ms < 0) {
            changed_.wait(lock, done);
            return true;
        }
        return changed_.wait_for(lock, std::chrono::milliseconds(ms), done);
    }

private:
    Worker() : thread_([this] { work(); }) { thread_.detach(); }
    void work()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return !queue_.empty(); });
            const std::shared_ptr<Job> job = queue_.front();
            queue_.pop_front();
            lock.unlock();
            job->work();
            lock.lock();
            job->done = true;
            changed_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Job>> queue_;
    std::thread thread_;  // last: starts once the rest is there
};

} // namespace

// The second connection of one connection; used on the worker only, but for interrupting.
struct BackgroundReader::State {
    std::atomic<sqlite3*> db{nullptr};
    std::atomic<bool> openFailed{false};
    std::atomic<bool> closing{false};

    Outcome read(const QString& sqliteText, const JetSql& sql, const std::vector<Variant>& parameters,
                 const RowSink& row)
    {
        Outcome o;
        sqlite3* handle = db;
        if (!handle || closing) return o;
        const QByteArray text = utf8(sqliteText);
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK || !stmt) {
            sqlite3_finalize(stmt);
            return o;
        }
        // A text the second connection could prepare but would write with is not read here.
        if (!sqlite3_stmt_readonly(stmt)) {
            sqlite3_finalize(stmt);
            return o;
        }
        o.ran = true;
        if (const auto& fault = rowFault()) {
            bool failed = false;
            o.error = stepRows(handle, stmt, sql, parameters, [&](sqlite3_stmt* s) {
                failed = fault();
                return !failed && row(s);
            });
            if (failed) o.error = DbError{SQLITE_IOERR_READ, QStringLiteral("disk I/O error")};
        } else {
            o.error = stepRows(handle, stmt, sql, parameters, row);
        }
        sqlite3_finalize(stmt);
        return o;
    }
};

BackgroundReader::BackgroundReader(const DbConnection& owner) : state_(std::make_shared<State>())
{
    // The second connection opens at once: deriving the key from a passphrase takes the engine
    // a while, which the worker spends while the owner opens its own. The job takes its own
    // copy of how to open the file: the owner may reopen or close before the job runs.
    Worker::instance().post([s = state_, opening = owner.Companion()] {
        DbError error;
        s->db = DbConnection::OpenCompanion(opening, &error);
        s->openFailed = !s->db;
    });
}

BackgroundReader::~BackgroundReader()
{
    // A read still running ends at once; the handle closes after whatever was asked before.
    state_->closing = true;
    if (sqlite3* handle = state_->db) sqlite3_interrupt(handle);
    Worker& worker = Worker::instance();
    const auto closed = worker.post([s = state_] {
        if (sqlite3* handle = s->db.exchange(nullptr)) sqlite3_close_v2(handle);
    });
    worker.wait(*closed);
}

BackgroundReader::Outcome BackgroundReader::run(const QString& sqliteText, const JetSql& sql,
                                                const std::vector<Variant>& parameters, const RowSink& row)
{
    if (state_->openFailed) return {};
    Outcome outcome;
    Worker& worker = Worker::instance();
    // The job keeps the state: closing the connection while a window waits for the read ends
    // the reader, not what the job still touches.
    const auto job = worker.post([s = state_, &outcome, &sqliteText, &sql, &parameters, &row] {
        outcome = s->read(sqliteText, sql, parameters, row);
    });
    // A short read is waited for still: only a long one lets the asking thread do more.
    const int patience = settings().patienceMs;
    if (patience < 0 || !worker.wait(*job, patience)) {
        ++gWaiting;
        settings().wait([&worker, &job] { return worker.finished(*job); });
        --gWaiting;
        // The wait returns when the read is done; one that returned early waits still.
        worker.wait(*job);
    }
    return outcome;
}

// ---- reads ----

DbError ReadRows(DbConnection& connection, const QString& sqliteText, const JetSql& sql,
                 const std::vector<Variant>& parameters, const RowSink& row, const RowsStartOver& startOver,
                 bool* prepared)
{
    if (prepared) *prepared = true;
    if (BackgroundReadsOn() && gWaiting == 0 && gWhereAsked == 0 && connection.IsOpen() && !connection.InTransaction())
        if (BackgroundReader* reader = connection.Reader()) {
            const BackgroundReader::Outcome o = reader->run(sqliteText, sql, parameters, row);
            if (o.ran && !o.error) return {};
            if (o.ran) {
                // Damage met by the second connection is the file's, as on the first, which
                // would read the same pages; and a reader ended by the connection's closing
                // leaves nothing to read on.
                connection.NoteError(o.error);
                if (IsDamageError(o.error) || !connection.IsOpen()) return o.error;
                // Any other failure of the second connection is its own: the asking one reads
                // the rows again.
                if (startOver) startOver();
            }
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
