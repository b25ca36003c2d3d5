#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace vigilon {

// Where a metrics file that cannot be written is told of.
class MetricsJournal {
public:
    virtual ~MetricsJournal() = default;
    virtual void MetricsFailed(std::wstring const& path) = 0;
};

// The metrics file that a collector reads (windows_exporter's textfile collector, for one). The
// text goes to a temporary file beside it, which then replaces it, so a reader never sees half a
// file. It is written when it changed, at most once every kShortest, and at least every kLongest
// so that its age says Vigilon is alive. A replace that fails once (a reader held the file just
// then) is tried again at the next chance and not told of; one that fails twice in a row is told
// of once and then tried every kLongest, so that a file on a share that is gone is not tried at
// every pass. Once it could be written, a later failure is told again.
//
// Each write runs on the platform's worker, so a share that has stopped answering holds up nothing:
// one at a time, and a text offered while one is under way waits for it, a newer text taking the
// place of an older one. Collect takes the outcome of the write under way.
class MetricsFile {
public:
    static constexpr std::int64_t kShortest = 1'000;
    static constexpr std::int64_t kLongest = 30'000;
    // As Vigilon ends, the last text is awaited at most this long in all (and the write under way,
    // before it, half of it).
    static constexpr std::int32_t kLastWriteMilliseconds = 2'000;

    MetricsFile(FileSystem& files, MetricsJournal& journal) : files_(files), journal_(journal) {}

    // The file's path; empty for none (nothing is written). A new path is written at the next chance.
    void SetPath(std::wstring path);
    std::wstring const& Path() const { return path_; }

    // True when a look at the metrics is due at monotonic time `now`: a file is set and the last
    // attempt was kShortest ago or more (kLongest once a failure was told of).
    bool Due(std::int64_t now) const;

    // True when the file wants the metrics at `now` whether or not they changed: it was never
    // written, the last attempt failed, or kLongest has passed since it was written.
    bool RefreshDue(std::int64_t now) const;

    // The metrics as they stand at `now`, in UTF-8: written when they differ from the file's or
    // kLongest has passed since it was written.
    void Offer(std::int64_t now, std::string const& text);

    // Takes the outcome of the write under way, if it has ended, and begins the text that waits.
    void Collect(std::int64_t now);

    // The last metrics, as Vigilon ends: written whatever the time since the last, after the write
    // under way. False when they could not be written within kLastWriteMilliseconds.
    bool WriteLast(std::string const& text);

    // The temporary file beside `path`: a name the textfile collector does not read (*.prom only).
    static std::wstring TemporaryPath(std::wstring const& path) { return path + L".tmp"; }

private:
    void Begin(std::string text);
    void Finished(std::int64_t now, bool written);

    FileSystem& files_;
    MetricsJournal& journal_;
    std::wstring path_;
    std::string written_;
    bool everWritten_ = false;
    std::int64_t lastAttempt_ = 0;
    std::int64_t lastWrite_ = 0;
    bool attempted_ = false;
    int failures_ = 0;  // attempts in a row that failed
    bool failureSaid_ = false;
    std::uint32_t writing_ = 0;           // the write under way, 0 for none
    std::wstring writingPath_;            // the path it writes, which may have changed since
    std::string writingText_;
    std::optional<std::string> waiting_;  // the newest text offered while it was under way
};

}  // namespace vigilon
