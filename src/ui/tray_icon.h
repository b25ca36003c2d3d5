#pragma once

#include <windows.h>

#include <string>

namespace vigilon {

// The program's icon in the notification area. Failures are silent: without a tray icon the
// program still runs.
class TrayIcon {
public:
    static constexpr UINT kId = 1;

    TrayIcon() = default;
    TrayIcon(TrayIcon const&) = delete;
    TrayIcon& operator=(TrayIcon const&) = delete;
    ~TrayIcon() { Delete(); }

    // Adds the icon for `window`, whose notifications arrive as `callbackMessage`.
    void Add(HWND window, UINT callbackMessage, HICON icon, wchar_t const* tip);
    // Adds it again after the taskbar was re-created (Explorer restarted).
    void Restore();
    void Delete();
    // Changes the tip; kept for a restore.
    void SetTip(wchar_t const* tip);
    // Changes the icon (one for the taskbar's DPI); kept for a restore.
    void SetIcon(HICON icon);
    // The icon the next restore adds; the taskbar, just re-created, is not told now.
    void SetIconForRestore(HICON icon) { data_.hIcon = icon; }
    // Shows a notification balloon over the icon, with the warning icon.
    void ShowBalloon(wchar_t const* title, std::wstring const& text);

private:
    void FillTip(wchar_t const* tip);

    NOTIFYICONDATAW data_{};  // hWnd is null while no icon is shown
};

}  // namespace vigilon
