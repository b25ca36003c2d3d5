#pragma once

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include "platform/win32/dpi.h"
#include "platform/win32/win32_owners.h"
#include "ui/layout_table.h"
#include "ui/win32_layout.h"

namespace vigilon {

inline ControlPlacement const& PlacementOf(ControlPlacement const& placement) { return placement; }
inline ControlPlacement const& PlacementOf(PagedPlacement const& paged) { return paged.placement; }

// A modal dialog, as BaseWindow is a window: the object is kept on its dialog from WM_INITDIALOG
// on, which goes to Derived::OnInitDialog, and the other messages go to Derived::HandleMessage.
// Cancel (Escape, the close box) ends the dialog. A Derived with LayOut(UINT dpi) takes the
// rectangle WM_DPICHANGED suggests and is laid out anew for the new DPI. No exception may cross
// into the system: one is caught and the message is left to the dialog manager.
template <class Derived>
class BaseDialog {
public:
    BaseDialog() = default;
    BaseDialog(BaseDialog const&) = delete;
    BaseDialog& operator=(BaseDialog const&) = delete;

    // The style of the dialogs made from a layout table.
    static constexpr DWORD kStyle = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;

    // The dialog of resource `id`, or, without one, an empty dialog of kStyle whose controls
    // OnInitDialog makes from a layout table, in pixels scaled to the monitor rather than in
    // dialog units. Returns what EndDialog was given.
    INT_PTR ShowModal(HWND owner, HINSTANCE instance, int id = 0) {
        instance_ = instance;
        auto const parameter = reinterpret_cast<LPARAM>(static_cast<Derived*>(this));
        if (id != 0) return DialogBoxParamW(instance, MAKEINTRESOURCEW(id), owner, DialogProc, parameter);
        std::vector<WORD> empty(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);  // no menu, class or title
        reinterpret_cast<DLGTEMPLATE*>(empty.data())->style = kStyle;
        return DialogBoxIndirectParamW(instance, reinterpret_cast<DLGTEMPLATE const*>(empty.data()), owner,
                                       DialogProc, parameter);
    }

protected:
    // Gives the dialog a client area of the size in twips at its monitor's DPI, centred on its
    // owner while that is visible, otherwise on the work area (the template's centring knew
    // nothing of the final size); and makes the controls of `rows` in it.
    template <class Rows>
    void CreateControls(Rows const& rows, int widthTwips, int heightTwips) {
        dpi_ = WindowDpi(dialog_);
        RECT frame{0, 0, TwipsToPixels(widthTwips, dpi_), TwipsToPixels(heightTwips, dpi_)};
        AdjustFrameForDpi(frame, kStyle, false, 0, dpi_);
        int const width = frame.right - frame.left;
        int const height = frame.bottom - frame.top;
        RECT owner{};
        HWND const parent = GetWindow(dialog_, GW_OWNER);
        if (parent != nullptr && IsWindowVisible(parent)) {
            GetWindowRect(parent, &owner);
        } else {
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &owner, 0);
        }
        SetWindowPos(dialog_, nullptr, owner.left + (owner.right - owner.left - width) / 2,
                     owner.top + (owner.bottom - owner.top - height) / 2, width, height, SWP_NOZORDER);
        // Centred on an owner near a screen's edge, a tall dialog would hang off it: brought
        // back within the work area of its display.
        SendMessageW(dialog_, DM_REPOSITION, 0, 0);
        for (auto const& row : rows) CreateLayoutControl(dialog_, PlacementOf(row), dpi_, instance_);
    }

    // Places the controls of `rows` for `dpi`, in the dialog font made for it.
    template <class Rows>
    void PlaceControls(Rows const& rows, UINT dpi) {
        UniqueFont font(CreateDialogFont(dpi));
        for (auto const& row : rows) {
            ControlPlacement const& placement = PlacementOf(row);
            HWND const control = GetDlgItem(dialog_, placement.id);
            RECT const r = ScaledBounds(placement, dpi);
            MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
        }
        font_ = std::move(font);  // the old font is deleted once no control uses it
        dpi_ = dpi;
    }

    // Read-only: the controls of `rows` greyed, but for Cancel and those `kept`; Cancel is the
    // default button.
    template <class Rows>
    void LockControls(Rows const& rows, std::initializer_list<int> kept) {
        for (auto const& row : rows) {
            int const id = PlacementOf(row).id;
            if (id != IDCANCEL && std::find(kept.begin(), kept.end(), id) == kept.end()) {
                EnableWindow(GetDlgItem(dialog_, id), FALSE);
            }
        }
        SendMessageW(dialog_, DM_SETDEFID, IDCANCEL, 0);
    }

    HWND dialog_ = nullptr;
    HINSTANCE instance_ = nullptr;
    UINT dpi_ = kDefaultDpi;

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        try {
            if (message == WM_INITDIALOG) {
                SetWindowLongPtrW(dialog, DWLP_USER, lParam);
                auto* const self = reinterpret_cast<Derived*>(lParam);
                self->dialog_ = dialog;
                return self->OnInitDialog();
            }
            auto* const self = reinterpret_cast<Derived*>(GetWindowLongPtrW(dialog, DWLP_USER));
            if (self == nullptr) return FALSE;
            if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            if constexpr (requires(Derived& d) { d.LayOut(UINT{}); }) {
                if (message == WM_DPICHANGED) {
                    MoveToSuggestedRect(dialog, lParam);
                    self->LayOut(HIWORD(wParam));
                    return TRUE;
                }
            }
            return self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            return FALSE;
        }
    }

    UniqueFont font_;
};

}  // namespace vigilon
