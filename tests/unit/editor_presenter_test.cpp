#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "app/settings.h"
#include "fakes/fake_profile_store.h"
#include "fakes/fake_system_services.h"
#include "ui/editor_presenter.h"

namespace vigilon {
namespace {

using testing::FakeProfileStore;
using testing::FakeSystemServices;

constexpr wchar_t kIni[] = L"C:\\V\\vigilon.ini";
constexpr int kYes = 6;
constexpr int kNo = 7;

// The editor's window as the presenter sees it.
class FakeEditorView final : public EditorView {
public:
    struct Entry {
        std::wstring text;
        std::int32_t data;
    };
    std::vector<Entry> list;
    int selected = -1;
    std::wstring frameCaption;
    std::array<std::wstring, kFieldCount> fields;
    std::wstring answer;  // what the user types into the input box
    std::wstring browseAnswer;
    std::vector<std::wstring> browseInitial;

    void ClearList() override { list.clear(); selected = -1; }
    void AppendListEntry(std::wstring const& text, std::int32_t data) override { list.push_back({text, data}); }
    void SelectListEntry(int index) override { selected = index; }
    std::int32_t ListItemData(int index) const override { return list.at(static_cast<std::size_t>(index)).data; }
    void SetFrameCaption(std::wstring const& caption) override { frameCaption = caption; }
    void SetField(Field field, std::wstring const& text) override { fields[static_cast<std::size_t>(field)] = text; }
    std::wstring FieldText(Field field) const override { return fields[static_cast<std::size_t>(field)]; }
    std::wstring AskText(std::wstring const&, std::wstring const&) override { return answer; }
    std::wstring BrowseForPath(std::wstring const&, std::wstring const& initial) override {
        browseInitial.push_back(initial);
        return browseAnswer;
    }
    std::optional<WindowChoice> picked;  // what the user chooses in New from a Window
    int pickerShown = 0;
    std::optional<WindowChoice> PickWindow() override {
        ++pickerShown;
        return picked;
    }
    std::wstring& Field(Field f) { return fields[static_cast<std::size_t>(f)]; }
};

class EditorTest : public ::testing::Test {
protected:
    EditorTest() {
        programs.Reset(0, 5);
        for (wchar_t const* name : {L"Alpha", L"Beta", L"Gamma"}) {
            WatchedProgram& p = programs[programs.Add(name)];
            p.caption = std::wstring(name) + L" - ";
            p.exe = std::wstring(L"C:\\") + name + L".exe";
        }
    }
    std::vector<std::wstring> ListTexts() const {
        std::vector<std::wstring> texts;
        for (auto const& e : view.list) texts.push_back(e.text);
        return texts;
    }

