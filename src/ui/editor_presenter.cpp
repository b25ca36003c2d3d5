#include "ui/editor_presenter.h"

#include "app/caption_overlaps.h"
#include "app/settings.h"
#include "support/application_title.h"
#include "support/blanks.h"
#include "support/message.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr std::uint32_t kMbYesNo = 4;
constexpr std::uint32_t kMbDefButton2 = 256;
constexpr int kIdYes = 6;

// The record's text each box shows, in the order of Field.
constexpr std::wstring WatchedProgram::*kFieldTexts[kFieldCount] = {
    &WatchedProgram::caption, &WatchedProgram::exe, &WatchedProgram::prefix, &WatchedProgram::command,
    &WatchedProgram::postfix};

std::wstring& FieldOf(WatchedProgram& record, Field field) { return record.*kFieldTexts[static_cast<int>(field)]; }

// What the editor says of captions that overlap before it saves; empty for none.
std::wstring CaptionOverlapWarning(WatchedPrograms const& programs) {
    std::wstring text;
    for (CaptionOverlap const& overlap : CaptionOverlaps(programs)) {
        WatchedProgram const& shorter = programs[overlap.shorter];
        WatchedProgram const& longer = programs[overlap.longer];
        if (overlap.same) {
            text += shorter.name + L" and " + longer.name + L" have the same caption, \"" + shorter.caption +
                    L"\": each takes a window of its own.\r\n";
        } else {
            text += L"The caption of " + shorter.name + L", \"" + shorter.caption + L"\", is the start of " +
                    longer.name + L"'s, \"" + longer.caption + L"\": a window that matches both goes to " +
                    longer.name + L".\r\n";
        }
    }
    return text;
}

}  // namespace

EditorPresenter::EditorPresenter(EditorView& view, WatchedPrograms& programs, SettingsFile const& settings,
                                 SystemServices& system)
    : view_(view), programs_(programs), settings_(settings), system_(system) {}

void EditorPresenter::OnActivate() {
    if (!HasCurrent()) RebuildProgramList();
    ShowProgramFields();
}

void EditorPresenter::OnSelectionChanged(int index) {
    if (index < 0) return;
    currentProgram_ = view_.ListItemData(index);
    ShowProgramFields();
}

void EditorPresenter::OnSave() {
    if (readOnly_) return;
    StoreProgramFields();
    // Overlapping captions may be meant (a window goes to the longest that matches): asked once
    // for the same captions.
    std::wstring const overlaps = CaptionOverlapWarning(programs_);
    if (!overlaps.empty() && overlaps != keptOverlaps_) {
        if (ShowMessage(system_, overlaps + L"\r\nSave anyway?", kMbYesNo | kMbIconExclamation, kApplicationTitle) !=
            kIdYes) {
            return;
        }
        keptOverlaps_ = overlaps;
    }
    std::wstring refusal;
    if (SaveSettings(settings_, programs_, &refusal)) {
        // Saved: each program has its section now, and its restart rules are written at once.
        for (int i = 1; i <= programs_.Count(); ++i) programs_[i].added = false;
    } else {
        // A value the file would not give back is named; the file is left as it was.
        ShowMessage(system_, refusal.empty() ? UnsavedSettingsMessage(settings_.Path()) : refusal + L"\r\nNothing was saved.",
                    kMbIconExclamation, kApplicationTitle);
    }
}

void EditorPresenter::OnCancel() { ShowProgramFields(); }

void EditorPresenter::OnNewProgram() {
    if (readOnly_) return;
    // The settings file keeps no blanks around a section name: the name is what would be stored.
    std::wstring const answer = view_.AskText(L"Name of Program to Monitor", L"Program Name");
    std::wstring const name(TrimSpacesAndTabs(answer));
    if (name.empty()) return;  // nothing but blanks, as nothing at all
    if (NameInUse(name)) {
        // Each name is a section of the settings file: two programs of one name would share
        // their settings, and saving would keep only one of them.
        ShowMessage(system_, L"A program named " + name + L" is already in the list.", kMbIconExclamation,
                    kApplicationTitle);
        return;
    }
    int const number = programs_.Add(name);
    if (number == 0) return;  // the table is full
    view_.AppendListEntry(name, number);
}

