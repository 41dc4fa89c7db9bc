#pragma once

#include "unpacker.h"

#include <QString>
#include <QStringList>

#include <functional>
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
// A walk ahead of the import (WalkAhead) names the archives of the folders still to come, so
// that they unpack while the import adds the files before them; a folder's Expect takes over
// those of its archives that were started so, and those the walk passed by are stopped and
// removed. The walk is asked only when no expected archive waits for an unpacker.
//
// The unpackers ahead share the processor with the import and with each other, so an
// unpacker's time-out bounds the import's wait for it, counted from when the import takes it,
// and no more run ahead than the machine has cores besides the import's own (none on one core:
// the import then unpacks each archive when it reaches it), and the one the import waits for:
// while it waits for none, that one runs ahead as well. One that has finished frees its core
// for the next. Nor do more start than the temporary folder has room for, counting what
// the running ones may still write, nor more wait for the import than kMostUntaken; what waits
// gives way when the import needs the room for an archive of its own (DropUntaken).
class UnpackAhead {
public:
    // Unpackers running ahead at once, at most, besides the one the import waits for.
    static constexpr int kMostRunning = 4;
    // Archives started ahead and not yet taken by the import, at most: what they wrote waits
    // in the temporary folder.
    static constexpr int kMostUntaken = 256;
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

    // An archive inside an unpacked one, unpacked too: where it lies in its folder ("/"
    // separated), and the folder it was unpacked into.
    struct Inner {
        QString relative;
        QString folder;
    };

    struct Unpacked {
        UnpackRun run = UnpackRun::NotStarted;
        QString folder;  // what the unpacker wrote; the taker moves it into place or removes it
        int group = 0;   // the group it was expected in
        std::vector<Inner> inner;  // the taker hands them on with Nested
    };

    // Whether an archive found inside one unpacked ahead is unpacked right after it, by its
    // name, its size and what it comes to unpacked, as far as that can be told without the
    // catalogue (the import's Expect still decides). Called from the unpackers' threads.
    using NestedFilter = std::function<bool(const QString& name, qint64 packed, std::optional<qint64> unpacked)>;
    // The filter for the archives started from now on; none: archives inside are not unpacked ahead.
    void UnpackNested(NestedFilter filter) { nested_ = std::move(filter); }

    UnpackAhead();
    ~UnpackAhead();
    UnpackAhead(const UnpackAhead&) = delete;
    UnpackAhead& operator=(const UnpackAhead&) = delete;

    // Expects `archives` (in the import's order); the import waits at most `timeoutMs` for
    // each when it takes it. Archives of the newest group start first: the import reaches a
    // folder inside an archive before the rest of the folder around it. One of them that the
    // walk ahead started is taken over as it is.
    Group Expect(const std::vector<Archive>& archives, int timeoutMs);
    // The next archive the import will reach beyond the folders expected so far; none for
    // now when the walk has gone its share for this call (it is asked again later), and none
    // with `walkedAll` set when it has gone through everything.
    using WalkSource = std::function<std::optional<Archive>(bool* walkedAll)>;
    // Unpacks the archives `source` names ahead of the import, after the expected ones;
    // the returned group ends the walk and stops and removes what no folder took over.
    Group WalkAhead(WalkSource source);
    // Starts unpackers for what waits, as far as cores and room allow: called when the import
    // has gone on a while, as an unpacker may have finished meanwhile.
    void StartMore();
    // Stops and removes every archive started ahead that the import has not taken yet (it
    // unpacks each itself when it gets there), so that their room is the import's; whether
    // there was any.
    bool DropUntaken();
    // Waits for the archive's unpacker, serving the event loop, at most its time-out from now,
    // and hands over its result (one still running then is stopped: failed). Empty when the
    // archive was not expected or its folder could not be made: the caller unpacks it itself.
    // Archives expected before it in its group were passed by: they are stopped and removed.
    std::optional<Unpacked> Take(const QString& archive);
    // After the taker moved a taken archive's folder to `folder`: the archives inside it that
    // were unpacked too wait there for the import's scan (Expect takes them over), as long as
    // the archive's group lasts. An empty `folder` (it was not moved) removes them.
    void Nested(const QString& folder, const Unpacked& unpacked);
    // Whether the archive's unpacker has started ahead (it may have finished).
    bool Started(const QString& archive) const;
    // What the unpackers started ahead and not finished yet may still write, in bytes.
    qint64 Reserved() const;
    // Stops every unpacker and removes every folder not taken.
    void Clear();

private:
    struct Job;
    void EndGroup(int id);
    void Start(Job& job);
    // Stops the unpackers of `jobs`, waits for them and removes their folders.
    static void Stop(std::vector<std::unique_ptr<Job>> jobs);
    QString NewFolder();

    std::vector<std::unique_ptr<Job>> jobs_;  // by group, oldest first; each group in its order
    std::vector<std::unique_ptr<Job>> walked_;  // started by the walk ahead, in its order
    WalkSource walk_;                           // empty when there is no walk ahead, or it is done
    int walkGroup_ = 0;
    NestedFilter nested_;
    bool starting_ = false;                     // StartMore is under way
    const Job* taking_ = nullptr;             // the job Take waits for, out of jobs_ meanwhile
    int lastGroup_ = 0;
    int lastFolder_ = 0;
};

} // namespace tv
