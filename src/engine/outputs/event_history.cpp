#include "engine/outputs/event_history.h"

#include <cwchar>

#include "support/field_text.h"
#include "support/local_time.h"
#include "support/utf8.h"

namespace vigilon {
std::wstring EventHistory::FormatLine(LocalTime const& time, std::wstring_view event, std::wstring_view program,
                                      std::wstring_view details) {
    wchar_t milliseconds[8];
    std::swprintf(milliseconds, std::size(milliseconds), L".%03d", time.millisecond);
    std::wstring line = DateTimeText(time) + milliseconds;
    line.push_back(L'\t');
    AppendField(line, event);
    line.push_back(L'\t');
    AppendField(line, program);
    line.push_back(L'\t');
    AppendField(line, details);
    return line;
}

bool EventHistory::Record(std::wstring_view event, std::wstring_view program, std::wstring_view details) {
    std::string const line = ToUtf8(FormatLine(clock_.LocalTimeNow(), event, program, details) + L"\r\n");
    // The size is asked of the file itself every time: the user may have emptied or deleted it, or
    // another copy of Vigilon may write to it too.
    std::int64_t const size = files_.FileSize(path_);
    if (size > 0 && size + static_cast<std::int64_t>(line.size()) > kMaxBytes) {
        files_.MoveFileReplacing(path_, path_ + L".1");
    }
    return files_.AppendToFile(path_, line);
}

}  // namespace vigilon