void EditorPresenter::OnNewFromWindow() {
    if (readOnly_) return;
    std::optional<WindowChoice> const choice = view_.PickWindow();
    if (!choice) return;
    ProgramFromWindow const made =
        MakeProgramFromWindow(*choice, [&](std::wstring_view name) { return NameInUse(name); });
    int const number = programs_.Add(made.name);
    if (number == 0) return;  // the table is full
    WatchedProgram& record = programs_[number];
    record.caption = made.caption;
    record.exe = made.exe;
    StoreMatchKeys(record, made);
    view_.AppendListEntry(made.name, number);
    // Shown at once, so that the user sees what the window filled in before saving; but text typed
    // for the program shown and not saved yet stays in its boxes, and the new program is left
    // unselected, as New Program leaves it: selecting another entry would replace that text.
    if (FieldsEdited()) return;
    view_.SelectListEntry(number - 1);
    OnSelectionChanged(number - 1);
}

bool EditorPresenter::FieldsEdited() const {
    if (!HasCurrent()) return false;
    for (int i = 0; i < kFieldCount; ++i) {
        auto const field = static_cast<Field>(i);
        if (view_.FieldText(field) != FieldOf(programs_[currentProgram_], field)) return true;
    }
    return false;
}

bool EditorPresenter::NameInUse(std::wstring_view name) const {
    // The settings file compares section names without regard to case, and reads values trimmed.
    for (int i = 1; i <= programs_.Count(); ++i) {
        if (SameText(TrimBlanks(programs_[i].name), name)) return true;
    }
    return false;
}

void EditorPresenter::OnDeleteProgram() {
    if (!HasCurrent() || readOnly_) return;
    std::wstring const prompt = L"OK to delete the program: " + programs_[currentProgram_].name;
    if (ShowMessage(system_, prompt, kMbYesNo | kMbDefButton2, kApplicationTitle) != kIdYes) return;
    programs_.Delete(currentProgram_);
    currentProgram_ = 0;
    OnActivate();
}

void EditorPresenter::OnBrowse(Field field) {
    if (!HasCurrent() || readOnly_) return;
    bool const exe = field == Field::Exe;
    std::wstring const prompt = exe ? L"Select executable to run" : L"File/Folder to add to command line";
    std::wstring const path = view_.BrowseForPath(prompt, FieldOf(programs_[currentProgram_], field));
    if (!path.empty()) view_.SetField(field, path);
}

void EditorPresenter::ShowProgramFields() {
    // With no program left to show, the fields stay empty until one is added and selected.
    WatchedProgram shown = HasCurrent() ? programs_[currentProgram_] : WatchedProgram{};
    view_.SetFrameCaption(L"Parameters for " + shown.name);
    for (int i = 0; i < kFieldCount; ++i) view_.SetField(static_cast<Field>(i), FieldOf(shown, static_cast<Field>(i)));
}

void EditorPresenter::StoreProgramFields() {
    if (!HasCurrent()) return;
    WatchedProgram& record = programs_[currentProgram_];
    for (int i = 0; i < kFieldCount; ++i) {
        auto const field = static_cast<Field>(i);
        FieldOf(record, field) = std::wstring(TrimBlanks(view_.FieldText(field)));
    }
}

void EditorPresenter::RebuildProgramList() {
    view_.ClearList();
    currentProgram_ = 0;
    for (int i = 1; i <= programs_.Count(); ++i) view_.AppendListEntry(programs_[i].name, i);
    if (programs_.Count() == 0) {
        view_.SelectListEntry(-1);
        return;
    }
    view_.SelectListEntry(0);
    OnSelectionChanged(0);
}

}  // namespace vigilon
