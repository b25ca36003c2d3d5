#include "ui/options_logic.h"

#include <cwctype>

#include "app/logon_start.h"
#include "app/settings.h"
#include "support/application_title.h"
#include "support/blanks.h"
#include "support/message.h"

namespace vigilon {

HangSecondsChoice ChooseHangSeconds(bool checked, std::wstring const& typed) {
    if (!checked) return {};
    std::wstring const digits(TrimBlanks(typed));
    bool const number = !digits.empty() && digits.size() <= 5 &&
                        digits.find_first_not_of(L"0123456789") == std::wstring::npos;
    int const seconds = number ? std::stoi(digits) : 0;
    if (seconds >= kMinHangSeconds && seconds <= kMaxHangSeconds) return {seconds, {}};
    return {0, L"Restart a program that stops responding for: type a whole number of seconds from " +
                   std::to_wstring(kMinHangSeconds) + L" to " + std::to_wstring(kMaxHangSeconds) + L"."};
}

bool AcceptOptions(Options const& options, std::optional<bool> startAtLogon, SettingsFile const& settings,
                   Registry& registry, SystemServices& system, std::wstring const& exePath) {
    bool const settingsSaved = SaveOptions(options, settings);
    if (!settingsSaved) {
        ShowMessage(system, UnsavedSettingsMessage(settings.Path()), kMbIconExclamation, kApplicationTitle);
    }
    bool logonSaved = true;
    if (startAtLogon) {
        logonSaved = *startAtLogon ? SetStartAtLogon(registry, exePath) : ForgetStartAtLogon(registry, exePath);
    }
    if (!logonSaved) {
        ShowMessage(system, L"Starting Vigilon when you log on could not be set in the registry.",
                    kMbIconExclamation, kApplicationTitle);
    }
    return settingsSaved && logonSaved;
}

std::wstring CommandForChosenFile(std::wstring const& path, std::wstring const& systemFolder) {
    std::wstring const quoted = L"\"" + path + L"\"";
    std::wstring extension = path.size() >= 4 ? path.substr(path.size() - 4) : L"";
    for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(c));
    if (extension != L".ps1") return quoted;
    return L"\"" + systemFolder + L"\\WindowsPowerShell\\v1.0\\powershell.exe\" -NoProfile -NonInteractive -File " + quoted;
}

}  // namespace vigilon
