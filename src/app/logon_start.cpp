#include "app/logon_start.h"

#include <array>
#include <cstdint>

#include "app/key_value.h"
#include "app/registry_key.h"
#include "support/file_utils.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

bool SamePath(std::wstring const& a, std::wstring const& b) { return ToLowerText(a) == ToLowerText(b); }

// True when Task Manager has the Run value disabled.
bool DisabledInTaskManager(Registry& registry) {
    RegistryKey key(registry);
    if (key.Open(RegistryRoot::CurrentUser, kStartupApprovedPath, kKeyReadAccess) != 0) return false;
    std::array<std::uint8_t, 64> data{};
    std::uint32_t type = 0;
    std::size_t size = 0;
    if (registry.QueryValue(key.Handle(), kRunValueName, type, data, size) != 0) return false;
    return type == kRegBinary && size > 0 && (data[0] & 1) != 0;
}

// Sets the Run value to start the copy at `exePath`; the system's error code, 0 on success.
long WriteRunValue(Registry& registry, std::wstring const& exePath) {
    return registry.WriteString(RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, L"\"" + exePath + L"\"");
}

}  // namespace

std::wstring RunValueProgram(std::wstring const& value) {
    std::size_t const first = value.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    if (value[first] == L'"') {
        std::size_t const close = value.find(L'"', first + 1);
        return value.substr(first + 1, close == std::wstring::npos ? std::wstring::npos : close - first - 1);
    }
    std::size_t const exe = ToLowerText(value).find(L".exe", first);
    if (exe != std::wstring::npos) return value.substr(first, exe + 4 - first);
    return value.substr(first, value.find_last_not_of(L" \t") + 1 - first);
}

LogonStart ReadLogonStart(Registry& registry, FileSystem& files, std::wstring const& exePath) {
    LogonStart start;
    std::wstring value;
    if (!GetKeyValue(registry, RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, value)) return start;
    std::wstring const program = RunValueProgram(value);
    start.disabled = DisabledInTaskManager(registry);
    if (SamePath(program, exePath)) {
        start.thisCopy = true;
    } else if (program.empty()) {
        start.other = L"a value Vigilon cannot read";  // an expandable one, say: not to be replaced unseen
    } else {
        start.other = program;
        start.otherMissing = !FileExists(files, program);
    }
    return start;
}

std::wstring LogonStartNote(LogonStart const& start) {
    if (start.thisCopy) {
        return start.disabled ? L"Disabled in Task Manager's Startup tab; ticking the box enables it again." : L"";
    }
    if (start.other.empty()) return L"";
    return L"Now started at logon: " + start.other + (start.otherMissing ? L" (no longer there)" : L"") +
           L". Ticking the box starts this copy instead.";
}

bool SetStartAtLogon(Registry& registry, std::wstring const& exePath) {
    if (WriteRunValue(registry, exePath) != 0) return false;
    // Without Task Manager's entry the value counts as enabled.
    registry.DeleteValue(RegistryRoot::CurrentUser, kStartupApprovedPath, kRunValueName);
    return true;
}

bool ForgetStartAtLogon(Registry& registry, std::wstring const& exePath) {
    std::wstring value;
    if (!GetKeyValue(registry, RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, value)) return true;
    if (!SamePath(RunValueProgram(value), exePath)) return true;
    return registry.DeleteValue(RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName) == 0;
}

bool SetStartAtLogonIfMissing(Registry& registry, FileSystem& files, std::wstring const& exePath) {
    std::wstring value;
    // A value that cannot be read as text (an expandable one) may well start a copy: it stays.
    if (GetKeyValue(registry, RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, value) &&
        (value.empty() || FileExists(files, RunValueProgram(value)))) {
        return true;
    }
    return WriteRunValue(registry, exePath) == 0;
}

}  // namespace vigilon