    FakeProfileStore store;
    SettingsFile settings{store, kIni};
    FakeSystemServices system;
    WatchedPrograms programs;
    FakeEditorView view;
    EditorPresenter editor{view, programs, settings, system};
};

TEST_F(EditorTest, OpeningListsTheProgramsInOrderAndShowsTheFirst) {
    editor.OnActivate();
    EXPECT_EQ(ListTexts(), (std::vector<std::wstring>{L"Alpha", L"Beta", L"Gamma"}));
    EXPECT_EQ(view.list[2].data, 3);
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(editor.CurrentProgram(), 1);
    EXPECT_EQ(view.frameCaption, L"Parameters for Alpha");
    EXPECT_EQ(view.Field(Field::Caption), L"Alpha - ");
    EXPECT_EQ(view.Field(Field::Exe), L"C:\\Alpha.exe");

    editor.OnSelectionChanged(1);
    EXPECT_EQ(view.frameCaption, L"Parameters for Beta");
    EXPECT_EQ(editor.CurrentProgram(), 2);
}

TEST_F(EditorTest, SaveTrimsBlanksOnlyAndLeavesTheTextBoxes) {
    editor.OnActivate();
    view.Field(Field::Exe) = L"  D:\\Tools\\x.exe ";
    view.Field(Field::Prefix) = L"\t-a ";
    editor.OnSave();
    EXPECT_EQ(programs[1].exe, L"D:\\Tools\\x.exe");
    EXPECT_EQ(programs[1].prefix, L"\t-a");
    EXPECT_EQ(programs[1].caption, L"Alpha -");
    EXPECT_EQ(view.Field(Field::Exe), L"  D:\\Tools\\x.exe ");
    std::vector<std::wstring> const lines = store.Lines(kIni);
    EXPECT_NE(std::find(lines.begin(), lines.end(), L"EXE=D:\\Tools\\x.exe"), lines.end());
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(EditorTest, SaveWarnsOfACaptionThatIsTheStartOfAnothersAndTheUserMayKeepIt) {
    programs[3].caption = L"alpha - 2";
    editor.OnActivate();
    system.buttonPressed = kNo;
    editor.OnSave();
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text,
              L"The caption of Alpha, \"Alpha -\", is the start of Gamma's, \"alpha - 2\": a window that matches "
              L"both goes to Gamma.\r\n\r\nSave anyway?");
    EXPECT_TRUE(store.Lines(kIni).empty());  // not saved

    system.buttonPressed = kYes;
    editor.OnSave();
    EXPECT_FALSE(store.Lines(kIni).empty());
    editor.OnSave();  // kept: not asked again about the same captions
    EXPECT_EQ(system.messages.size(), 2u);
    programs[2].caption = L"Gamma";  // another overlap: asked again
    programs[3].caption = L"Gamma";
    editor.OnSave();
    ASSERT_EQ(system.messages.size(), 3u);
    EXPECT_EQ(system.messages[2].text,
              L"Beta and Gamma have the same caption, \"Gamma\": each takes a window of its own.\r\n\r\nSave anyway?");
    // Told apart by their program files, they never compete for a window: nothing to ask.
    programs[2].rules.process = L"C:\\Tools\\beta.exe";
    programs[3].rules.process = L"C:\\Tools\\gamma.exe";
    editor.OnSave();
    EXPECT_EQ(system.messages.size(), 3u);
}

TEST_F(EditorTest, CancelAndActivationRestoreTheStoredValues) {
    editor.OnActivate();
    view.Field(Field::Caption) = L"typed";
    editor.OnCancel();
    EXPECT_EQ(view.Field(Field::Caption), L"Alpha - ");
    view.Field(Field::Caption) = L"typed";
    editor.OnActivate();
    EXPECT_EQ(view.Field(Field::Caption), L"Alpha - ");
}

TEST_F(EditorTest, NewProgramIsAddedWithoutBeingSelected) {
    editor.OnActivate();
    view.answer = L" Delta ";
    editor.OnNewProgram();
    EXPECT_EQ(programs.Count(), 4);
    EXPECT_EQ(programs[4].name, L"Delta");  // trimmed, as the settings file would keep it
    ASSERT_EQ(view.list.size(), 4u);
    EXPECT_EQ(view.list[3].data, 4);
    EXPECT_EQ(editor.CurrentProgram(), 1);
    EXPECT_EQ(view.frameCaption, L"Parameters for Alpha");
    editor.OnSelectionChanged(3);
    EXPECT_EQ(view.frameCaption, L"Parameters for Delta");
    EXPECT_EQ(view.Field(Field::Exe), L"");

    view.answer = L"";
    editor.OnNewProgram();
    EXPECT_EQ(programs.Count(), 4);
}

TEST_F(EditorTest, ANameIsTrimmedAndOneOfBlanksOrAlreadyInTheListIsRefused) {
    editor.OnActivate();
    view.answer = L"   ";
    editor.OnNewProgram();
    EXPECT_EQ(programs.Count(), 3);
    EXPECT_TRUE(system.messages.empty());

    view.answer = L"  beta\t";
    editor.OnNewProgram();
    EXPECT_EQ(programs.Count(), 3);
    EXPECT_EQ(view.list.size(), 3u);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text, L"A program named beta is already in the list.");
    EXPECT_EQ(system.messages[0].style, 48u);
}

TEST_F(EditorTest, DeleteAsksAndOnlyYesDeletes) {
    editor.OnActivate();
    editor.OnSelectionChanged(1);
    system.buttonPressed = kNo;
    editor.OnDeleteProgram();
    EXPECT_EQ(programs.Count(), 3);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text, L"OK to delete the program: Beta");
    EXPECT_EQ(system.messages[0].style, 260u);
    EXPECT_EQ(system.messages[0].title, L"Vigilon");

    system.buttonPressed = kYes;
    editor.OnDeleteProgram();
    EXPECT_EQ(ListTexts(), (std::vector<std::wstring>{L"Alpha", L"Gamma"}));
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(editor.CurrentProgram(), 1);
    EXPECT_EQ(view.frameCaption, L"Parameters for Alpha");
}

TEST_F(EditorTest, DeletingTheLastProgramIsSafe) {
    editor.OnActivate();
    system.buttonPressed = kYes;
    for (int i = 0; i < 3; ++i) editor.OnDeleteProgram();
    EXPECT_EQ(programs.Count(), 0);
    EXPECT_EQ(editor.CurrentProgram(), 0);
    EXPECT_TRUE(view.list.empty());
    EXPECT_EQ(view.selected, -1);
    EXPECT_EQ(view.frameCaption, L"Parameters for ");

    std::size_t const asked = system.messages.size();
    view.Field(Field::Caption) = L"ignored";
    editor.OnDeleteProgram();
    editor.OnBrowse(Field::Exe);
    editor.OnCancel();
    EXPECT_EQ(system.messages.size(), asked);
    EXPECT_TRUE(view.browseInitial.empty());
    editor.OnSave();  // saves the empty list
    std::vector<std::wstring> const lines = store.Lines(kIni);
    EXPECT_NE(std::find(lines.begin(), lines.end(), L"Number=0"), lines.end());

    view.answer = L"Fresh";
    editor.OnNewProgram();
    editor.OnSelectionChanged(0);
    EXPECT_EQ(editor.CurrentProgram(), 1);
    EXPECT_EQ(view.frameCaption, L"Parameters for Fresh");
}

