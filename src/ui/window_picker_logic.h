#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/watched_program.h"
#include "platform/window_survey.h"

namespace vigilon {

// One row of New from a Window's list: a window a user may want to keep running.
struct PickerRow {
    WindowHandle window = 0;
    std::wstring caption;
    std::wstring programFile;  // the file name of its executable; empty when it cannot be read
    std::wstring className;
    std::wstring imagePath;
    std::wstring fileDescription;
    bool captionCut = false;  // the caption's end was not read
};

// The rows for what the survey found, narrowed by `filter`: every visible window with a caption,
// but for Vigilon's own and the shell's. A filter of blanks lists everything; otherwise a row stays
// when its caption, program file or class holds the filter's text, case ignored. Sorted by
// program file, then by caption (case ignored), so that a program's windows stand together; the
// windows whose program file could not be read come last.
std::vector<PickerRow> PickerRows(WindowSurveyResult const& survey, std::wstring_view filter);

// The part of a caption that stays while the program runs: the text after its last separator
// (" - ", or an em or en dash with a space each side), which is usually the program's own name
// where the text before it names the open document. Nothing when the caption has no separator, or
// nothing but blanks after it.
std::optional<std::wstring> LastingPart(std::wstring_view caption);

// The lasting part of a row's caption, as the dialog offers it: nothing when the caption was cut
// where the survey stopped reading, for its real end is not known.
std::optional<std::wstring> LastingPartOf(PickerRow const& row);

// The row whose caption starts with `typed` (case ignored), looked for from row `start` on and,
// with `wrap`, then from the first row; -1 for none. Letters typed in the list find a row so.
int FindRowByCaption(std::vector<PickerRow> const& rows, std::wstring_view typed, int start, bool wrap);

// Which part of the caption the new program looks for.
enum class CaptionPart : std::uint8_t { Whole, Lasting };

// What the user chose in the dialog.
struct WindowChoice {
    PickerRow row;
    CaptionPart part = CaptionPart::Whole;
    bool matchProcess = true;  // only windows of this very executable count
};

// The lasting part where the caption has one: a caption whose start names a document would not
// be found again once another document is open.
CaptionPart DefaultCaptionPart(PickerRow const& row);

// The program a choice makes, as the keys of its section hold it.
struct ProgramFromWindow {
    std::wstring name;          // the executable's description, or its file name without extension
    std::wstring caption;       // Caption=
    std::wstring exe;           // EXE=
    std::wstring process;       // Process=: the executable's full path; empty when not ticked
    std::wstring captionMatch;  // CaptionMatch=: End for the lasting part; empty for the default
};

// `nameInUse` tells whether a program of the list already has a name: a second program of the
// same name is numbered ("Notepad 2"), for each name is a section of the settings file.
ProgramFromWindow MakeProgramFromWindow(WindowChoice const& choice, std::function<bool(std::wstring_view)> const& nameInUse);

// Puts the keys that narrow the match (Process=, CaptionMatch=) into the program's record: the one
// place that knows where the record keeps them.
void StoreMatchKeys(WatchedProgram& record, ProgramFromWindow const& made);

}  // namespace vigilon
