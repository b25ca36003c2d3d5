#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/window_picker_logic.h"

namespace vigilon {
namespace {

constexpr std::uint32_t kVigilon = 10;
constexpr std::uint32_t kShell = 20;
constexpr std::uint32_t kNotes = 30;
constexpr std::uint32_t kSheets = 40;
constexpr std::uint32_t kElevated = 50;  // a process whose image cannot be read

WindowSurveyResult Desktop() {
    WindowSurveyResult survey;
    survey.ownProcessId = kVigilon;
    survey.shellProcessId = kShell;
    survey.windows = {
        {1, L"Watching programs - so you don't have to", L"VigilonMain", kVigilon, L"C:\\V\\vigilon.exe", L"Vigilon"},
        {2, L"Program Manager", L"Progman", kShell, L"C:\\Windows\\explorer.exe", L""},
        {3, L"Untitled - Notes", L"NotesFrame", kNotes, L"C:\\Tools\\notes.exe", L"Notes for Everyone"},
        {4, L"   ", L"NotesToolTip", kNotes, L"C:\\Tools\\notes.exe", L""},
        {5, L"Budget.xls - Sheets", L"SheetsMain", kSheets, L"D:\\Apps\\Sheets.EXE", L""},
        {6, L"About Notes", L"#32770", kNotes, L"C:\\Tools\\notes.exe", L"Notes for Everyone"},
        {7, L"Administrator: Console", L"ConsoleWindowClass", kElevated, L"", L""},
    };
    return survey;
}

std::vector<WindowHandle> Listed(WindowSurveyResult const& survey, std::wstring_view filter) {
    std::vector<WindowHandle> windows;
    for (PickerRow const& row : PickerRows(survey, filter)) windows.push_back(row.window);
    return windows;
}

// Vigilon's own windows, the shell's and windows without a caption are left out; the rest come
// sorted by program file, then caption, whatever the order the system gave them in, and a window
// whose program file could not be read comes last.
TEST(WindowPicker, ListsOtherProgramsWindowsWithCaptionsByProgram) {
    std::vector<PickerRow> const rows = PickerRows(Desktop(), L"");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].window, 6u);  // notes.exe: "About Notes" before "Untitled - Notes"
    EXPECT_EQ(rows[1].window, 3u);
    EXPECT_EQ(rows[2].window, 5u);  // Sheets.EXE, case ignored
    EXPECT_EQ(rows[2].programFile, L"Sheets.EXE");
    EXPECT_EQ(rows[2].className, L"SheetsMain");
    EXPECT_EQ(rows[3].window, 7u);

    // Without a shell (a kiosk's own shell gone), no window is left out for being the shell's.
    WindowSurveyResult noShell = Desktop();
    noShell.shellProcessId = 0;
    noShell.windows[1].processId = 0;
    EXPECT_EQ(PickerRows(noShell, L"").size(), 5u);
}

// The filter looks in the caption, the program file and the class, case ignored; blanks list all.
TEST(WindowPicker, TheFilterNarrowsByCaptionProgramOrClass) {
    WindowSurveyResult const survey = Desktop();
    EXPECT_EQ(Listed(survey, L"budget"), std::vector<WindowHandle>{5});
    EXPECT_EQ(Listed(survey, L" NOTES.exe "), (std::vector<WindowHandle>{6, 3}));
    EXPECT_EQ(Listed(survey, L"#32770"), std::vector<WindowHandle>{6});
    EXPECT_EQ(Listed(survey, L"  ").size(), 4u);
}

// The lasting part is the text after the last " - ", em dash or en dash with a space each side,
// offered only when there is one.
TEST(WindowPicker, TheLastingPartIsWhatFollowsTheLastDash) {
    EXPECT_EQ(LastingPart(L"notes.txt - Notes"), L"Notes");
    EXPECT_EQ(LastingPart(L"a - b.txt - Notes "), L"Notes");
    EXPECT_EQ(LastingPart(L"Start Page \u2014 Mozilla Firefox"), L"Mozilla Firefox");
    EXPECT_EQ(LastingPart(L"a \u2014 b - c \u2013 Viewer"), L"Viewer");
    EXPECT_EQ(LastingPart(L"a \u2013 b - Notes"), L"Notes");
    EXPECT_FALSE(LastingPart(L"Notes"));
    EXPECT_FALSE(LastingPart(L"Re-Start"));  // a dash inside a word is no separator
    EXPECT_FALSE(LastingPart(L"1990\u20132000"));
    EXPECT_FALSE(LastingPart(L"Quorvault V3.2 - "));
}

