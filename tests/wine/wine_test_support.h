#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace vigilon::testing {

// A new, empty folder under the temporary folder, removed with its contents at the end.
class TempFolder {
public:
    // Under the temporary folder, or under `base` when it is given.
    explicit TempFolder(std::wstring const& base = {});
    TempFolder(TempFolder const&) = delete;
    TempFolder& operator=(TempFolder const&) = delete;
    ~TempFolder();

    std::wstring const& Path() const { return path_; }
    std::wstring operator/(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

private:
    std::wstring path_;
};

// A top-level (or, with a parent, child) window of a test class, destroyed at the end.
class TestWindow {
public:
    TestWindow(std::wstring_view caption, bool visible, HWND parent = nullptr);
    TestWindow(TestWindow const&) = delete;
    TestWindow& operator=(TestWindow const&) = delete;
    ~TestWindow();

    HWND Handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

// Sets a registry value, or removes it, for the length of a test, and puts back what was there.
class ScopedRegistryValue {
public:
    ScopedRegistryValue(HKEY root, std::wstring path, std::wstring name, DWORD type, void const* data, DWORD size);
    // Removes the value.
    ScopedRegistryValue(HKEY root, std::wstring path, std::wstring name);
    ScopedRegistryValue(ScopedRegistryValue const&) = delete;
    ScopedRegistryValue& operator=(ScopedRegistryValue const&) = delete;
    ~ScopedRegistryValue();

private:
    HKEY root_;
    std::wstring path_;
    std::wstring name_;
    bool hadValue_ = false;
    DWORD oldType_ = 0;
    std::string oldData_;
};

// The whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(std::wstring const& path);

// A string value with its terminating zero character, as the system stores it.
inline DWORD StringBytes(std::wstring const& text) {
    return static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
}

}  // namespace vigilon::testing
