#include "app/settings.h"

#include <string>
#include <vector>

#include "app/ini_text.h"
#include "app/key_value.h"
#include "app/open_command.h"
#include "app/program_count.h"
#include "support/blanks.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr int kDefaultCapacity = 10;

void LoadProgram(SettingsFile const& file, int number, WatchedProgram& record) {
    record.name = file.ReadIniValue(kAppsSection, AppKey(number), L"");
    for (ProgramField const& field : kProgramFields) record.*field.field = file.ReadIniValue(record.name, field.key, L"");
    record.rules = LoadRestartRules(file, record.name);
}

void BuildDefaultEntry(Registry& registry, WatchedPrograms& programs) {
    programs.Reset(1, kDefaultCapacity);
    WatchedProgram& record = programs[1];
    record.name = kDefaultProgramName;
    record.caption = kDefaultProgramCaption;
    // An empty open command tells nothing about javaw.exe: the entry then stays without
    // executable and arguments, as when the association is missing.
    if (GetKeyValue(registry, RegistryRoot::ClassesRoot, kJarOpenCommandKey, L"", record.exe) &&
        !record.exe.empty()) {
        ExeFromOpenCommand(programs, 1);
    }
}

// Why a value written to the copy did not come back as it was; empty when it did.
std::wstring ReadBackProblem(SettingsFile const& copy, std::wstring const& section, wchar_t const* key,
                             std::wstring const& value) {
    if (copy.ReadIniValue(section, key, L"\x01") == value) return {};
    if (value.size() > kMaxIniValueLength) {
        return L"it is " + std::to_wstring(value.size()) + L" characters long, and the settings file gives back at most " +
               std::to_wstring(kMaxIniValueLength) + L".";
    }
    if (value.find_first_of(L"\r\n") != std::wstring::npos) return L"it holds a line break.";
    return L"the settings file would not give it back as it is.";
}

// The first value of the saved table the copy does not give back, named: "The Command of Kiosk
// ..."; empty when every value comes back. A program whose section a later one of the same name
// shares is not checked: the later one's values are the ones kept.
std::wstring Unstorable(SettingsFile const& copy, WatchedPrograms const& programs) {
    int const count = programs.Count();
    for (int i = 1; i <= count; ++i) {
        WatchedProgram const& record = programs[i];
        std::wstring problem = ReadBackProblem(copy, kAppsSection, AppKey(i).c_str(), record.name);
        if (!problem.empty()) return L"The name of program " + std::to_wstring(i) + L" cannot be saved: " + problem;
        bool shared = false;
        for (int later = i + 1; later <= count; ++later) {
            shared |= SameText(TrimBlanks(programs[later].name), TrimBlanks(record.name));
        }
        if (shared) continue;
        for (ProgramField const& field : kProgramFields) {
            problem = ReadBackProblem(copy, record.name, field.key, record.*field.field);
            if (!problem.empty()) return L"The " + std::wstring(field.key) + L" of " + record.name + L" cannot be saved: " + problem;
        }
    }
    return {};
}

// The names the file lists: App1 to App<Number>.
std::vector<std::wstring> ListedNames(SettingsFile const& file) {
    int const count = ParseProgramCount(file.ReadIniValue(kAppsSection, kNumberKey, L"0")).value_or(0);
    std::vector<std::wstring> names;
    for (int i = 1; i <= count; ++i) names.push_back(file.ReadIniValue(kAppsSection, AppKey(i), L""));
    return names;
}

// Takes away what a delete left: the App keys beyond the count that the file listed before, and
// the section of each name it listed that the table no longer holds. Left in place, each would be
// named a problem at the next start. A key or a section added by hand is kept, for the check to name.
bool RemoveDeleted(SettingsFile const& file, std::vector<std::wstring> const& before, WatchedPrograms const& programs) {
    bool ok = true;
    for (int i = programs.Count() + 1; i <= static_cast<int>(before.size()); ++i) {
        ok &= file.RemoveIniValue(kAppsSection, AppKey(i));
    }
    for (std::wstring const& name : before) {
        bool kept = name.empty() || IniNameKey(name) == IniNameKey(kAppsSection);
        for (int i = 1; i <= programs.Count() && !kept; ++i) kept = IniNameKey(programs[i].name) == IniNameKey(name);
        if (!kept) ok &= file.RemoveSection(name);
    }
    return ok;
}

// True when the copy kept by the last save lists programs: only then is a file without a usable
// count taken for a save cut short. A file that never had one (options set before the first
// Save) is a first run, as it always was.
bool BackupListsPrograms(SettingsFile const& file) {
    if (!file.Store().ProfileExists(file.BackupPath())) return false;
    SettingsFile const backup(file.Store(), file.BackupPath());
    std::optional<std::wstring> const kept = backup.FindIniValue(kAppsSection, kNumberKey);
    std::optional<int> const count = kept ? ParseProgramCount(*kept) : std::nullopt;
    return count && *count > 0;
}

}  // namespace

