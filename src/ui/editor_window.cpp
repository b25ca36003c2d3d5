#include "ui/editor_window.h"

#include "controls/property_bag.h"
#include "platform/win32/win32_handles.h"
#include "support/folders.h"
#include "platform/win32/dpi.h"
#include "ui/dialog_controls.h"
#include "ui/input_box.h"
#include "ui/program_settings_logic.h"
#include "ui/win32_layout.h"
#include "ui/window_picker_dialog.h"

namespace vigilon {
namespace {

// The main window's stored layout for its framed panel: its caption and the host's own extent
// entries (hundredths of a millimetre), nothing else.
MemoryPropertyBag StoredFrameLayout() {
    return MemoryPropertyBag{{L"caption", std::wstring(L"Frame1")},
                             {L"_extentx", std::int32_t{12726}},
                             {L"_extenty", std::int32_t{9657}}};
}

std::uint16_t FieldId(Field field) { return static_cast<std::uint16_t>(kIdFieldBase + static_cast<int>(field)); }

}  // namespace

EditorWindow::EditorWindow(Platform& platform, WatchedPrograms& programs, SettingsFile const& settings)
    : platform_(platform), presenter_(*this, programs, settings, platform.system) {}

bool EditorWindow::Create(HWND main, HINSTANCE instance) {
    main_ = main;
    instance_ = instance;
    UINT const dpi = WindowDpi(main);
    tooltips_ = CreateTooltips(main, instance);
    for (ControlPlacement const& placement : EditorLayout()) {
        if (placement.kind == ControlKind::Frame) {
            if (!frame_.Create(main, placement.id, ScaledBounds(placement, dpi), instance)) return false;
            controls_[placement.id] = frame_.Window();
            continue;
        }
        HWND const parent = placement.container == Container::Frame ? frame_.Window() : main;
        HWND const control = CreateLayoutControl(parent, placement, dpi, instance);
        if (control == nullptr) return false;
        controls_[placement.id] = control;
        if (placement.tooltip != nullptr) AddTooltip(tooltips_, parent, control, placement.tooltip);
    }
    for (ControlPlacement const& placement : EditorLayout()) {
        if (placement.kind == ControlKind::Label) SendLabelToBack(Control(placement.id));
    }
    LayOut(dpi);
    frame_.Model().LoadFromBag(StoredFrameLayout(), ParentLook());
    return true;
}

HWND EditorWindow::Control(std::uint16_t id) const {
    auto const it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

HFONT EditorWindow::FontFor(ControlFont font) const {
    switch (font) {
    case ControlFont::LargeBold: return largeBoldFont_.Get();
    case ControlFont::ButtonBold: return buttonBoldFont_.Get();
    case ControlFont::Window: break;
    }
    return windowFont_.Get();
}

// The main window's own look, which the framed panel follows.
FrameParent EditorWindow::ParentLook() const { return {GetSysColor(COLOR_BTNFACE), kDialogFontFace, kDialogFontPoints}; }

void EditorWindow::LayOut(UINT dpi) {
    windowFont_.Reset(CreateDialogFont(dpi));
    buttonBoldFont_.Reset(CreatePointFont(kDialogFontFace, 9.75f, true, dpi));
    frame_.SetDpi(dpi);
    for (ControlPlacement const& placement : EditorLayout()) {
        HWND const control = Control(placement.id);
        RECT const r = ScaledBounds(placement, dpi);
        MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        if (placement.kind != ControlKind::Frame && placement.font != ControlFont::LargeBold) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(placement.font)), TRUE);
        }
    }
    // Drawn once per DPI (start-up lays out twice); the picture control shows the new logo before
    // the old one is deleted.
    if (dpi != logoDpi_) {
        UniqueBitmap logo(LoadLogo(instance_, dpi));
        SendMessageW(Control(kIdImage), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo.Get()));
        logo_ = std::move(logo);
        logoDpi_ = dpi;
    }
    FitDescription(dpi);
}

bool EditorWindow::OnCommand(UINT id, UINT code) {
    switch (id) {
    case kIdProgramList:
        if (code == LBN_SELCHANGE) {
            presenter_.OnSelectionChanged(static_cast<int>(SendMessageW(Control(kIdProgramList), LB_GETCURSEL, 0, 0)));
        }
        return true;
    case kIdSave: presenter_.OnSave(); return true;
    case IDOK:  // Enter
    case kIdCancel: presenter_.OnCancel(); return true;
    case kIdNewProgram: presenter_.OnNewProgram(); return true;
    case kIdDeleteProgram: presenter_.OnDeleteProgram(); return true;
    case kIdBrowseBase + 1: presenter_.OnBrowse(Field::Exe); return true;
    case kIdBrowseBase + 3: presenter_.OnBrowse(Field::Command); return true;
    default: return false;
    }
}

void EditorWindow::SetDescription(std::wstring const& text) {
    description_ = text;
    HWND const label = Control(kIdDescription);
    std::wstring const shown = presenter_.ReadOnly() ? text + L"\r\n" + kLockedSettingsNote : text;
    SetWindowTextW(label, shown.c_str());
    FitDescription(WindowDpi(main_));
}

void EditorWindow::SetReadOnly(bool readOnly) {
    presenter_.SetReadOnly(readOnly);
    for (ControlPlacement const& placement : EditorLayout()) {
        bool const changes = placement.kind == ControlKind::TextBox || placement.id == kIdNewProgram ||
                             placement.id == kIdDeleteProgram || placement.id == kIdSave ||
                             placement.id == kIdBrowseBase + 1 || placement.id == kIdBrowseBase + 3;
        if (changes) EnableWindow(Control(placement.id), readOnly ? FALSE : TRUE);
    }
    SetDescription(description_);
}

void EditorWindow::FitDescription(UINT dpi) {
    HWND const label = Control(kIdDescription);
    largeBoldFont_.Reset(CreateFittingFont(label, kDialogFontFace, 12.0f, true, dpi));
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(largeBoldFont_.Get()), TRUE);
}

void EditorWindow::FocusList() { SetFocus(Control(kIdProgramList)); }

void EditorWindow::ClearList() { SendMessageW(Control(kIdProgramList), LB_RESETCONTENT, 0, 0); }

void EditorWindow::AppendListEntry(std::wstring const& text, std::int32_t itemData) {
    HWND const list = Control(kIdProgramList);
    LRESULT const index = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(index), itemData);
}

void EditorWindow::SelectListEntry(int index) {
    SendMessageW(Control(kIdProgramList), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::int32_t EditorWindow::ListItemData(int index) const {
    return static_cast<std::int32_t>(SendMessageW(Control(kIdProgramList), LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void EditorWindow::SetFrameCaption(std::wstring const& caption) { frame_.Model().SetCaption(caption); }

void EditorWindow::SetField(Field field, std::wstring const& text) {
    SetWindowTextW(Control(FieldId(field)), text.c_str());
}

std::wstring EditorWindow::FieldText(Field field) const { return WindowText(Control(FieldId(field))); }

std::wstring EditorWindow::AskText(std::wstring const& prompt, std::wstring const& title) {
    return InputBox(main_, instance_, prompt, title);
}

std::optional<WindowChoice> EditorWindow::PickWindow() { return ShowWindowPicker(main_, instance_, platform_.survey); }

std::wstring EditorWindow::BrowseForPath(std::wstring const& prompt, std::wstring const& initialPath) {
    return BrowseForFolder(platform_.shell, platform_.files, FromHwnd(main_), prompt, initialPath, true);
}

}  // namespace vigilon
