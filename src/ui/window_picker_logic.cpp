#include "ui/window_picker_logic.h"

#include <algorithm>
#include <tuple>

#include "support/blanks.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

// What stands between a document's name and the program's in a caption.
constexpr std::wstring_view kSeparators[] = {L" - ", L" \u2014 ", L" \u2013 "};
constexpr wchar_t kLastingMatch[] = L"End";

// The file name of a path, after its last backslash or slash.
std::wstring_view FileNameOf(std::wstring_view path) {
    std::size_t const slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

std::wstring_view WithoutExtension(std::wstring_view file) {
    std::size_t const dot = file.rfind(L'.');
    return dot == std::wstring_view::npos || dot == 0 ? file : file.substr(0, dot);
}

// True when `text` holds `part`, case ignored; `part` is folded to lower case already.
bool Holds(std::wstring_view text, std::wstring const& part) {
    return ToLowerText(text).find(part) != std::wstring::npos;
}

bool Listed(SurveyedWindow const& window, WindowSurveyResult const& survey) {
    if (window.processId == survey.ownProcessId) return false;
    if (survey.shellProcessId != 0 && window.processId == survey.shellProcessId) return false;
    return !TrimSpacesAndTabs(window.caption).empty();
}

}  // namespace

std::vector<PickerRow> PickerRows(WindowSurveyResult const& survey, std::wstring_view filter) {
    std::wstring const wanted = ToLowerText(TrimSpacesAndTabs(filter));
    std::vector<PickerRow> rows;
    for (SurveyedWindow const& window : survey.windows) {
        if (!Listed(window, survey)) continue;
        PickerRow row{window.window,    window.caption,   std::wstring(FileNameOf(window.imagePath)),
                      window.className, window.imagePath, window.fileDescription, window.captionCut};
        if (!wanted.empty() && !Holds(row.caption, wanted) && !Holds(row.programFile, wanted) &&
            !Holds(row.className, wanted)) {
            continue;
        }
        rows.push_back(std::move(row));
    }
    // A window whose program file could not be read (another user's, an elevated one) comes last.
    auto const key = [](PickerRow const& row) {
        return std::make_tuple(row.programFile.empty(), ToLowerText(row.programFile), ToLowerText(row.caption), row.window);
    };
    std::stable_sort(rows.begin(), rows.end(), [&](PickerRow const& a, PickerRow const& b) { return key(a) < key(b); });
    return rows;
}

std::optional<std::wstring> LastingPart(std::wstring_view caption) {
    std::optional<std::size_t> after;  // where the text after the last separator starts
    for (std::wstring_view const separator : kSeparators) {
        std::size_t const at = caption.rfind(separator);
        if (at != std::wstring_view::npos && (!after || at + separator.size() > *after)) after = at + separator.size();
    }
    if (!after) return std::nullopt;
    std::wstring_view const lasting = TrimSpacesAndTabs(caption.substr(*after));
    if (lasting.empty()) return std::nullopt;
    return std::wstring(lasting);
}

std::optional<std::wstring> LastingPartOf(PickerRow const& row) {
    if (row.captionCut) return std::nullopt;
    return LastingPart(row.caption);
}

int FindRowByCaption(std::vector<PickerRow> const& rows, std::wstring_view typed, int start, bool wrap) {
    std::wstring const wanted = ToLowerText(typed);
    int const count = static_cast<int>(rows.size());
    int const first = std::clamp(start, 0, count);
    auto const matches = [&](int i) {
        return ToLowerText(rows[static_cast<std::size_t>(i)].caption).starts_with(wanted);
    };
    for (int i = first; i < count; ++i) {
        if (matches(i)) return i;
    }
    for (int i = 0; wrap && i < first; ++i) {
        if (matches(i)) return i;
    }
    return -1;
}

CaptionPart DefaultCaptionPart(PickerRow const& row) {
    return LastingPartOf(row) ? CaptionPart::Lasting : CaptionPart::Whole;
}

ProgramFromWindow MakeProgramFromWindow(WindowChoice const& choice,
                                        std::function<bool(std::wstring_view)> const& nameInUse) {
    PickerRow const& row = choice.row;
    ProgramFromWindow made;
    std::wstring_view named = TrimSpacesAndTabs(row.fileDescription);
    if (named.empty()) named = TrimSpacesAndTabs(WithoutExtension(row.programFile));
    if (named.empty()) named = L"Program";  // a process whose image cannot be read
    made.name = std::wstring(named);
    for (int number = 2; nameInUse(made.name); ++number) made.name = std::wstring(named) + L" " + std::to_wstring(number);
    std::optional<std::wstring> const lasting = LastingPartOf(row);
    if (choice.part == CaptionPart::Lasting && lasting) {
        made.caption = *lasting;
        made.captionMatch = kLastingMatch;
    } else {
        made.caption = std::wstring(TrimSpacesAndTabs(row.caption));
    }
    made.exe = row.imagePath;
    if (choice.matchProcess) made.process = row.imagePath;
    return made;
}

void StoreMatchKeys(WatchedProgram& record, ProgramFromWindow const& made) {
    record.rules.process = made.process;
    record.rules.captionMatch = made.captionMatch;
}

}  // namespace vigilon
