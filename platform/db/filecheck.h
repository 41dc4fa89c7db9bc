#pragma once

#include "dberror.h"

#include <QByteArray>
#include <functional>
#include <memory>
#include <thread>

struct sqlite3;

namespace tv {

// True for the engine's errors that say the file itself is damaged (a page that does not hold
// what its parent says; once the file was opened with its key, also a page that does not
// decrypt), not the statement or the moment. While opening, a page that does not decrypt
// means the key does not fit: `opened` false.
bool IsDamageError(const DbError& error, bool opened = true);

// The engine's quick check of every page on `db`: no error when it passes, else its first
// finding (or the engine's error when the check itself fails).
DbError QuickCheckHandle(sqlite3* db);

// The quick check of a file on a handle and a thread of its own, so that a large catalogue is
// checked while its owner goes on reading (it costs about a second per 30 MB). Owned by the
// connection that asked for it; destroying it stops the check and waits for the thread.
class FileCheck {
public:
    // Opens the handle with `open` on the thread and checks. `done` is called on the thread
    // of the program's event loop once the result is there (not when the check was stopped).
    FileCheck(std::function<sqlite3*(DbError*)> open, std::function<void()> done);
    ~FileCheck();
    FileCheck(const FileCheck&) = delete;
    FileCheck& operator=(const FileCheck&) = delete;

    bool Finished() const;
    // The result; only once Finished().
    DbError Result() const;
    // Blocks until the check has finished (see WaitBeside for who serves events meanwhile).
    void Wait() const;

private:
    struct State;
    std::shared_ptr<State> state_;
    std::thread thread_;
};

} // namespace tv
