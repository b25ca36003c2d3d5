#include "ui/options_logic.h"

#include "app/logon_start.h"
#include "app/settings.h"
#include "support/application_title.h"
#include "support/message.h"

namespace vigilon {

int HangSecondsChosen(bool checked, std::wstring const& typed) {
    if (!checked) return 0;
    int const seconds = HangSecondsFrom(typed);
    return seconds == 0 ? kDefaultHangSeconds : seconds;
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

}  // namespace vigilon
