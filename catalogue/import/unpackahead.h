#pragma once

#include "unpacker.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace tv {

// Unpacks the archives an import is about to reach, a few at a time in the background, so
// that the unpackers run while the files before them are catalogued. Each archive is
// unpacked whole into a folder of its own directly below the temporary folder (a name
// beginning with ".", which no import walks); the import takes that folder over when it
// reaches the archive, in the order it always did, and meets the archive's failure there.
// Archives are expected a folder at a time, in the order the import reaches them; when the
// folder is left (its Group ends: the folder is done, or the job was cancelled), what nobody
// took is stopped and removed. Used from the event loop's thread only.
//
// The unpackers ahead share the processor with the import and with each other, so an
// unpacker's time-out bounds the import's wait for it, counted from when the import takes it,
// and no more run ahead than the machine has cores besides the import's own (none on one core:
// the import then unpacks each archive when it reaches it). Nor do more start than the
// temporary folder has room for, counting what the running ones may still write.
class UnpackAhead {
public:
    static constexpr int kMostRunning = 4;  // unpackers running ahead at once, at most
    // Unpackers that may run ahead now: the cores this thread may use, less one, at most
    // kMostRunning.
    static int RunningLimit();

    struct Archive {
        QString path;       // as the import will name it
        qint64 size = 0;    // its members' size unpacked, as listed
    };

    // The archives of one folder; ending it stops and removes what was not taken.
    class Group {
    public:
        Group() = default;
        Group(UnpackAhead* owner, int id) : owner_(owner), id_(id) {}
        Group(Group&& other) noexcept : owner_(other.owner_), id_(other.id_) { other.owner_ = nullptr; }
        Group& operator=(Group&&) = delete;
        ~Group();

    private:
        UnpackAhead* owner_ = nullptr;
        int id_ = 0;
    };

    struct Unpacked {
        UnpackRun run = UnpackRun::NotStarted;
        QString folder;  // what the unpacker wrote; the taker moves it into place or removes it
    };

    UnpackAhead();
    ~UnpackAhead();
    UnpackAhead(const UnpackAhead&) = delete;
    UnpackAhead& operator=(const UnpackAhead&) = delete;

    // Expects `archives` (in the import's order); the import waits at most `timeoutMs` for
    // each when it takes it. Archives of the newest group start first: the import reaches a
    // folder inside an archive before the rest of the folder around it.
    Group Expect(const std::vector<Archive>& archives, int timeoutMs);
    // Waits for the archive's unpacker, serving the event loop, at most its time-out from now,
    // and hands over its result (one still running then is stopped: failed). Empty when the
    // archive was not expected or its folder could not be made: the caller unpacks it itself.
    // Archives expected before it in its group were passed by: they are stopped and removed.
    std::optional<Unpacked> Take(const QString& archive);
    // Whether the archive's unpacker has started ahead (it may have finished).
    bool Started(const QString& archive) const;
    // What the unpackers started ahead and not finished yet may still write, in bytes.
    qint64 Reserved() const;
    // Stops every unpacker and removes every folder not taken.
    void Clear();

private:
    struct Job;
    void EndGroup(int id);
    void StartMore();
    void Start(Job& job);
    // Stops the unpackers of `jobs`, waits for them and removes their folders.
    static void Stop(std::vector<std::unique_ptr<Job>> jobs);
    QString NewFolder();

    std::vector<std::unique_ptr<Job>> jobs_;  // by group, oldest first; each group in its order
    const Job* taking_ = nullptr;             // the job Take waits for, out of jobs_ meanwhile
    int lastGroup_ = 0;
    int lastFolder_ = 0;
};

} // namespace tv
