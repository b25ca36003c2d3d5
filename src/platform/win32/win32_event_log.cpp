#include "platform/win32/win32_event_log.h"

#include <string>

#include "platform/win32/win32_owners.h"

namespace vigilon {
namespace {

wchar_t const kSourceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Vigilon";
DWORD const kTypesSupported = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;

}  // namespace

Win32EventLog::~Win32EventLog() {
    if (source_ != nullptr) DeregisterEventSource(source_);
}

bool Win32EventLog::Write(std::uint16_t type, std::uint32_t messageId, std::wstring_view program,
                          std::wstring_view details) {
    if (!opened_) {
        opened_ = true;
        source_ = RegisterEventSourceW(nullptr, kSource);
    }
    if (source_ == nullptr) return false;
    std::wstring const name(program);
    std::wstring const text(details);
    LPCWSTR strings[] = {name.c_str(), text.c_str()};
    return ReportEventW(source_, type, 0, messageId, nullptr, 2, 0, strings, nullptr) != FALSE;
}

long RegisterAsEventSource(std::wstring const& exePath) {
    UniqueRegistryKey key;
    LSTATUS result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSourceKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_SET_VALUE, nullptr, key.Receive(), nullptr);
    if (result != ERROR_SUCCESS) return result;
    result = RegSetValueExW(key.Get(), L"EventMessageFile", 0, REG_EXPAND_SZ,
                            reinterpret_cast<BYTE const*>(exePath.c_str()),
                            static_cast<DWORD>((exePath.size() + 1) * sizeof(wchar_t)));
    if (result != ERROR_SUCCESS) return result;
    return RegSetValueExW(key.Get(), L"TypesSupported", 0, REG_DWORD, reinterpret_cast<BYTE const*>(&kTypesSupported),
                          sizeof(kTypesSupported));
}

long UnregisterAsEventSource() {
    LSTATUS const result = RegDeleteKeyW(HKEY_LOCAL_MACHINE, kSourceKey);
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

}  // namespace vigilon