// A caption cut where the survey stopped reading has lost its end: no lasting part is offered,
// and the whole caption (what was read of it) is looked for from its start.
TEST(WindowPicker, ACutCaptionOffersNoLastingPart) {
    PickerRow row{8, L"a very long document name - Notes and then the rest was cut", L"notes.exe", L"NotesFrame",
                  L"C:\\Tools\\notes.exe", L"", true};
    EXPECT_FALSE(LastingPartOf(row));
    EXPECT_EQ(DefaultCaptionPart(row), CaptionPart::Whole);
    ProgramFromWindow const made = MakeProgramFromWindow({row, CaptionPart::Lasting, true}, [](std::wstring_view) { return false; });
    EXPECT_EQ(made.caption, row.caption);
    EXPECT_EQ(made.captionMatch, L"");
}

// Letters typed in the list find the next row whose caption starts with them, case ignored,
// going round to the first row when the list view asks for that.
TEST(WindowPicker, TypedLettersFindARowByTheStartOfItsCaption) {
    std::vector<PickerRow> const rows = PickerRows(Desktop(), L"");
    // About Notes, Untitled - Notes, Budget.xls - Sheets, Administrator: Console
    EXPECT_EQ(FindRowByCaption(rows, L"a", 0, true), 0);
    EXPECT_EQ(FindRowByCaption(rows, L"a", 1, true), 3);
    EXPECT_EQ(FindRowByCaption(rows, L"ABOUT", 1, true), 0);
    EXPECT_EQ(FindRowByCaption(rows, L"about", 1, false), -1);
    EXPECT_EQ(FindRowByCaption(rows, L"Bu", 4, true), 2);
    EXPECT_EQ(FindRowByCaption(rows, L"Notes", 0, true), -1);  // the start of a caption, not its inside
}

ProgramFromWindow Make(WindowHandle window, CaptionPart part, bool matchProcess,
                       std::vector<std::wstring> const& inUse = {}) {
    std::vector<PickerRow> const rows = PickerRows(Desktop(), L"");
    PickerRow const row = *std::find_if(rows.begin(), rows.end(), [&](PickerRow const& r) { return r.window == window; });
    return MakeProgramFromWindow({row, part, matchProcess}, [&](std::wstring_view name) {
        return std::find(inUse.begin(), inUse.end(), name) != inUse.end();
    });
}

// A choice fills in the name from the description, the caption or its lasting part (matched at
// the end), the executable, and Process= only when ticked.
TEST(WindowPicker, AChoiceFillsInTheNewProgram) {
    ProgramFromWindow const lasting = Make(3, CaptionPart::Lasting, true);
    EXPECT_EQ(lasting.name, L"Notes for Everyone");
    EXPECT_EQ(lasting.caption, L"Notes");
    EXPECT_EQ(lasting.captionMatch, L"End");
    EXPECT_EQ(lasting.exe, L"C:\\Tools\\notes.exe");
    EXPECT_EQ(lasting.process, L"C:\\Tools\\notes.exe");

    ProgramFromWindow const whole = Make(3, CaptionPart::Whole, false);
    EXPECT_EQ(whole.caption, L"Untitled - Notes");
    EXPECT_EQ(whole.captionMatch, L"");  // the default: the caption starts with it
    EXPECT_EQ(whole.exe, L"C:\\Tools\\notes.exe");
    EXPECT_EQ(whole.process, L"");

    // Asked for a lasting part a caption does not have, the whole caption is taken.
    ProgramFromWindow const noPart = Make(6, CaptionPart::Lasting, true);
    EXPECT_EQ(noPart.caption, L"About Notes");
    EXPECT_EQ(noPart.captionMatch, L"");
}

// Without a description the name is the file's without its extension; a name in use is numbered.
TEST(WindowPicker, TheNameComesFromTheFileWithoutADescriptionAndIsNeverTakenTwice) {
    EXPECT_EQ(Make(5, CaptionPart::Whole, true).name, L"Sheets");
    EXPECT_EQ(Make(5, CaptionPart::Whole, true, {L"Sheets", L"Sheets 2"}).name, L"Sheets 3");
}

// A window whose program file could not be read leaves EXE= for the user to fill in, and makes no
// Process= of an empty path, whatever the box said.
TEST(WindowPicker, AWindowWithoutAProgramFileGivesNoExecutableToMatch) {
    ProgramFromWindow const made = Make(7, CaptionPart::Whole, true);
    EXPECT_EQ(made.name, L"Program");
    EXPECT_EQ(made.caption, L"Administrator: Console");
    EXPECT_EQ(made.exe, L"");
    EXPECT_EQ(made.process, L"");
}

}  // namespace
}  // namespace vigilon
