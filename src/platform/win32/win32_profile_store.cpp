#include "platform/win32/win32_profile_store.h"

#include <windows.h>

#include <algorithm>
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

// A file Windows refuses to write, as the profile functions do; said here for systems that might not.
bool ReadOnlyOrFolder(std::wstring const& path) {
    DWORD const attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
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

// True when `bytes` are text in UTF-8 that the profile functions would misread: they start with
// the UTF-8 mark (EF BB BF), or hold no mark but bytes above 0x7F that form valid UTF-8
// throughout. Plain ASCII and a UTF-16 file (with its mark) are not.
bool IsUtf8Text(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return true;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return false;
    int const n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                      nullptr, 0);
    bool const beyondAscii =
        std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return beyondAscii && n > 0;
}

// UTF-16LE with its mark, as the profile functions keep a file that holds every character.
std::string Utf16File(std::wstring const& text) {
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<char const*>(text.data()), text.size() * sizeof(wchar_t));
    return bytes;
}

// The text of a UTF-8 file, without its mark. A byte that is no UTF-8 (a file with the mark,
// edited by hand) becomes U+FFFD rather than keeping every later save from being written; the
// file as it was is kept as the backup.
bool FromUtf8(std::string_view bytes, std::wstring& text) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    text.clear();
    if (bytes.empty()) return true;
    int const n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return false;
    text.resize(static_cast<std::size_t>(n));
    return MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n) == n;
}

// The text of `bytes` in the system's ANSI code page.
std::wstring FromAnsi(std::string_view bytes) {
    std::wstring text(bytes.size(), L'\0');
    if (!bytes.empty()) {
        text.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                                 text.data(), static_cast<int>(text.size()))));
    }
    return text;
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
    std::wstring const fresh = path + L".new";
    if (!WriteWholeFile(fresh, Utf16File(FromAnsi(bytes)))) return false;
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
    if (ReadOnlyOrFolder(path)) return false;
    if (!OwnFileHandle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))) {
        return false;
    }
    if (!(FitsCodePage(section) && FitsCodePage(key) && FitsCodePage(value)) && !MakeUnicode(path)) return false;
    return WritePrivateProfileStringW(std::wstring(section).c_str(), std::wstring(key).c_str(),
                                      std::wstring(value).c_str(), path.c_str()) != 0;
}

bool Win32ProfileStore::DeleteProfileValue(std::wstring_view section, std::wstring_view key, std::wstring_view file) {
    std::wstring const path(file);
    if (ReadOnlyOrFolder(path)) return false;
    return WritePrivateProfileStringW(std::wstring(section).c_str(), std::wstring(key).c_str(), nullptr,
                                      path.c_str()) != 0;
}

bool Win32ProfileStore::DeleteProfileSection(std::wstring_view section, std::wstring_view file) {
    std::wstring const path(file);
    if (ReadOnlyOrFolder(path)) return false;
    return WritePrivateProfileStringW(std::wstring(section).c_str(), nullptr, nullptr, path.c_str()) != 0;
}

std::optional<std::wstring> Win32ProfileStore::ReadProfileText(std::wstring_view file) {
    std::wstring const path(file);
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    bool ok = false;
    std::string const bytes = ReadWholeFile(path, ok);
    if (!ok) return std::nullopt;
    bool const little = bytes.starts_with("\xFF\xFE");
    if (little || bytes.starts_with("\xFE\xFF")) {
        std::wstring text((bytes.size() - 2) / 2, L'\0');
        for (std::size_t i = 0; i < text.size(); ++i) {
            auto const first = static_cast<unsigned char>(bytes[2 + 2 * i]);
            auto const second = static_cast<unsigned char>(bytes[3 + 2 * i]);
            text[i] = static_cast<wchar_t>(little ? first | (second << 8) : (first << 8) | second);
        }
        return text;
    }
    std::wstring text;
    if (IsUtf8Text(bytes) && FromUtf8(bytes, text)) return text;
    return FromAnsi(bytes);
}

bool Win32ProfileStore::ProfileExists(std::wstring_view file) {
    DWORD const attributes = GetFileAttributesW(std::wstring(file).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32ProfileStore::ProfileInUtf8(std::wstring_view file) {
    // A system whose ANSI code page is UTF-8 reads such a file right already.
    if (GetACP() == CP_UTF8) return false;
    bool ok = false;
    std::string const bytes = ReadWholeFile(std::wstring(file), ok);
    return ok && IsUtf8Text(bytes);
}

std::optional<std::wstring> Win32ProfileStore::BeginProfileUpdate(std::wstring_view file, std::wstring_view source) {
    std::wstring const path(file);
    if (ReadOnlyOrFolder(path)) return std::nullopt;
    bool ok = false;
    std::string bytes = ReadWholeFile(std::wstring(source), ok);
    if (!ok) return std::nullopt;  // held open without sharing, or not readable: never written over
    if (GetACP() != CP_UTF8 && IsUtf8Text(bytes)) {
        std::wstring text;
        if (!FromUtf8(bytes, text)) return std::nullopt;
        bytes = Utf16File(text);
    }
    std::wstring copy = path + L".new";
    if (!WriteWholeFile(copy, bytes)) {
        DeleteFileW(copy.c_str());
        return std::nullopt;
    }
    return copy;
}

bool Win32ProfileStore::CommitProfileUpdate(std::wstring_view copy, std::wstring_view file, std::wstring_view backup) {
    std::wstring const fresh(copy);
    std::wstring const path(file);
    std::wstring const kept(backup);
    // On the disk before it takes the file's place: a power cut then leaves the old file or the
    // new one, each whole.
    bool flushed = false;
    {
        UniqueKernelHandle const handle = OwnFileHandle(
            CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        flushed = handle && FlushFileBuffers(handle.Get());
    }
    bool replaced = false;
    if (flushed) {
        DWORD const attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND) {
            replaced = MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != 0;  // the first save
        } else {
            // The file keeps its attributes and security, and the one it was becomes the backup.
            replaced = ReplaceFileW(path.c_str(), fresh.c_str(), kept.empty() ? nullptr : kept.c_str(),
                                    REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
            if (!replaced && GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 && !kept.empty()) {
                // The old file is the backup already, the new one not yet in place: put it there,
                // or else the old one back.
                replaced = MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
                if (!replaced) MoveFileExW(kept.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH);
            }
            // ReplaceFileW keeps them on Windows; said again for systems that do not (Wine).
            if (replaced && attributes != INVALID_FILE_ATTRIBUTES && GetFileAttributesW(path.c_str()) != attributes) {
                SetFileAttributesW(path.c_str(), attributes);
            }
        }
    }
    if (!replaced) DeleteFileW(fresh.c_str());
    return replaced;
}

void Win32ProfileStore::AbandonProfileUpdate(std::wstring_view copy) { DeleteFileW(std::wstring(copy).c_str()); }

bool Win32ProfileStore::CanReadProfile(std::wstring_view file) {
    DWORD const share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    if (OwnFileHandle(CreateFileW(std::wstring(file).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr))) {
        return true;
    }
    DWORD const error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace vigilon
