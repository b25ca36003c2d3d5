#pragma once

#include "app/settings_file.h"
#include "app/watched_programs.h"
#include "platform/registry.h"

namespace vigilon {

// Names in the settings file.
inline constexpr wchar_t kAppsSection[] = L"Apps";
inline constexpr wchar_t kNumberKey[] = L"Number";
inline constexpr wchar_t kAppKeyPrefix[] = L"App";
inline std::wstring AppKey(int number) { return kAppKeyPrefix + std::to_wstring(number); }  // App1, App2, ...
inline constexpr wchar_t kCaptionKey[] = L"Caption";
inline constexpr wchar_t kExeKey[] = L"EXE";
inline constexpr wchar_t kCommandKey[] = L"Command";
inline constexpr wchar_t kPrefixKey[] = L"Prefix";
inline constexpr wchar_t kPostfixKey[] = L"Postfix";

// The editor's five fields of a program's section, each by its key, in the order they are written.
struct ProgramField {
    wchar_t const* key;
    std::wstring WatchedProgram::*field;
};
inline constexpr ProgramField kProgramFields[] = {
    {kCaptionKey, &WatchedProgram::caption}, {kExeKey, &WatchedProgram::exe},
    {kCommandKey, &WatchedProgram::command}, {kPrefixKey, &WatchedProgram::prefix},
    {kPostfixKey, &WatchedProgram::postfix}};

// The built-in entry for the Quorvault archive program, used when the file lists no programs.
inline constexpr wchar_t kDefaultProgramName[] = L"Quorvault";
inline constexpr wchar_t kDefaultProgramCaption[] = L"Quorvault V3.2 - ";
inline constexpr wchar_t kJarOpenCommandKey[] = L"jarfile\\shell\\open\\command";

// Fills `programs` from the settings file. When the file lists no programs it builds the built-in
// entry instead, taking the path of javaw.exe from the system's command for opening jar files,
// and returns true: this is a first run.
bool LoadSettings(SettingsFile const& file, Registry& registry, WatchedPrograms& programs);

// How start-up found the settings file.
enum class SettingsLoad { Loaded, FirstRun, Unreadable, UnusableCount, BackupFound };

// LoadSettings for start-up. A file that is there but cannot be read (held open without sharing,
// not readable, a folder) gives Unreadable, and a `Number` that is no count of programs gives
// UnusableCount, both with an empty table: taking either for a first run would offer the built-in
// entry, and a save would then write it over the user's list. A file that is missing, or gives no
// usable `Number`, while vigilon.ini.bak is there gives BackupFound, with an empty table: a save cut
// short, not a first run. A file in UTF-8 is first converted, once, to the UTF-16 form the
// profile functions read right, the file in UTF-8 kept as the backup.
SettingsLoad LoadStartupSettings(SettingsFile const& file, Registry& registry, WatchedPrograms& programs);

// What the user is told when the settings file cannot be read.
std::wstring UnreadableSettingsMessage(std::wstring const& path);

// What the user is told when the file's `Number` is no count of programs; names the file and the value.
std::wstring UnusableCountMessage(SettingsFile const& file);

// What the user is asked when the file is missing or unusable and its backup is there: Yes
// restores the backup.
std::wstring BackupFoundMessage(SettingsFile const& file);

// Puts the backup in the file's place. True when it is.
bool RestoreSettingsBackup(SettingsFile const& file);

// What the user is told when the settings file at `path` could not be written.
std::wstring UnsavedSettingsMessage(std::wstring const& path);

// Writes the count, the names and every program's section, all into one copy of the file that then
// replaces it (SettingsUpdate). What a delete leaves goes: the App<n> keys beyond the new count that
// the file listed, and the section of each program it listed that the table no longer holds; so do
// the keys of restart rules left behind for a program added since start-up. Nothing else is
// removed: keys and sections added by hand stay. Every value is read back from the copy before it
// replaces the file: when one would not come back as it is (too long, a line break, a name the
// file cannot hold), nothing is changed, false comes back, and `refusal`, when given, names the
// program and the field. True when the file was replaced.
bool SaveSettings(SettingsFile const& file, WatchedPrograms const& programs, std::wstring* refusal = nullptr);

// A program's restart rules, read from its section as written.
RestartRules LoadRestartRules(SettingsFile const& file, std::wstring const& program);

// Writes the program's restart rules into its section of `file` (an update's copy); a rule that is
// off loses its key when `removeUnset`, and otherwise keeps what the section holds. True when every
// write succeeded.
bool WriteRestartRules(SettingsFile const& file, std::wstring const& program, RestartRules const& rules,
                       bool removeUnset);

// WriteRestartRules through an update of its own: the file is replaced whole, or not changed.
bool SaveRestartRules(SettingsFile const& file, std::wstring const& program, RestartRules const& rules,
                      bool removeUnset);

}  // namespace vigilon
