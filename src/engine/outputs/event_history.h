#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/event_loop.h"
#include "platform/file_system.h"

namespace vigilon {

// The event history, vigilon.log: one line per event, in UTF-8, with four fields separated by
// tabs: the local time as YYYY-MM-DD hh:mm:ss.mmm, an event word, the program's name (empty for
// the program's own events) and details. Line breaks and tabs inside a field become blanks, so an
// event is always one line. At kMaxBytes the file is renamed to vigilon.log.1, replacing that
// file, and a new one starts. Each line is written at once to a file shared with readers, and a
// line that cannot be written is dropped: the history never holds up watching.
class EventHistory {
public:
    static constexpr std::int64_t kMaxBytes = 1 << 20;

    EventHistory(FileSystem& files, EventLoop& clock, std::wstring path)
        : files_(files), clock_(clock), path_(std::move(path)) {}

    std::wstring const& Path() const { return path_; }

    // Appends one event. False when the line could not be written.
    bool Record(std::wstring_view event, std::wstring_view program, std::wstring_view details);

    // The line Record writes for an event at `time`, without its line break.
    static std::wstring FormatLine(LocalTime const& time, std::wstring_view event, std::wstring_view program,
                                   std::wstring_view details);

private:
    FileSystem& files_;
    EventLoop& clock_;
    std::wstring path_;
};

}  // namespace vigilon
