#include "ui/tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>

namespace vigilon {

void TrayIcon::Add(HWND window, UINT callbackMessage, HICON icon, wchar_t const* tip) {
    data_ = NOTIFYICONDATAW{};
    // The first layout of the record is all the icon needs and every shell understands it.
    data_.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data_.hWnd = window;
    data_.uID = kId;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = callbackMessage;
    data_.hIcon = icon;
    FillTip(tip);
    Shell_NotifyIconW(NIM_ADD, &data_);
}

void TrayIcon::Restore() {
    if (data_.hWnd != nullptr) Shell_NotifyIconW(NIM_ADD, &data_);
}

void TrayIcon::Delete() {
    if (data_.hWnd == nullptr) return;
    NOTIFYICONDATAW remove{};
    remove.cbSize = NOTIFYICONDATAW_V1_SIZE;
    remove.hWnd = data_.hWnd;
    remove.uID = kId;
    Shell_NotifyIconW(NIM_DELETE, &remove);
    data_.hWnd = nullptr;
}

void TrayIcon::FillTip(wchar_t const* tip) {
    // The tip, its terminator, then blanks to the end of the field.
    // The tip field of the first layout holds 64 characters.
    constexpr std::size_t kTipLength = 64;
    static_assert(kTipLength <= sizeof(data_.szTip) / sizeof(data_.szTip[0]));
    std::fill_n(data_.szTip, kTipLength, L' ');
    std::size_t const length = std::min(std::wcslen(tip), kTipLength - 1);
    std::copy_n(tip, length, data_.szTip);
    data_.szTip[length] = L'\0';
}

void TrayIcon::SetTip(wchar_t const* tip) {
    if (data_.hWnd == nullptr) return;
    FillTip(tip);
    NOTIFYICONDATAW change = data_;
    change.uFlags = NIF_TIP;
    Shell_NotifyIconW(NIM_MODIFY, &change);
}

void TrayIcon::SetIcon(HICON icon) {
    if (data_.hWnd == nullptr) return;
    data_.hIcon = icon;
    NOTIFYICONDATAW change = data_;
    change.uFlags = NIF_ICON;
    Shell_NotifyIconW(NIM_MODIFY, &change);
}

void TrayIcon::ShowBalloon(wchar_t const* title, std::wstring const& text) {
    if (data_.hWnd == nullptr) return;
    // Balloons came with the second layout of the record.
    NOTIFYICONDATAW balloon{};
    balloon.cbSize = NOTIFYICONDATAW_V2_SIZE;
    balloon.hWnd = data_.hWnd;
    balloon.uID = kId;
    balloon.uFlags = NIF_INFO;
    balloon.dwInfoFlags = NIIF_WARNING;
    wcsncpy_s(balloon.szInfoTitle, title, _TRUNCATE);
    wcsncpy_s(balloon.szInfo, text.c_str(), _TRUNCATE);
    Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

}  // namespace vigilon
