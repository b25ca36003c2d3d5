#pragma once

#include <windows.h>

#include "platform/system_services.h"

namespace vigilon {

class Win32SystemServices final : public SystemServices {
public:
    // Message boxes are owned by this window while it is visible, so they are modal to it.
    void SetOwner(HWND owner) { owner_ = owner; }

    int ShowMessageBox(std::wstring_view text, std::wstring_view title, std::uint32_t style) override;
    SoundResult PlaySystemSound(std::wstring_view alias, std::uint32_t flags) override;
    void SoundBeep() override;
    bool QueryVersion(OsVersion& version) override;

private:
    HWND owner_ = nullptr;
};

}  // namespace vigilon
