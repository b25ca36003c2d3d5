#include "support/message.h"

#include "support/application_title.h"
#include "support/system_version.h"

namespace vigilon {

std::wstring_view MessageSoundAlias(std::uint32_t style) {
    switch (style & kMbIconMask) {
    case kMbIconHand: return L"SystemHand";
    case kMbIconQuestion: return L"SystemQuestion";
    case kMbIconExclamation: return L"SystemExclamation";
    case kMbIconAsterisk: return L"SystemAsterisk";
    default: return L"SystemDefault";
    }
}

void PlayMessageSound(SystemServices& system, std::uint32_t style) {
    if (system.PlaySystemSound(MessageSoundAlias(style), kSndAsync) == SoundResult::ServiceMissing) {
        system.SoundBeep();
    }
}

int ShowMessage(SystemServices& system, std::wstring_view prompt, std::uint32_t style,
                std::wstring_view title) {
    if (IsWindows95(system)) PlayMessageSound(system, style);
    return system.ShowMessageBox(prompt, title.empty() ? kApplicationTitle : title, style);
}

}  // namespace vigilon
