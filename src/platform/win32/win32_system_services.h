#pragma once

#include "platform/system_services.h"

namespace vigilon {

class Win32SystemServices final : public SystemServices {
public:
    int ShowMessageBox(std::wstring_view text, std::wstring_view title, std::uint32_t style) override;
    SoundResult PlaySystemSound(std::wstring_view alias, std::uint32_t flags) override;
    void SoundBeep() override;
    bool QueryVersion(OsVersion& version) override;
};

}  // namespace vigilon
