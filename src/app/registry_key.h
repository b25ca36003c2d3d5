#pragma once

#include <cstdint>
#include <string_view>

#include "platform/registry.h"

namespace vigilon {

// An open registry key, closed when the owner goes away.
class RegistryKey {
public:
    explicit RegistryKey(Registry& registry) : registry_(registry) {}
    RegistryKey(RegistryKey const&) = delete;
    RegistryKey& operator=(RegistryKey const&) = delete;
    ~RegistryKey() { Close(); }

    // Opens `path` below `root`; returns the system's result code, 0 on success.
    long Open(RegistryRoot root, std::wstring_view path, std::uint32_t access) {
        Close();
        long const result = registry_.OpenKey(root, path, access, handle_);
        open_ = result == 0;
        return result;
    }

    void Close() {
        if (open_) registry_.CloseKey(handle_);
        open_ = false;
    }

    RegistryKeyHandle Handle() const { return handle_; }

private:
    Registry& registry_;
    RegistryKeyHandle handle_ = 0;
    bool open_ = false;
};

}  // namespace vigilon
