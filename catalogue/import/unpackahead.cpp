#include "unpackahead.h"

#include "catalogue/core/modglobals.h"
#include "filetype.h"
#include "platform/system/files.h"
#include "platform/system/process.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <limits>
#include <system_error>
#include <utility>

#include <sched.h>

namespace tv {

struct UnpackAhead::Job {
    int group = 0;
    QString archive;
    qint64 size = 0;
    QString folder;
    int timeoutMs = 0;
    bool started = false;
    std::atomic<bool> stop{false};
    std::atomic<bool> noMoreInner{false};  // the one inside it being unpacked is the last
    // The archive's own unpacker; empty when the folder could not be made.
    std::future<std::optional<UnpackRun>> outcome;
    // The whole background work: ready once the archives inside it are unpacked too.
    std::future<std::vector<Inner>> inner;
};

namespace {

template <class T>
bool Finished(const std::future<T>& result)
{
    return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

template <class T>
std::future<T> Ready(T value)
{
    std::promise<T> promise;
    promise.set_value(std::move(value));
    return promise.get_future();
}

// Unpacks the archive whole into `folder`, which it makes, and normalises what it wrote;
// empty when the folder could not be made. Runs in a thread of its own: nothing here may
// touch the catalogue or the windows. It runs until it ends or is stopped: its time-out is
// the taker's to keep.
std::optional<UnpackRun> UnpackInto(const QString& archive, const QString& folder, const std::atomic<bool>& stop)
{
    if (!CreateFolder(folder)) return std::nullopt;
    const UnpackCommand command = MakeUnpackCommand(archive, QString(), folder);
    int exitCode = -1;
    if (RunInThread(command.program, command.arguments, std::numeric_limits<int>::max(), stop, &exitCode, folder) != 0)
        return UnpackRun::NotStarted;
    if (exitCode != 0) return UnpackRun::Failed;
    NormaliseUnpacked(folder);
    return UnpackRun::Done;
}

// The archives inside the unpacked `folder` that `nested` takes, met as the import's scan
// meets them (folders in listing order, those beginning with "." left out, links never
// followed), each unpacked whole into a folder beside `folder` while `room` lasts and until
// `noMore` is set. Only those unpacked in full are kept; only ZIPs, whose size is read without
// a program.
std::vector<UnpackAhead::Inner> UnpackInner(const QString& folder, const std::atomic<bool>& stop,
                                            const std::atomic<bool>& noMore, const UnpackAhead::NestedFilter& nested,
                                            qint64 room)
{
    std::vector<UnpackAhead::Inner> inner;
    int count = 0;
    const std::function<void(const QString&)> scan = [&](const QString& at) {
        std::vector<FolderEntry> entries;
        if (!ListFolder(at, entries)) return;
        for (const FolderEntry& e : entries) {
            if (stop || noMore) return;
            if (e.isLink) continue;
            if (e.isFolder) {
                if (!e.name.startsWith(QLatin1Char('.'))) scan(e.path);
                continue;
            }
            if (FileExtension(e.name) != QLatin1String("ZIP")) continue;
            const std::optional<qint64> unpacked = ZipDirectorySize(e.path);
            if (!unpacked || *unpacked > room || !nested(e.name, e.size, unpacked)) continue;
            if (!QFileInfo::exists(MakeUnpackCommand(e.path, QString(), QString()).program)) continue;
            const QString target = folder + QStringLiteral(".") + QString::number(++count);
            const std::optional<UnpackRun> run = UnpackInto(e.path, target, stop);
            if (run == UnpackRun::Done) {
                inner.push_back({e.path.mid(folder.size() + 1), target});
                room -= *unpacked;
            } else if (run) {
                RemoveTempTree(target);
            }
        }
    };
    scan(folder);
    return inner;
}

} // namespace

UnpackAhead::Group::~Group()
{
    if (owner_) owner_->EndGroup(id_);
}

UnpackAhead::UnpackAhead() = default;

UnpackAhead::~UnpackAhead() { Clear(); }

int UnpackAhead::RunningLimit()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    const int cores = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : QThread::idealThreadCount();
    return std::clamp(cores - 1, 0, kMostRunning);
}

UnpackAhead::Group UnpackAhead::Expect(const std::vector<Archive>& archives, int timeoutMs)
{
    const int id = ++lastGroup_;
    for (const Archive& archive : archives) {
        std::unique_ptr<Job> job;
        const auto walked =
            std::find_if(walked_.begin(), walked_.end(), [&](const auto& j) { return j->archive == archive.path; });
        if (walked != walked_.end()) {
            // The import has gone past those the walk named before it: it will not reach them.
            std::vector<std::unique_ptr<Job>> passed(std::make_move_iterator(walked_.begin()),
                                                     std::make_move_iterator(walked));
            job = std::move(*walked);
            walked_.erase(walked_.begin(), walked + 1);
            Stop(std::move(passed));
        } else {
            job = std::make_unique<Job>();
            job->archive = archive.path;
            job->size = archive.size;
        }
        job->group = id;
        job->timeoutMs = timeoutMs;
        jobs_.push_back(std::move(job));
    }
    StartMore();
    return Group(this, id);
}

UnpackAhead::Group UnpackAhead::WalkAhead(WalkSource source)
{
    walk_ = std::move(source);
    walkGroup_ = ++lastGroup_;
    StartMore();
    return Group(this, walkGroup_);
}

QString UnpackAhead::NewFolder()
{
    QString folder;
    do {
        folder = gtTempPath + QStringLiteral("/.ahead") + QString::number(++lastFolder_);
    } while (QFileInfo::exists(folder) || QFileInfo(folder).isSymLink());
    return folder;
}

void UnpackAhead::Start(Job& job)
{
    // The archives inside it take at most half of the room left beside it.
    const qint64 free = FreeSpaceOfTemp();
    const qint64 innerRoom =
        free < 0 ? std::numeric_limits<qint64>::max() : std::max<qint64>(0, (free - Reserved() - job.size) / 2);
    job.folder = NewFolder();
    job.started = true;
    std::promise<std::optional<UnpackRun>> outcome;
    std::future<std::optional<UnpackRun>> outcomeFuture = outcome.get_future();
    const auto work = [archive = job.archive, folder = job.folder, &stop = job.stop, &noMore = job.noMoreInner,
                       nested = nested_, innerRoom](std::promise<std::optional<UnpackRun>> done) {
        const std::optional<UnpackRun> run = UnpackInto(archive, folder, stop);
        done.set_value(run);
        return run == UnpackRun::Done && nested ? UnpackInner(folder, stop, noMore, nested, innerRoom)
                                                : std::vector<Inner>();
    };
    try {
        job.inner = std::async(std::launch::async, work, std::move(outcome));
        job.outcome = std::move(outcomeFuture);
    } catch (const std::system_error&) {
        // No thread to be had: the import unpacks this archive itself when it reaches it.
        job.outcome = Ready(std::optional<UnpackRun>());
        job.inner = Ready(std::vector<Inner>());
    }
}

bool UnpackAhead::Started(const QString& archive) const
{
    const auto found =
        std::find_if(jobs_.rbegin(), jobs_.rend(), [&](const auto& job) { return job->archive == archive; });
    return found != jobs_.rend() && (*found)->started;
}

qint64 UnpackAhead::Reserved() const
{
    qint64 reserved = taking_ && !Finished(taking_->inner) ? taking_->size : 0;
    for (const auto* jobs : {&jobs_, &walked_})
        for (const auto& job : *jobs)
            if (job->started && !Finished(job->inner)) reserved += job->size;
    return reserved;
}

void UnpackAhead::StartMore()
{
    // The walk ahead may serve events while it lists an archive.
    if (starting_) return;
    starting_ = true;
    const auto started = qScopeGuard([this] { starting_ = false; });
    // While the import waits for none, the one it would wait for runs ahead as well.
    const int ahead = RunningLimit();
    const int limit = ahead == 0 ? 0 : ahead + 1;
    // A finished unpacker no longer takes a core: what it wrote waits for the import.
    const auto busy = [](const auto& job) { return job->started && !Finished(job->inner); };
    int running = int(std::count_if(jobs_.begin(), jobs_.end(), busy) + std::count_if(walked_.begin(), walked_.end(), busy)) +
                  (taking_ && !Finished(taking_->inner) ? 1 : 0);
    const auto begun = [](const auto& job) { return job->started; };
    int untaken = int(std::count_if(jobs_.begin(), jobs_.end(), begun) + walked_.size());
    // Newest group first, each in its own order.
    for (auto end = jobs_.end(); end != jobs_.begin() && running < limit && untaken < kMostUntaken;) {
        const int group = (*(end - 1))->group;
        auto begin = end;
        while (begin != jobs_.begin() && (*(begin - 1))->group == group) --begin;
        for (auto it = begin; it != end && running < limit && untaken < kMostUntaken; ++it) {
            if ((*it)->started) continue;
            // One that does not fit waits for the import, which reports it.
            const qint64 free = FreeSpaceOfTemp();
            if (free >= 0 && (*it)->size > free - Reserved()) continue;
            Start(**it);
            ++running;
            ++untaken;
        }
        end = begin;
    }
    // The walk goes on for a few milliseconds at a time, a share per call, so that the import
    // goes on soon.
    constexpr int kWalkMs = 5;
    QElapsedTimer walking;
    walking.start();
    while (walk_ && running < limit && untaken < kMostUntaken && walking.elapsed() < kWalkMs) {
        bool walkedAll = false;
        const std::optional<Archive> next = walk_(&walkedAll);
        if (walkedAll) walk_ = nullptr;
        if (!next) continue;
        // One that does not fit is left to the import, which meets it when it gets there.
        const qint64 free = FreeSpaceOfTemp();
        if (free >= 0 && next->size > free - Reserved()) continue;
        auto job = std::make_unique<Job>();
        job->group = walkGroup_;
        job->archive = next->path;
        job->size = next->size;
        Start(*job);
        walked_.push_back(std::move(job));
        ++running;
        ++untaken;
    }
}

bool UnpackAhead::DropUntaken()
{
    std::vector<std::unique_ptr<Job>> untaken = std::exchange(walked_, {});
    for (auto& job : jobs_)
        if (job->started) untaken.push_back(std::move(job));
    std::erase(jobs_, nullptr);
    if (untaken.empty()) return false;
    Stop(std::move(untaken));
    return true;
}

void UnpackAhead::Stop(std::vector<std::unique_ptr<Job>> jobs)
{
    for (auto& job : jobs) job->stop = true;  // all stop at once, then each is waited for
    for (auto& job : jobs) {
        if (!job->started) continue;
        for (const Inner& inner : job->inner.get()) RemoveTempTree(inner.folder);
        RemoveTempTree(job->folder);
    }
}

std::optional<UnpackAhead::Unpacked> UnpackAhead::Take(const QString& archive)
{
    // The newest group holds the folder the import is in.
    const auto found =
        std::find_if(jobs_.rbegin(), jobs_.rend(), [&](const auto& job) { return job->archive == archive; });
    if (found == jobs_.rend()) return std::nullopt;
    const auto at = std::prev(found.base());
    std::unique_ptr<Job> job = std::move(*at);
    // The import goes through a folder in order: the group's archives before this one were
    // passed by (refused, or found in the catalogue).
    std::vector<std::unique_ptr<Job>> passed;
    for (auto it = jobs_.begin(); it != at; ++it)
        if ((*it)->group == job->group) passed.push_back(std::move(*it));
    std::erase(jobs_, nullptr);
    Stop(std::move(passed));
    if (!job->started) Start(*job);
    taking_ = job.get();
    const auto taken = qScopeGuard([this] { taking_ = nullptr; });
    // The next archives start before this one is waited for.
    StartMore();
    // Waits at most the archive's time-out, serving events; unpackers ahead that finish
    // meanwhile make way for the next ones.
    const auto waitFor = [this, &job](const auto& result) {
        QElapsedTimer waited;
        waited.start();
        WaitServingEvents([this, &job, &result, &waited](int waitMs) {
            constexpr int kLookMs = 5;
            const bool ready =
                result.wait_for(std::chrono::milliseconds(std::min(waitMs, kLookMs))) == std::future_status::ready;
            if (!ready) StartMore();
            return ready || waited.elapsed() > job->timeoutMs;
        });
    };
    waitFor(job->outcome);
    if (!Finished(job->outcome)) job->stop = true;  // still running at the time-out: stopped, it counts as failed
    const std::optional<UnpackRun> run = job->outcome.get();
    // Of the archives inside it, the one still unpacking is waited for as long again, and no
    // more start: the import unpacks the rest itself when it gets there, the unpackers ahead
    // beside it.
    job->noMoreInner = true;
    waitFor(job->inner);
    job->stop = true;
    std::vector<Inner> inner = job->inner.get();
    if (!run || *run != UnpackRun::Done) {
        for (const Inner& i : inner) RemoveTempTree(i.folder);
        inner.clear();
    }
    if (!run) {
        RemoveTempTree(job->folder);
        return std::nullopt;
    }
    return Unpacked{*run, job->folder, job->group, std::move(inner)};
}

void UnpackAhead::Nested(const QString& folder, const Unpacked& unpacked)
{
    if (folder.isEmpty()) {
        for (const Inner& inner : unpacked.inner) RemoveTempTree(inner.folder);
        return;
    }
    // The import's scan of the folder reaches them before anything the walk ahead named.
    std::vector<std::unique_ptr<Job>> waiting;
    for (const Inner& inner : unpacked.inner) {
        auto job = std::make_unique<Job>();
        job->group = unpacked.group;
        job->archive = folder + QLatin1Char('/') + inner.relative;
        job->folder = inner.folder;
        job->started = true;
        job->outcome = Ready(std::optional<UnpackRun>(UnpackRun::Done));
        job->inner = Ready(std::vector<Inner>());
        waiting.push_back(std::move(job));
    }
    walked_.insert(walked_.begin(), std::make_move_iterator(waiting.begin()), std::make_move_iterator(waiting.end()));
}

void UnpackAhead::EndGroup(int id)
{
    if (id == walkGroup_) {
        walk_ = nullptr;
        walkGroup_ = 0;
        Stop(std::exchange(walked_, {}));
    }
    std::vector<std::unique_ptr<Job>> ended;
    for (auto* jobs : {&jobs_, &walked_}) {
        for (auto& job : *jobs)
            if (job->group == id) ended.push_back(std::move(job));
        std::erase(*jobs, nullptr);
    }
    Stop(std::move(ended));
    StartMore();
}

void UnpackAhead::Clear()
{
    Stop(std::exchange(walked_, {}));
    Stop(std::exchange(jobs_, {}));
}

} // namespace tv
