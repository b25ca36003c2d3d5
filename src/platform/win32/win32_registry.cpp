#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <string>

#include "platform/win32/win32_owners.h"

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

long Win32Registry::WriteString(RegistryRoot root, std::wstring_view path, std::wstring_view name,
                                std::wstring_view text) {
    UniqueRegistryKey key;
    LSTATUS const result = RegCreateKeyExW(RootKey(root), std::wstring(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                           nullptr, key.Receive(), nullptr);
    if (result != ERROR_SUCCESS) return result;
    std::wstring const value(text);
    return RegSetValueExW(key.Get(), std::wstring(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<BYTE const*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

long Win32Registry::DeleteValue(RegistryRoot root, std::wstring_view path, std::wstring_view name) {
    UniqueRegistryKey key;
    LSTATUS result = RegOpenKeyExW(RootKey(root), std::wstring(path).c_str(), 0, KEY_SET_VALUE, key.Receive());
    if (result == ERROR_SUCCESS) result = RegDeleteValueW(key.Get(), std::wstring(name).c_str());
    // No key or no value: nothing is left to delete.
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

}  // namespace vigilon
