#include "engine/outputs/metrics_file.h"

#include <utility>

namespace vigilon {

void MetricsFile::SetPath(std::wstring path) {
    if (path == path_) return;
    path_ = std::move(path);
    written_.clear();
    everWritten_ = false;
    attempted_ = false;
    failureSaid_ = false;
    failures_ = 0;
    waiting_.reset();  // a write under way for the old path ends unseen
}

bool MetricsFile::Due(std::int64_t now) const {
    return !path_.empty() && (!attempted_ || now - lastAttempt_ >= (failureSaid_ ? kLongest : kShortest));
}

bool MetricsFile::RefreshDue(std::int64_t now) const {
    return !everWritten_ || failures_ > 0 || now - lastWrite_ >= kLongest;
}

void MetricsFile::Offer(std::int64_t now, std::string const& text) {
    Collect(now);
    if (!Due(now)) return;
    if (everWritten_ && failures_ == 0 && text == written_ && now - lastWrite_ < kLongest) return;
    if (writing_ != 0 && text == writingText_ && writingPath_ == path_) return;
    attempted_ = true;
    lastAttempt_ = now;
    if (writing_ != 0) {
        waiting_ = text;
        return;
    }
    Begin(text);
}

void MetricsFile::Collect(std::int64_t now) {
    if (writing_ == 0) return;
    WriteResult const result = files_.TakeWrite(writing_);
    if (result == WriteResult::Pending) return;
    writing_ = 0;
    if (writingPath_ == path_) Finished(now, result == WriteResult::Written);
    if (waiting_ && !path_.empty()) {
        std::string text = std::move(*waiting_);
        waiting_.reset();
        Begin(std::move(text));
    }
}

bool MetricsFile::WriteLast(std::string const& text) {
    if (path_.empty()) return true;
    // Written after the one under way, never beside it: the two would share the temporary file.
    if (writing_ != 0 && files_.AwaitWrite(writing_, kLastWriteMilliseconds / 2) == WriteResult::Pending) return false;
    writing_ = 0;
    waiting_.reset();
    std::uint32_t const last = files_.BeginReplaceFile(path_, TemporaryPath(path_), text);
    return files_.AwaitWrite(last, kLastWriteMilliseconds / 2) == WriteResult::Written;
}

void MetricsFile::Begin(std::string text) {
    writingPath_ = path_;
    writingText_ = std::move(text);
    writing_ = files_.BeginReplaceFile(path_, TemporaryPath(path_), writingText_);
}

void MetricsFile::Finished(std::int64_t now, bool written) {
    if (!written) {
        if (++failures_ >= 2 && !failureSaid_) {
            journal_.MetricsFailed(path_);
            failureSaid_ = true;
        }
        return;
    }
    failures_ = 0;
    failureSaid_ = false;
    written_ = writingText_;
    everWritten_ = true;
    lastWrite_ = now;
}

}  // namespace vigilon
