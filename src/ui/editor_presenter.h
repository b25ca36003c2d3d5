#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/settings_file.h"
#include "app/watched_programs.h"
#include "platform/system_services.h"
#include "ui/window_picker_logic.h"

namespace vigilon {

// The editor's five text boxes, in the order of their indices.
enum class Field : std::uint8_t { Caption = 0, Exe = 1, Prefix = 2, Command = 3, Postfix = 4 };
inline constexpr int kFieldCount = 5;

// What the editor's logic asks of its window.
class EditorView {
public:
    virtual ~EditorView() = default;

    virtual void ClearList() = 0;
    virtual void AppendListEntry(std::wstring const& text, std::int32_t itemData) = 0;
    // Selects an entry without telling the presenter; -1 selects none.
    virtual void SelectListEntry(int index) = 0;
    virtual std::int32_t ListItemData(int index) const = 0;

    virtual void SetFrameCaption(std::wstring const& caption) = 0;
    virtual void SetField(Field field, std::wstring const& text) = 0;
    virtual std::wstring FieldText(Field field) const = 0;

    // A modal input box owned by the window; empty when cancelled.
    virtual std::wstring AskText(std::wstring const& prompt, std::wstring const& title) = 0;
    // The shell's folder dialog owned by the window; empty when cancelled.
    virtual std::wstring BrowseForPath(std::wstring const& prompt, std::wstring const& initialPath) = 0;
    // New from a Window's dialog owned by the window; nothing when cancelled.
    virtual std::optional<WindowChoice> PickWindow() = 0;
};

// The configuration editor: lists the watched programs, shows the current one's fields, and adds,
// deletes, edits and saves programs.
class EditorPresenter {
public:
    EditorPresenter(EditorView& view, WatchedPrograms& programs, SettingsFile const& settings,
                    SystemServices& system);

    // The window became active: the list is rebuilt when needed and the fields are reloaded.
    void OnActivate();
    // The user selected the list entry at `index`.
    void OnSelectionChanged(int index);
    void OnSave();
    void OnCancel();
    void OnNewProgram();
    // New from a Window: the program the chosen window makes is added, not saved yet, and shown,
    // unless the boxes hold text typed for the program shown: then it is only added to the list.
    void OnNewFromWindow();
    void OnDeleteProgram();
    // A browse button beside `field` (Exe or Command) was pressed.
    void OnBrowse(Field field);

    // The program whose fields are shown, 0 for none.
    int CurrentProgram() const { return currentProgram_; }
    // A program's Settings are written to its section at once: a program added and not saved yet
    // has none, so its Settings wait until Save.
    bool SettingsAvailable() const { return HasCurrent() && !programs_[currentProgram_].added; }

    // Locked by an administrator: the list can be looked through, but Save, New, Delete and Browse
    // change nothing.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool ReadOnly() const { return readOnly_; }

private:
    bool HasCurrent() const { return currentProgram_ >= 1 && currentProgram_ <= programs_.Count(); }
    void ShowProgramFields();
    void StoreProgramFields();
    // True when a box's text differs from what the current program holds: typed and not saved.
    bool FieldsEdited() const;
    void RebuildProgramList();
    // True when a program of the list already has `name`, as the settings file compares names.
    bool NameInUse(std::wstring_view name) const;

    EditorView& view_;
    WatchedPrograms& programs_;
    SettingsFile const& settings_;
    SystemServices& system_;
    int currentProgram_ = 0;
    bool readOnly_ = false;
    std::wstring keptOverlaps_;  // the overlapping captions the user chose to keep, as they were said
};

}  // namespace vigilon