bool LoadSettings(SettingsFile const& file, Registry& registry, WatchedPrograms& programs) {
    int const count = ParseProgramCount(file.ReadIniValue(kAppsSection, kNumberKey, L"0")).value_or(0);
    if (count == 0) {
        BuildDefaultEntry(registry, programs);
        return true;
    }
    programs.Reset(count, count + WatchedPrograms::kGrowth);
    for (int i = 1; i <= count; ++i) LoadProgram(file, i, programs[i]);
    return false;
}

SettingsLoad LoadStartupSettings(SettingsFile const& file, Registry& registry, WatchedPrograms& programs) {
    if (!file.CanRead()) {
        programs.Reset(0, WatchedPrograms::kGrowth);
        return SettingsLoad::Unreadable;
    }
    if (file.Store().ProfileInUtf8(file.Path())) {
        // Converted on the way into the update's copy; when it cannot be, the file is read as it is.
        SettingsUpdate conversion(file);
        conversion.Commit();
    }
    std::optional<std::wstring> const number = file.FindIniValue(kAppsSection, kNumberKey);
    bool const usable = !number || ParseProgramCount(*number);
    if ((!number || !usable) && BackupListsPrograms(file)) {
        programs.Reset(0, WatchedPrograms::kGrowth);
        return SettingsLoad::BackupFound;
    }
    if (!usable) {
        programs.Reset(0, WatchedPrograms::kGrowth);
        return SettingsLoad::UnusableCount;
    }
    return LoadSettings(file, registry, programs) ? SettingsLoad::FirstRun : SettingsLoad::Loaded;
}

std::wstring UnreadableSettingsMessage(std::wstring const& path) {
    return L"The settings file " + path + L" could not be read.\r\nClose any program that holds it open, " +
           L"check that it is a file you may read, and start Vigilon again.";
}

std::wstring UnusableCountMessage(SettingsFile const& file) {
    return L"The settings file " + file.Path() + L" gives Number=" + file.ReadIniValue(kAppsSection, kNumberKey, L"") +
           L", which is not a number of programs from 0 to " + std::to_wstring(kMaxStoredCount) +
           L".\r\nCorrect the value and start Vigilon again. The file has not been changed.";
}

std::wstring BackupFoundMessage(SettingsFile const& file) {
    bool const missing = !file.Store().ProfileExists(file.Path());
    return L"The settings file " + file.Path() + (missing ? L" is missing" : L" lists no programs Vigilon can read") +
           L", but the copy kept by the last save, " + file.BackupPath() +
           L", is there: a save may have been cut short.\r\n\r\nRestore that copy and start with it?\r\n"
           L"No leaves both files as they are, and Vigilon ends.";
}

bool RestoreSettingsBackup(SettingsFile const& file) {
    SettingsUpdate restore(file, file.BackupPath());
    return restore.Ready() && restore.Commit();
}

std::wstring UnsavedSettingsMessage(std::wstring const& path) {
    return L"The settings could not be saved to " + path + L".\r\nCheck that the file and its folder can be written to.";
}

bool SaveSettings(SettingsFile const& settings, WatchedPrograms const& programs, std::wstring* refusal) {
    SettingsUpdate update(settings);
    if (!update.Ready()) return false;
    SettingsFile const& file = update.Copy();
    std::vector<std::wstring> const before = ListedNames(file);
    int const count = programs.Count();
    bool ok = RemoveDeleted(file, before, programs);
    ok &= file.WriteIniValue(kAppsSection, kNumberKey, std::to_wstring(count));
    for (int i = 1; i <= count; ++i) ok &= file.WriteIniValue(kAppsSection, AppKey(i), programs[i].name);
    for (int i = 1; i <= count; ++i) {
        WatchedProgram const& record = programs[i];
        for (ProgramField const& field : kProgramFields) ok &= file.WriteIniValue(record.name, field.key, record.*field.field);
        // A program added since start-up has no rules yet: keys left in its section by a deleted
        // program of the same name go. A program read from the file keeps keys added by hand.
        ok &= WriteRestartRules(file, record.name, record.rules, record.added);
    }
    if (!ok) return false;
    std::wstring const problem = Unstorable(file, programs);
    if (!problem.empty()) {
        if (refusal != nullptr) *refusal = problem;
        return false;
    }
    return update.Commit();
}

RestartRules LoadRestartRules(SettingsFile const& file, std::wstring const& program) {
    return ReadRestartRules([&](wchar_t const* key) { return file.ReadIniValue(program, key, L""); });
}

bool SaveRestartRules(SettingsFile const& settings, std::wstring const& program, RestartRules const& rules,
                      bool removeUnset) {
    SettingsUpdate update(settings);
    return update.Ready() && WriteRestartRules(update.Copy(), program, rules, removeUnset) && update.Commit();
}

bool WriteRestartRules(SettingsFile const& file, std::wstring const& program, RestartRules const& rules,
                       bool removeUnset) {
    bool ok = true;
    for (RuleKey const& key : RuleKeys()) {
        std::wstring const& text = rules.*key.field;
        ok &= !text.empty() ? file.WriteIniValue(program, key.name, text) : !removeUnset || file.RemoveIniValue(program, key.name);
    }
    return ok;
}

}  // namespace vigilon
