#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings_check.h"
#include "engine/outputs/status_json.h"
#include "fakes/engine_scene.h"
#include "support/utf8.h"

namespace vigilon {
namespace {

class SettingsProblemsTest : public ::testing::Test, protected testing::EngineScene {
protected:
    // The history's lines as written, without their times.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::string const& text = fake.files.texts.at(std::wstring(kFolder) + L"vigilon.log");
        for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
            std::string const line = text.substr(start, end - start);
            lines.push_back(line.substr(line.find('\t') + 1));
        }
        return lines;
    }
};

// The file a new user wrote: a key misspelt in [Apps], a value the Kiosk's rule cannot use.
constexpr wchar_t kFile[] = L"[Apps]\r\nNumber=1\r\nApp1=Kiosk\r\nNotice=Tray\r\n[Kiosk]\r\nCaption=Kiosk\r\nShow=Huge\r\n";

TEST_F(SettingsProblemsTest, EachIsSaidOnceAfterTheStartLineAndNotAgainWhenAPassMeetsIt) {
    AddProgram(L"Kiosk", L"Kiosk", L"C:\\kiosk.exe").rules.show = L"Huge";
    fake.desktop.Add(L"Kiosk - main", true, false);
    engine.SetSettingsProblems(L"vigilon.ini", CheckSettingsText(kFile));
    engine.RecordStart(L"version 1", L"HangSeconds=30 (user policy)");
    engine.WatchPrograms();
    engine.WatchPrograms();
    std::vector<std::string> const lines = Lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "start\t\tversion 1, notices Box, 2 problems in vigilon.ini, policies HangSeconds=30 (user policy)");
    EXPECT_EQ(lines[1], "settings\t\tline 4 [Apps]: Notice: did you mean Notices?");
    EXPECT_EQ(lines[2], "settings\tKiosk\tline 7 [Kiosk]: Show=Huge: not Hidden, Normal, Maximized or FullScreen");
    EXPECT_EQ(Events(L"Kiosk"), (std::vector<std::wstring>{L"settings", L"found"}));  // no `ignored` line
    EXPECT_EQ(host.notices, std::vector<std::wstring>{
                                L"2 problems in vigilon.ini (the history lists them all): line 4 [Apps]: Notice: did you mean Notices?"});
    std::string const json = ToUtf8(StatusJson(engine.Snapshot()));
    EXPECT_NE(json.find("\"settingsProblems\": [\r\n    {\r\n      \"line\": 4,\r\n      \"section\": \"Apps\",\r\n"
                        "      \"program\": \"\",\r\n      \"text\": \"Notice: did you mean Notices?\"\r\n    },"),
              std::string::npos)
        << json;

    // Checked again after a save: only the new problem is said, and the ones mended are gone.
    std::vector<SettingsProblem> again = CheckSettingsText(kFile);
    again.erase(again.begin());
    again.push_back({8, L"Kiosk", L"Kiosk", L"OnTop=2: not 1 to keep it on top, or 0"});
    engine.SetSettingsProblems(L"vigilon.ini", again);
    EXPECT_EQ(Lines().back(), "settings\tKiosk\tline 8 [Kiosk]: OnTop=2: not 1 to keep it on top, or 0");
    EXPECT_EQ(host.notices.size(), 2u);
    EXPECT_EQ(engine.Snapshot().settingsProblems, again);
    engine.SetSettingsProblems(L"vigilon.ini", again);
    EXPECT_EQ(host.notices.size(), 2u);
}

}  // namespace
}  // namespace vigilon
