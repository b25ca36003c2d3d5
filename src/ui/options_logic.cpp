#include "ui/options_logic.h"

#include "app/settings.h"
#include "support/application_title.h"
#include "support/message.h"

namespace vigilon {

int HangSecondsChosen(bool checked, std::wstring const& typed) {
    if (!checked) return 0;
    int const seconds = HangSecondsFrom(typed);
    return seconds == 0 ? kDefaultHangSeconds : seconds;
}

bool AcceptOptions(Options const& options, SettingsFile const& settings, Registry& registry, SystemServices& system,
                   std::wstring const& exePath) {
    OptionsSaved const saved = SaveOptions(options, settings, registry, exePath);
    if (!saved.settings) {
        ShowMessage(system, UnsavedSettingsMessage(settings.Path()), kMbIconExclamation, kApplicationTitle);
    }
    if (!saved.logon) {
        ShowMessage(system, L"Starting Vigilon when you log on could not be set in the registry.",
                    kMbIconExclamation, kApplicationTitle);
    }
    return saved.settings && saved.logon;
}

}  // namespace vigilon
