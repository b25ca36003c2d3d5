#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <string>

namespace vigilon {
namespace {

HKEY RootKey(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    }
    return HKEY_CLASSES_ROOT;
}

HKEY ToHkey(RegistryKeyHandle key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

long Win32Registry::OpenKey(RegistryRoot root, std::wstring_view path, std::uint32_t access,
                            RegistryKeyHandle& key) {
    HKEY opened = nullptr;
    LSTATUS const result =
        RegOpenKeyExW(RootKey(root), std::wstring(path).c_str(), 0, static_cast<REGSAM>(access), &opened);
    key = result == ERROR_SUCCESS ? reinterpret_cast<RegistryKeyHandle>(opened) : 0;
    return result;
}

long Win32Registry::QueryValue(RegistryKeyHandle key, std::wstring_view name, std::uint32_t& type,
                               std::span<std::uint8_t> data, std::size_t& size) {
    DWORD valueType = 0;
    DWORD bytes = static_cast<DWORD>(data.size());
    LSTATUS const result = RegQueryValueExW(ToHkey(key), std::wstring(name).c_str(), nullptr,
                                            &valueType, data.data(), &bytes);
    type = valueType;
    size = result == ERROR_SUCCESS ? bytes : 0;
    return result;
}

void Win32Registry::CloseKey(RegistryKeyHandle key) { RegCloseKey(ToHkey(key)); }

}  // namespace vigilon
