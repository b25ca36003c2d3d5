#include "app/settings.h"

#include <string>

#include "app/key_value.h"
#include "app/open_command.h"
#include "app/program_count.h"

namespace vigilon {
namespace {

constexpr int kDefaultCapacity = 10;

std::wstring AppKey(int number) { return kAppKeyPrefix + std::to_wstring(number); }

void LoadProgram(SettingsFile const& file, int number, WatchedProgram& record) {
    record.name = file.ReadIniValue(kAppsSection, AppKey(number), L"");
    record.caption = file.ReadIniValue(record.name, kCaptionKey, L"");
    record.exe = file.ReadIniValue(record.name, kExeKey, L"");
    record.command = file.ReadIniValue(record.name, kCommandKey, L"");
    record.prefix = file.ReadIniValue(record.name, kPrefixKey, L"");
    record.postfix = file.ReadIniValue(record.name, kPostfixKey, L"");
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
    if (!ParseProgramCount(file.ReadIniValue(kAppsSection, kNumberKey, L"0"))) {
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

std::wstring UnsavedSettingsMessage(std::wstring const& path) {
    return L"The settings could not be saved to " + path + L".\r\nCheck that the file and its folder can be written to.";
}

bool SaveSettings(SettingsFile const& file, WatchedPrograms const& programs) {
    int const count = programs.Count();
    bool ok = file.WriteIniValue(kAppsSection, kNumberKey, std::to_wstring(count));
    for (int i = 1; i <= count; ++i) ok &= file.WriteIniValue(kAppsSection, AppKey(i), programs[i].name);
    for (int i = 1; i <= count; ++i) {
        WatchedProgram const& record = programs[i];
        ok &= file.WriteIniValue(record.name, kCaptionKey, record.caption);
        ok &= file.WriteIniValue(record.name, kExeKey, record.exe);
        ok &= file.WriteIniValue(record.name, kCommandKey, record.command);
        ok &= file.WriteIniValue(record.name, kPrefixKey, record.prefix);
        ok &= file.WriteIniValue(record.name, kPostfixKey, record.postfix);
        // A program added since start-up has no rules yet: keys left in its section by a deleted
        // program of the same name go. A program read from the file keeps keys added by hand.
        ok &= SaveRestartRules(file, record.name, record.rules, record.added);
    }
    return ok;
}

RestartRules LoadRestartRules(SettingsFile const& file, std::wstring const& program) {
    return {file.ReadIniValue(program, kMaxMemoryKey, L""), file.ReadIniValue(program, kRestartAtKey, L""),
            file.ReadIniValue(program, kCrashDialogKey, L"")};
}

bool SaveRestartRules(SettingsFile const& file, std::wstring const& program, RestartRules const& rules,
                      bool removeUnset) {
    auto save = [&](wchar_t const* key, std::wstring const& text) {
        if (!text.empty()) return file.WriteIniValue(program, key, text);
        return !removeUnset || file.RemoveIniValue(program, key);
    };
    bool ok = save(kMaxMemoryKey, rules.maxMemoryMB);
    ok &= save(kRestartAtKey, rules.restartAt);
    ok &= save(kCrashDialogKey, rules.crashDialog);
    return ok;
}

}  // namespace vigilon
