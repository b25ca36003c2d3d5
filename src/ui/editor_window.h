#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "app/settings_file.h"
#include "app/watched_programs.h"
#include "controls/lumo_frame.h"
#include "platform/platform.h"
#include "platform/win32/win32_owners.h"
#include "ui/editor_presenter.h"
#include "ui/layout_table.h"

namespace vigilon {

// The configuration editor's controls on the main window: a thin view over EditorPresenter.
class EditorWindow final : public EditorView {
public:
    EditorWindow(Platform& platform, WatchedPrograms& programs, SettingsFile const& settings);

    bool Create(HWND main, HINSTANCE instance);
    // Places the controls and makes their fonts for `dpi`.
    void LayOut(UINT dpi);
    // Handles a command from one of the editor's controls; false when it was not one of them.
    bool OnCommand(UINT id, UINT code);

    EditorPresenter& Presenter() { return presenter_; }
    void SetDescription(std::wstring const& text);
    void FocusList();
    // Locked by an administrator: every field and every button that changes the list greyed, and
    // a line under the description that says why; the list can still be looked through.
    void SetReadOnly(bool readOnly);

    void ClearList() override;
    void AppendListEntry(std::wstring const& text, std::int32_t itemData) override;
    void SelectListEntry(int index) override;
    std::int32_t ListItemData(int index) const override;
    void SetFrameCaption(std::wstring const& caption) override;
    void SetField(Field field, std::wstring const& text) override;
    std::wstring FieldText(Field field) const override;
    std::wstring AskText(std::wstring const& prompt, std::wstring const& title) override;
    std::wstring BrowseForPath(std::wstring const& prompt, std::wstring const& initialPath) override;
    std::optional<WindowChoice> PickWindow() override;

private:
    HWND Control(std::uint16_t id) const;
    HFONT FontFor(ControlFont font) const;
    FrameParent ParentLook() const;
    // The description's bold font, as large as its label allows.
    void FitDescription(UINT dpi);

    Platform& platform_;
    EditorPresenter presenter_;
    HWND main_ = nullptr;
    HINSTANCE instance_ = nullptr;
    LumoFrame frame_;
    std::map<std::uint16_t, HWND> controls_;
    HWND tooltips_ = nullptr;
    UniqueFont windowFont_;
    UniqueFont largeBoldFont_;
    UniqueFont buttonBoldFont_;
    UniqueBitmap logo_;
    UINT logoDpi_ = 0;  // the DPI logo_ was drawn for
    std::wstring description_;
};

}  // namespace vigilon
