#pragma once

#include <windows.h>

#include "platform/system_services.h"

namespace vigilon {

class Win32SystemServices final : public SystemServices {
public:
    // While this window is visible, message boxes are owned by the window the user acts in: this
    // one, or the dialog it has open (the About dialog), so that the box is modal to that window
    // and closing the box gives input back to it alone.
    void SetOwner(HWND owner) { owner_ = owner; }

    int ShowMessageBox(std::wstring_view text, std::wstring_view title, std::uint32_t style) override;
    SoundResult PlaySystemSound(std::wstring_view alias, std::uint32_t flags) override;
    void SoundBeep() override;
    bool QueryVersion(OsVersion& version) override;
    std::uint32_t SetProcessErrorMode(std::uint32_t mode) override;
    std::wstring ComputerName() override;
    std::optional<std::wstring> EnvironmentVariable(std::wstring_view name) override;
    std::optional<std::int64_t> IdleMilliseconds() override;
    void SetDisplaysAsleep(bool asleep) override;

private:
    HWND owner_ = nullptr;
};

}  // namespace vigilon