TEST_F(EditorTest, BrowseStartsFromTheStoredValueAndACancelKeepsTheField) {
    editor.OnActivate();
    view.Field(Field::Exe) = L"typed";
    editor.OnBrowse(Field::Exe);
    EXPECT_EQ(view.browseInitial.back(), L"C:\\Alpha.exe");
    EXPECT_EQ(view.Field(Field::Exe), L"typed");
    view.browseAnswer = L"D:\\chosen";
    editor.OnBrowse(Field::Command);
    EXPECT_EQ(view.Field(Field::Command), L"D:\\chosen");
    EXPECT_EQ(programs[1].command, L"");
}

// Also the proof that SaveSettings reports failed writes: the message comes only from its result.
TEST_F(EditorTest, FailedSaveIsReportedWithTheFileName) {
    editor.OnActivate();
    store.FailWrites(kIni);
    editor.OnSave();
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_NE(system.messages[0].text.find(kIni), std::wstring::npos);
    EXPECT_EQ(system.messages[0].style, 48u);
}

// A program's Settings are written to its section at once, which a program not saved yet lacks.
TEST_F(EditorTest, SettingsWaitUntilANewProgramIsSaved) {
    for (int i = 1; i <= programs.Count(); ++i) programs[i].added = false;  // as read from the file
    editor.OnActivate();
    EXPECT_TRUE(editor.SettingsAvailable());
    view.answer = L"Delta";
    editor.OnNewProgram();
    editor.OnSelectionChanged(3);
    ASSERT_EQ(editor.CurrentProgram(), 4);
    EXPECT_FALSE(editor.SettingsAvailable());
    editor.OnSave();
    EXPECT_TRUE(editor.SettingsAvailable());
}

// A window chosen in New from a Window becomes a program at the end of the list, shown at once so
// that the user sees what it filled in, and written only by Save; a cancelled choice adds nothing.
TEST_F(EditorTest, AWindowChosenIsAddedAndShownUnsaved) {
    editor.OnActivate();
    editor.OnNewFromWindow();
    EXPECT_EQ(programs.Count(), 3);
    view.picked = WindowChoice{{7, L"notes.txt - Beta", L"beta.exe", L"BetaFrame", L"C:\\Tools\\beta.exe", L"Beta"},
                               CaptionPart::Lasting, true};
    editor.OnNewFromWindow();
    ASSERT_EQ(programs.Count(), 4);
    EXPECT_EQ(ListTexts().back(), L"Beta 2");  // Beta is in the list already
    EXPECT_EQ(view.selected, 3);
    EXPECT_EQ(editor.CurrentProgram(), 4);
    EXPECT_EQ(view.Field(Field::Caption), L"Beta");
    EXPECT_EQ(view.Field(Field::Exe), L"C:\\Tools\\beta.exe");
    EXPECT_TRUE(programs[4].added);
    // Its lasting part matched at the end, and only in windows of its own program file.
    EXPECT_EQ(programs[4].rules.captionMatch, L"End");
    EXPECT_EQ(programs[4].rules.process, L"C:\\Tools\\beta.exe");
    EXPECT_FALSE(store.Has(kIni));
}

// Text typed for the program shown and not saved yet is not replaced by the new program's: the
// new one is only added to the list, as New Program adds one, and the typed text is saved as typed.
TEST_F(EditorTest, AWindowChosenWhileFieldsAreEditedLeavesTheTypedText) {
    editor.OnActivate();
    view.Field(Field::Command) = L"--typed";
    view.picked = WindowChoice{{7, L"Delta", L"delta.exe", L"DeltaFrame", L"C:\\delta.exe", L""}, CaptionPart::Whole, true};
    editor.OnNewFromWindow();
    ASSERT_EQ(programs.Count(), 4);
    EXPECT_EQ(ListTexts().back(), L"delta");
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(editor.CurrentProgram(), 1);
    EXPECT_EQ(view.Field(Field::Command), L"--typed");
    EXPECT_EQ(view.Field(Field::Caption), L"Alpha - ");
    editor.OnSave();
    EXPECT_EQ(programs[1].command, L"--typed");
    EXPECT_EQ(programs[4].caption, L"Delta");
}

// Locked by an administrator: the list can be looked through, but nothing is added, deleted or saved.
TEST_F(EditorTest, ReadOnlyChangesNothing) {
    editor.SetReadOnly(true);
    editor.OnActivate();
    view.Field(Field::Exe) = L"D:\\other.exe";
    editor.OnSave();
    EXPECT_FALSE(store.Has(kIni));
    view.answer = L"Delta";
    editor.OnNewProgram();
    editor.OnDeleteProgram();
    view.browseAnswer = L"E:\\x.exe";
    editor.OnBrowse(Field::Exe);
    editor.OnNewFromWindow();
    EXPECT_EQ(view.pickerShown, 0);
    EXPECT_EQ(programs.Count(), 3);
    EXPECT_TRUE(system.messages.empty());  // no question asked
    EXPECT_TRUE(view.browseInitial.empty());
    editor.OnSelectionChanged(1);
    EXPECT_EQ(view.Field(Field::Caption), L"Beta - ");
}

}  // namespace
}  // namespace vigilon
