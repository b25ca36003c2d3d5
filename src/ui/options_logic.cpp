#include "ui/options_logic.h"

#include "app/logon_start.h"
#include "app/settings.h"
#include "support/application_title.h"
#include "support/blanks.h"
#include "support/digits.h"
#include "support/message.h"
#include "support/text_case.h"

namespace vigilon {

HangSecondsChoice ChooseHangSeconds(bool checked, std::wstring const& typed) {
    if (!checked) return {};
    int const seconds = SmallNumber(TrimBlanks(typed), 5);
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
    std::wstring const extension = ToLowerText(path.size() >= 4 ? path.substr(path.size() - 4) : L"");
    if (extension != L".ps1") return quoted;
    return L"\"" + systemFolder + L"\\WindowsPowerShell\\v1.0\\powershell.exe\" -NoProfile -NonInteractive -File " + quoted;
}

}  // namespace vigilon
