#pragma once

#include <string>
#include <string_view>

namespace vigilon {

// Unregister and Register are the installer's requests: to forget this copy's start at logon, and
// to set it again when an upgrade took it away. Nothing else is done for them.
// RegisterEventSource and UnregisterEventSource are an administrator's: to make this exe the event
// log's source "Vigilon", and to forget it. ImportSettings is the installer's: to take a preset
// vigilon.ini in when there is none.
// StartAtLogon is the installer's STARTATLOGON=1: exactly what ticking the box in Options does.
// Validate is an administrator's `/validate [path]`: the settings file checked, and nothing started.
enum class StartMode {
    Watch, Configure, Unregister, Register, StartAtLogon, RegisterEventSource, UnregisterEventSource, ImportSettings,
    Validate
};

// The file a switch names, `/importsettings "<path>"` or `/validate "<path>"`, without its quotes;
// empty when none follows the switch.
std::wstring PathAfterSwitch(std::wstring_view arguments);

// The arguments Windows is given to start Vigilon again after a crash, a hang or an installer: they
// start watching, never the editor.
inline constexpr wchar_t kRestartArguments[] = L"/restarted";

// The arguments of a full command line: what follows the program's name (quoted or not) and the
// blanks after it.
std::wstring_view ArgumentsOf(std::wstring_view commandLine);

// Unregister, Register or StartAtLogon for the arguments "/unregister", "/register" or
// "/startatlogon" alone, in any case;
// Configure when the arguments hold "configure" anywhere, in any case; with no arguments, Configure
// on a first run; Watch otherwise.
StartMode DecideStartMode(std::wstring_view arguments, bool firstRun);

}  // namespace vigilon
