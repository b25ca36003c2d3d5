#pragma once

#include <cstdint>
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
// of once and then tried every kLongest, so that a file on a share that is gone does not hold up
// every pass. Once it could be written, a later failure is told again.
class MetricsFile {
public:
    static constexpr std::int64_t kShortest = 1'000;
    static constexpr std::int64_t kLongest = 30'000;

    MetricsFile(FileSystem& files, MetricsJournal& journal) : files_(files), journal_(journal) {}

    // The file's path; empty for none (nothing is written). A new path is written at the next chance.
    void SetPath(std::wstring path);
    std::wstring const& Path() const { return path_; }

    // True when a look at the metrics is due at monotonic time `now`: a file is set and the last
    // attempt was kShortest ago or more (kLongest once a failure was told of).
    bool Due(std::int64_t now) const;

    // The metrics as they stand at `now`, in UTF-8: written when they differ from the file's or
    // kLongest has passed since it was written.
    void Offer(std::int64_t now, std::string const& text);

    // The last metrics, as Vigilon ends: written whatever the time since the last.
    void WriteLast(std::string const& text) {
        if (!path_.empty()) Write(text);
    }

    // The temporary file beside `path`: a name the textfile collector does not read (*.prom only).
    static std::wstring TemporaryPath(std::wstring const& path) { return path + L".tmp"; }

private:
    bool Write(std::string const& text);

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
};

}  // namespace vigilon
