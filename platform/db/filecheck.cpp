#include "filecheck.h"

#include "engine.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace tv {

bool IsDamageError(const DbError& error, bool opened)
{
    // The engine's numbers with their extended bits: 11 is a malformed page, 26 one that does
    // not decrypt. The layer's own numbers (3001 and up) are none of them.
    const int primary = error.number & 0xff;
    return error.number > 0 && error.number < 3000 && (primary == SQLITE_CORRUPT || (opened && primary == SQLITE_NOTADB));
}

DbError QuickCheckHandle(sqlite3* db)
{
    sqlite3_stmt* stmt = nullptr;
    DbError error;
    if (sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &stmt, nullptr) != SQLITE_OK) {
        error = DbError{sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db))};
    } else if (sqlite3_step(stmt) != SQLITE_ROW) {
        error = DbError{sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db))};
    } else if (const auto text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
               text != QLatin1String("ok")) {
        // A finding is damage, whatever words the engine chose for it.
        error = DbError{SQLITE_CORRUPT, text};
    }
    sqlite3_finalize(stmt);
    return error;
}

struct FileCheck::State {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    sqlite3* handle = nullptr;   // while the check runs; guarded, for stopping it
    bool stopping = false;
    bool finished = false;
    DbError result;
};

FileCheck::FileCheck(std::function<sqlite3*(DbError*)> open, std::function<void()> done)
    : state_(std::make_shared<State>())
{
    thread_ = std::thread([s = state_, open = std::move(open), done = std::move(done)] {
        // The check gives way to the window and its reads wherever the processor is busy.
        setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), 19);
        DbError error;
        sqlite3* db = open(&error);
        {
            std::lock_guard lock(s->mutex);
            if (s->stopping) {
                if (db) sqlite3_close_v2(db);
                return;
            }
            s->handle = db;
        }
        if (db) error = QuickCheckHandle(db);
        bool stopped;
        {
            std::lock_guard lock(s->mutex);
            s->handle = nullptr;
            stopped = s->stopping;
            s->result = error;
            s->finished = true;
        }
        if (db) sqlite3_close_v2(db);
        s->changed.notify_all();
        if (!stopped && done) {
            if (QCoreApplication* app = QCoreApplication::instance())
                QMetaObject::invokeMethod(app, done, Qt::QueuedConnection);
        }
    });
}

FileCheck::~FileCheck()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
        if (state_->handle) sqlite3_interrupt(state_->handle);
    }
    // Joined, never left behind: a thread still deriving the key when the program ends would
    // run into the crypto library while it is being torn down. A thread still deriving sees
    // `stopping` right after and closes its handle, so this waits for one derivation at most.
    if (thread_.joinable()) thread_.join();
}

bool FileCheck::Finished() const
{
    std::lock_guard lock(state_->mutex);
    return state_->finished;
}

DbError FileCheck::Result() const
{
    std::lock_guard lock(state_->mutex);
    return state_->result;
}

void FileCheck::Wait() const
{
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [this] { return state_->finished; });
}

} // namespace tv
