#pragma once

#include <string>

#include "app/settings_file.h"

namespace vigilon {

// The user's choices for unattended use, kept apart from the dialog that shows them.
struct Options {
    bool trayNotices = false;  // [Apps] Notices=Tray; any other value, or none, means Box
    bool backoff = false;      // [Apps] Backoff=1: wait longer between starts of a program that keeps failing
    int hangSeconds = 0;       // [Apps] HangSeconds=N: restart a window that does not answer for N seconds; 0 off
    bool eventLog = false;     // [Apps] EventLog=1: write problems to the Windows event log
    std::wstring onEvent;      // [Apps] OnEvent=<command line>: run on trouble; empty for none
};

// The smallest number of seconds a window must fail to answer before it counts as hung: the
// system itself calls a window hung after five.
inline constexpr int kMinHangSeconds = 5;
inline constexpr int kMaxHangSeconds = 3600;

// A HangSeconds value as the user wrote it: 0 (off) for nothing, zero, a negative number or no
// number; otherwise at least kMinHangSeconds and at most kMaxHangSeconds.
int HangSecondsFrom(std::wstring const& text);

// The options as the settings file holds them now.
Options LoadOptions(SettingsFile const& settings);

// Writes the options' [Apps] keys at once. False when one could not be written.
bool SaveOptions(Options const& options, SettingsFile const& settings);

}  // namespace vigilon
