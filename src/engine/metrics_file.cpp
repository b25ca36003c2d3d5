#include "engine/metrics_file.h"

namespace vigilon {

void MetricsFile::SetPath(std::wstring path) {
    if (path == path_) return;
    path_ = std::move(path);
    written_.clear();
    everWritten_ = false;
    attempted_ = false;
    failureSaid_ = false;
    failures_ = 0;
}

bool MetricsFile::Due(std::int64_t now) const {
    return !path_.empty() && (!attempted_ || now - lastAttempt_ >= (failureSaid_ ? kLongest : kShortest));
}

void MetricsFile::Offer(std::int64_t now, std::string const& text) {
    if (!Due(now)) return;
    if (everWritten_ && text == written_ && now - lastWrite_ < kLongest) return;
    attempted_ = true;
    lastAttempt_ = now;
    if (!Write(text)) {
        if (++failures_ >= 2 && !failureSaid_) {
            journal_.MetricsFailed(path_);
            failureSaid_ = true;
        }
        return;
    }
    failures_ = 0;
    failureSaid_ = false;
    written_ = text;
    everWritten_ = true;
    lastWrite_ = now;
}

bool MetricsFile::Write(std::string const& text) {
    std::wstring const temporary = TemporaryPath(path_);
    if (files_.WriteWholeFile(temporary, text) && files_.MoveFileReplacing(temporary, path_)) return true;
    files_.RemoveFile(temporary);  // none is left behind, whatever it holds
    return false;
}

}  // namespace vigilon
