#pragma once

#include "platform/desktop.h"

namespace vigilon {

class Win32Desktop final : public Desktop {
public:
    void EnumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit) override;
    std::size_t ReadWindowCaption(WindowHandle window, std::span<wchar_t> buffer) override;
};

}  // namespace vigilon
