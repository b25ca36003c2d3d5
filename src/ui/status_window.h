#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "engine/outputs/program_status.h"
#include "engine/watch_engine.h"
#include "platform/win32/base_window.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {

// The Status window: one row per watched program, as the engine reports it, in a report-style
// list view that asks for each cell (LVS_OWNERDATA), so the window keeps the engine's rows and
// nothing else. Above the rows, a line says why not all is watched when one does ("Launching
// paused", "Held: a notice waits for OK"); under them, a line says how many problems the settings
// file has, while it has any; without either, the list fills the window. While it is open it looks
// again a few times a second and redraws only when a row changed; the selected program stays
// selected by name. A right-click on a row offers Restart,
// Show and Hide. Closing it changes nothing else.
class StatusWindow final : public BaseWindow<StatusWindow> {
public:
    static constexpr wchar_t kClassName[] = L"VigilonStatus";
    static constexpr wchar_t kTitle[] = L"Vigilon Status";

    explicit StatusWindow(WatchEngine& engine) : engine_(engine) {}

    // Opens the window, or brings it to the front when it is open.
    void Show(HINSTANCE instance);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class BaseWindow<StatusWindow>;

    bool Create(HINSTANCE instance);
    void OnCreate();
    // The font and the columns' widths for `dpi`; the list fills the client area.
    void ApplyDpi(UINT dpi);
    // Takes the engine's rows and lines; the list is redrawn only when a row changed.
    void Refresh();
    // The lines above and under the list, each shown only when it says something, and the list
    // between them.
    void LayOut();
    void OnGetDisplayInfo(NMLVDISPINFOW& info);
    // The row's menu (Restart, Show, Hide) at `at`, in screen coordinates.
    void ShowRowMenu(int row, POINT at);
    std::wstring SelectedName() const;
    void Select(std::wstring const& name);

    WatchEngine& engine_;
    HWND list_ = nullptr;
    HWND headline_ = nullptr;    // the line above the list: why not all is watched
    std::wstring headlineText_;  // its text; empty while it is hidden
    HWND problems_ = nullptr;    // the line under the list that names the settings file's problems
    std::wstring problemsText_;  // its text; empty while it is hidden
    UniqueFont font_;
    UINT dpi_ = 96;
    std::vector<ProgramStatus> rows_;
    std::vector<std::vector<std::wstring>> cells_;
};

}  // namespace vigilon
