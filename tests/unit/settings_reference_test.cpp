#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <string>

#include "app/options.h"
#include "app/setting_keys.h"
#include "app/setting_source.h"
#include "app/settings.h"
#include "fakes/fake_profile_store.h"
#include "fakes/fake_registry.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr wchar_t kIni[] = L"C:\\V\\vigilon.ini";

std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

// The name a key has in the file and in the reference: a numbered key as "App<n>".
std::string Documented(SettingKey const& key) { return Narrow(key.name) + (key.numbered ? "<n>" : ""); }

// The settings file in memory, noting every key read from it: [Apps] keys apart from those of
// programs' sections, App1, App2, ... as "App<n>".
class RecordingStore final : public ProfileStore {
public:
    testing::FakeProfileStore files;
    std::set<std::string> apps, program;

    std::size_t ReadProfileValue(std::wstring_view section, std::wstring_view key, std::wstring_view defaultValue,
                                 std::span<wchar_t> buffer, std::wstring_view file) override {
        std::string name = Narrow(key);
        bool const numbered = name.size() > 3 && name.compare(0, 3, "App") == 0 &&
                              name.find_first_not_of("0123456789", 3) == std::string::npos;
        (ToUpperText(section) == L"APPS" ? apps : program).insert(numbered ? "App<n>" : name);
        return files.ReadProfileValue(section, key, defaultValue, buffer, file);
    }
    bool WriteProfileValue(std::wstring_view section, std::wstring_view key, std::wstring_view value,
                           std::wstring_view file) override {
        return files.WriteProfileValue(section, key, value, file);
    }
    bool DeleteProfileValue(std::wstring_view section, std::wstring_view key, std::wstring_view file) override {
        return files.DeleteProfileValue(section, key, file);
    }
    bool DeleteProfileSection(std::wstring_view section, std::wstring_view file) override {
        return files.DeleteProfileSection(section, file);
    }
    std::optional<std::wstring> ReadProfileText(std::wstring_view file) override { return files.ReadProfileText(file); }
    bool CanReadProfile(std::wstring_view file) override { return files.CanReadProfile(file); }
    bool ProfileExists(std::wstring_view file) override { return files.ProfileExists(file); }
    bool ProfileInUtf8(std::wstring_view file) override { return files.ProfileInUtf8(file); }
    std::optional<std::wstring> BeginProfileUpdate(std::wstring_view file, std::wstring_view source) override {
        return files.BeginProfileUpdate(file, source);
    }
    bool CommitProfileUpdate(std::wstring_view copy, std::wstring_view file, std::wstring_view backup) override {
        return files.CommitProfileUpdate(copy, file, backup);
    }
    void AbandonProfileUpdate(std::wstring_view copy) override { files.AbandonProfileUpdate(copy); }
};

// The registry in memory, noting every value asked for under the policies' key.
class RecordingRegistry final : public Registry {
public:
    testing::FakeRegistry values;
    std::set<std::string> policies;

    long OpenKey(RegistryRoot root, std::wstring_view path, std::uint32_t access, RegistryKeyHandle& key) override {
        long const result = values.OpenKey(root, path, access, key);
        if (result == 0) policyKey_[key] = ToUpperText(path) == ToUpperText(kPolicyKeyPath);
        return result;
    }
    long QueryValue(RegistryKeyHandle key, std::wstring_view name, std::uint32_t& type, std::span<std::uint8_t> data,
                    std::size_t& size) override {
        if (policyKey_[key]) policies.insert(Narrow(name));
        return values.QueryValue(key, name, type, data, size);
    }
    void CloseKey(RegistryKeyHandle key) override { values.CloseKey(key); }
    long WriteString(RegistryRoot root, std::wstring_view path, std::wstring_view name,
                     std::wstring_view text) override {
        return values.WriteString(root, path, name, text);
    }
    long DeleteValue(RegistryRoot root, std::wstring_view path, std::wstring_view name) override {
        return values.DeleteValue(root, path, name);
    }

private:
    std::map<RegistryKeyHandle, bool> policyKey_;
};

// The keys the reference lists in the tables under each of its second-level headings: the first
// cell of a row, when it is one code span.
std::map<std::string, std::set<std::string>> ReferenceTables() {
    std::ifstream file(VIGILON_SOURCE_DIR "/docs/settings.md");
    std::map<std::string, std::set<std::string>> tables;
    std::string heading, line;
    bool code = false;
    while (std::getline(file, line)) {
        if (line.rfind("```", 0) == 0) code = !code;
        if (code) continue;
        if (line.rfind("## ", 0) == 0) heading = line.substr(3);
        if (line.rfind("| `", 0) != 0) continue;
        std::size_t const end = line.find('`', 3);
        if (end != std::string::npos && line.find_first_not_of(' ', end + 1) == line.find('|', end + 1)) {
            tables[heading].insert(line.substr(3, end - 3));
        }
    }
    return tables;
}

// Every key Vigilon reads comes from its list of keys, and the settings reference documents each,
// in the table of its place, and no other: a key added to the code without a line in the
// reference, a key the reference names that nothing reads, or one read without being listed,
// each fails here.
TEST(SettingsReference, NamesEveryKeyVigilonReadsAndNoOther) {
    RecordingStore store;
    RecordingRegistry registry;
    SettingsFile const settings(store, kIni);
    store.files.Set(kIni, L"Apps", L"Number", L"2");
    store.files.Set(kIni, L"Apps", L"App1", L"Kiosk");
    store.files.Set(kIni, L"Apps", L"App2", L"Player");
    // Both policy keys there, with a value that is passed over, so every place of every key is read.
    registry.values.SetDword(RegistryRoot::LocalMachine, kPolicyKeyPath, L"Backoff", 7);
    registry.values.SetDword(RegistryRoot::CurrentUser, kPolicyKeyPath, L"Backoff", 7);
    WatchedPrograms programs;
    ASSERT_EQ(LoadStartupSettings(settings, registry, programs), SettingsLoad::Loaded);
    LoadOptions(settings, registry);
    PolicySummary(settings, registry);

    std::set<std::string> apps, inFile, program, policies;
    for (SettingKey const& key : SettingKeys()) {
        (key.place == KeyPlace::Apps ? apps : program).insert(Documented(key));
        if (key.place == KeyPlace::Apps && key.InFile()) inFile.insert(Documented(key));
        if (key.Policy()) policies.insert(Documented(key));
    }
    EXPECT_EQ(store.apps, apps) << "the [Apps] keys read are not the ones listed in src/app/setting_keys.cpp";
    EXPECT_EQ(store.program, program) << "a program's keys read are not the ones listed in src/app/setting_keys.cpp";
    EXPECT_EQ(registry.policies, policies) << "the policies read are not the ones listed in src/app/setting_keys.cpp";

    auto tables = ReferenceTables();
    ASSERT_FALSE(tables.empty()) << "docs/settings.md is missing or has no tables";
    EXPECT_EQ(tables["The [Apps] section"], inFile) << "docs/settings.md, The [Apps] section";
    EXPECT_EQ(tables["A program's section"], program) << "docs/settings.md, A program's section";
    EXPECT_EQ(tables["Policies"], policies) << "docs/settings.md, Policies";
}

}  // namespace
}  // namespace vigilon
