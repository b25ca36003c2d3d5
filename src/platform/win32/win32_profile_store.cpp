#include "platform/win32/win32_profile_store.h"

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/win32_owners.h"

namespace vigilon {
namespace {

// True when the system's ANSI code page holds every character of `text`.
bool FitsCodePage(std::wstring_view text) {
    if (text.empty() || GetACP() == CP_UTF8) return true;
    BOOL lossy = FALSE;
    int const n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, &lossy);
    return n > 0 && !lossy;
}

std::string ReadWholeFile(std::wstring const& path, bool& ok) {
    ok = false;
    UniqueKernelHandle const file = OwnFileHandle(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        ok = GetLastError() == ERROR_FILE_NOT_FOUND;  // nothing to keep
        return {};
    }
    std::string bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.Get(), &size) && size.QuadPart < (1 << 26)) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() || (ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                               read == bytes.size());
    }
    return bytes;
}

bool WriteWholeFile(std::wstring const& path, std::string_view bytes) {
    HANDLE const file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool const ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    return CloseHandle(file) && ok;
}

// Rewrites the file in UTF-16LE with its mark, unless it is so already. The new text goes to a
// file beside it first, which then replaces it: a failure leaves the file as it was.
bool MakeUnicode(std::wstring const& path) {
    bool ok = false;
    std::string const bytes = ReadWholeFile(path, ok);
    if (!ok) return false;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        return true;
    }
    std::wstring text(bytes.size(), L'\0');
    if (!bytes.empty()) {
        text.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                                 text.data(), static_cast<int>(text.size()))));
    }
    std::string unicode = "\xFF\xFE";
    unicode.append(reinterpret_cast<char const*>(text.data()), text.size() * sizeof(wchar_t));
    std::wstring const fresh = path + L".new";
    if (!WriteWholeFile(fresh, unicode)) return false;
    if (MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(fresh.c_str());
    return false;
}

}  // namespace

std::size_t Win32ProfileStore::ReadProfileValue(std::wstring_view section, std::wstring_view key,
                                                 std::wstring_view defaultValue,
                                                 std::span<wchar_t> buffer, std::wstring_view file) {
    if (buffer.empty()) return 0;
    DWORD const n = GetPrivateProfileStringW(std::wstring(section).c_str(), std::wstring(key).c_str(),
                                             std::wstring(defaultValue).c_str(), buffer.data(),
                                             static_cast<DWORD>(buffer.size()),
                                             std::wstring(file).c_str());
    return n;
}

bool Win32ProfileStore::WriteProfileValue(std::wstring_view section, std::wstring_view key,
                                           std::wstring_view value, std::wstring_view file) {
    // The profile functions can report success for a file they could not write: some systems keep
    // the change in a cache and fail only when that is flushed. Opening the file for writing first
    // tells the truth for a read-only or locked file and an unwritable folder.
    std::wstring const path(file);
    DWORD const attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;  // Windows refuses to write either; said here for systems that might not
    }
    HANDLE const probe = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return false;
    CloseHandle(probe);
    if (!(FitsCodePage(section) && FitsCodePage(key) && FitsCodePage(value)) && !MakeUnicode(path)) return false;
    return WritePrivateProfileStringW(std::wstring(section).c_str(), std::wstring(key).c_str(),
                                      std::wstring(value).c_str(), path.c_str()) != 0;
}

bool Win32ProfileStore::DeleteProfileValue(std::wstring_view section, std::wstring_view key, std::wstring_view file) {
    std::wstring const path(file);
    DWORD const attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    return WritePrivateProfileStringW(std::wstring(section).c_str(), std::wstring(key).c_str(), nullptr,
                                      path.c_str()) != 0;
}

bool Win32ProfileStore::CanReadProfile(std::wstring_view file) {
    HANDLE const probe = CreateFileW(std::wstring(file).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        return true;
    }
    DWORD const error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace vigilon
