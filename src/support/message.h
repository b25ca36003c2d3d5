#pragma once

#include <cstdint>
#include <string_view>

#include "platform/system_services.h"

namespace vigilon {

// Message-box styles used by the program.
inline constexpr std::uint32_t kMbOk = 0x00;
inline constexpr std::uint32_t kMbIconHand = 0x10;
inline constexpr std::uint32_t kMbIconQuestion = 0x20;
inline constexpr std::uint32_t kMbIconExclamation = 0x30;
inline constexpr std::uint32_t kMbIconAsterisk = 0x40;
inline constexpr std::uint32_t kMbIconMask = 0xF0;

// The system sound alias that belongs to the icon of a message-box style.
std::wstring_view MessageSoundAlias(std::uint32_t style);

// Plays the style's sound without waiting; sounds the plain beep when there is no sound service.
void PlayMessageSound(SystemServices& system, std::uint32_t style);

// Shows a modal message box titled `title`, or the application's title when it is empty, and
// returns the number of the button pressed. On Windows 95, which does not sound message boxes
// itself, the style's sound is played first.
int ShowMessage(SystemServices& system, std::wstring_view prompt, std::uint32_t style,
                std::wstring_view title = {});

}  // namespace vigilon
