#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/outputs/trouble.h"
#include "fakes/engine_scene.h"

namespace vigilon {
namespace {

class TroubleTest : public ::testing::Test, protected testing::EngineScene {
protected:
    TroubleTest() {
        engine.SetNoticeMode(NoticeMode::Tray);
        engine.SetEventLog(true);
        engine.SetTroubleCommand(L"C:\\Tools\\tell.cmd");
        fake.files.AddFile(L"C:\\crash.exe");
        AddProgram(L"Crash", L"Crash", L"C:\\crash.exe");
    }
    // Passes one second apart; the program ends `runMs` after each start while `crashing`.
    void CrashAfter(std::int64_t runMs) {
        fake.shell.onLaunch = [this, runMs](auto const&) {
            WindowHandle const window = fake.desktop.Add(L"Crash", true, true);
            if (runMs > 0) fake.events.After(runMs, [this, window] { fake.desktop.Remove(window); });
        };
    }
    std::vector<std::wstring> CommandEvents() const {
        std::vector<std::wstring> events;
        for (auto const& command : fake.commands.commands) events.push_back(command.variables.at(L"VIGILON_EVENT"));
        return events;
    }
    void FinishCommands() {
        for (auto& command : fake.commands.commands) command.running = false;
    }
};

TEST_F(TroubleTest, AnHourOfCrashesRunsTheCommandAtMostSevenTimesThenOnceWhenItRecovers) {
    CrashAfter(1500);
    for (int minute = 0; minute < 60; ++minute) {
        Passes(60);
        FinishCommands();
    }
    std::vector<std::wstring> const during = CommandEvents();
    EXPECT_GE(during.size(), 6u);
    EXPECT_LE(during.size(), 7u);
    // Each repeat says how much happened meanwhile.
    EXPECT_NE(fake.commands.commands[1].variables.at(L"VIGILON_DETAILS").find(L"more troubles since the last report: "),
              std::wstring::npos);

    // It runs for good: five minutes on, `recovered`, once, in the command, the event log and the history.
    CrashAfter(0);
    Passes(400);
    std::vector<std::wstring> const after = CommandEvents();
    ASSERT_EQ(after.size(), during.size() + 1);
    EXPECT_EQ(after.back(), L"recovered");
    EXPECT_EQ(Events(L"Crash").back(), L"recovered");
    EXPECT_EQ(fake.eventLog.entries.back().messageId, 0x40000000u + 103);
    EXPECT_EQ(fake.eventLog.entries.back().type, kEventLogInformation);
}

TEST_F(TroubleTest, TheCommandGetsItsEnvironmentAndNoMoreThanFourRunAtOnce) {
    WindowHandle const window = fake.desktop.Add(L"Crash", true, false);
    Passes(1);
    fake.desktop.Remove(window);
    Passes(1);
    ASSERT_EQ(fake.commands.commands.size(), 1u);
    auto const& command = fake.commands.commands[0];
    EXPECT_EQ(command.line, L"C:\\Tools\\tell.cmd");
    EXPECT_EQ(command.variables, (std::map<std::wstring, std::wstring>{
                                     {L"VIGILON_EVENT", L"gone"},
                                     {L"VIGILON_PROGRAM", L"Crash"},
                                     {L"VIGILON_DETAILS", L"process " + std::to_wstring(window / 4)},
                                     {L"VIGILON_TIME", L"2026-01-02 03:04:06"},
                                     {L"VIGILON_COMPUTER", L"KIOSK-7"},
                                     {L"VIGILON_HISTORY", L"C:\\Vigilon\\vigilon.log"}}));

    // Vigilon's own troubles are not held back; the fifth waits for a place, and a command that
    // runs two minutes is ended.
    for (int i = 0; i < 5; ++i) engine.RecordExit();
    EXPECT_EQ(fake.commands.Running(), 1u);  // exits are not problems: no command for them
    fake.files.unwritable.push_back(std::wstring(kFolder) + L"vigilon.log");
    engine.RecordStart(L"again");  // the history cannot be written: a problem of Vigilon's own
    EXPECT_EQ(CommandEvents().back(), L"history");
    // A sleep of an hour does not count towards its two minutes.
    Passes(60);
    fake.events.now += 3'600'000;
    fake.events.asleep += 3'600'000;
    Passes(2);
    EXPECT_FALSE(fake.commands.commands[0].ended);
    Passes(61);
    EXPECT_TRUE(fake.commands.commands[0].ended);
}

TEST_F(TroubleTest, EachTroubleHasItsOwnEventIdTypeAndStrings) {
    engine.RecordStart(L"version 1");
    programs[1].exe = L"C:\\gone.exe";
    Passes(1);
    ASSERT_EQ(fake.eventLog.entries.size(), 2u);
    EXPECT_EQ(fake.eventLog.entries[0].messageId, 0x40000000u + 100);
    EXPECT_EQ(fake.eventLog.entries[0].details, L"version 1, notices Tray");
    EXPECT_EQ(fake.eventLog.entries[1].messageId, 0xC0000000u + 300);
    EXPECT_EQ(fake.eventLog.entries[1].type, kEventLogError);
    EXPECT_EQ(fake.eventLog.entries[1].program, L"Crash");
    EXPECT_EQ(fake.eventLog.entries[1].details, L"Executable: C:\\gone.exe is not a valid file.");

    // Off: nothing is written.
    engine.SetEventLog(false);
    engine.RecordExit();
    EXPECT_EQ(fake.eventLog.entries.size(), 2u);
}

// A restart Vigilon plans (a daily one, one asked for) ends the program as asked: no trouble, so no
// gone warning, no command and no recovered after it.
TEST_F(TroubleTest, APlannedRestartIsNoTrouble) {
    programs[1].rules.restartAt = L"03:06";  // the fake clock starts at 03:04:05
    fake.desktop.closeOnPost = true;
    fake.shell.onLaunch = [this](auto const&) {
        fake.processes.images[fake.desktop.WindowProcessId(fake.desktop.Add(L"Crash", true, false))] = L"C:\\crash.exe";
    };
    Passes(200);
    ASSERT_EQ(fake.desktop.postedCloses.size(), 1u);
    ASSERT_EQ(engine.RestartProgram(L"Crash"), WatchEngine::RestartAnswer::Restarting);
    Passes(400);
    EXPECT_EQ(fake.desktop.postedCloses.size(), 2u);
    EXPECT_EQ(fake.shell.launches.size(), 3u);

    // Soon after its start, with back-off on, a planned end is no quick end either.
    engine.SetBackoff(true);
    ASSERT_EQ(engine.RestartProgram(L"Crash"), WatchEngine::RestartAnswer::Restarting);
    Passes(5);
    ASSERT_EQ(engine.RestartProgram(L"Crash"), WatchEngine::RestartAnswer::Restarting);
    Passes(5);
    EXPECT_EQ(fake.shell.launches.size(), 5u);

    // Close Programs: a window that takes its time to close (it saves its work) is no trouble
    // when it goes, and is not taken for a program found running meanwhile.
    WindowHandle const slow = engine.WindowOf(programs[1].name);
    ASSERT_NE(slow, 0u);
    fake.desktop.refuseClose.push_back(slow);
    engine.ClosePrograms();
    Passes(3);
    fake.desktop.Remove(slow);
    Passes(3);
    EXPECT_TRUE(CommandEvents().empty());
    for (auto const& entry : fake.eventLog.entries) EXPECT_EQ(entry.type, kEventLogInformation) << entry.details;
    std::string const history = fake.files.texts[std::wstring(kFolder) + L"vigilon.log"];
    EXPECT_EQ(history.find("\tbackoff\t"), std::string::npos);
    EXPECT_EQ(history.find("already running"), std::string::npos);
}

// A new kind of trouble is told at once, whatever came just before; repeats of a kind wait out
// the quiet time and then say what came meanwhile, kind by kind. The event log takes each kind
// at most once a minute, with the count held back.
TEST_F(TroubleTest, EachKindIsToldAtOnceAndRepeatsAreCountedByKind) {
    CrashAfter(1500);
    Passes(600);
    programs[1].exe = L"C:\\gone.exe";  // gone, and its file missing at the next start
    Passes(3);
    std::vector<std::wstring> const events = CommandEvents();
    ASSERT_EQ(events, (std::vector<std::wstring>{L"gone", L"message"}));
    EXPECT_EQ(fake.commands.commands[1].variables.at(L"VIGILON_DETAILS"),
              L"Executable: C:\\gone.exe is not a valid file. (299 more troubles since the last report: 299 gone)");
    int gone = 0;
    bool countShown = false;
    for (auto const& entry : fake.eventLog.entries) {
        if (entry.messageId != 0x80000000u + 200) continue;
        ++gone;
        countShown = countShown || entry.details.find(L"more held back since the last entry") != std::wstring::npos;
    }
    EXPECT_GE(gone, 10);
    EXPECT_LE(gone, 11);
    EXPECT_TRUE(countShown);
}

// The command line may hold a password or a token: when it cannot be started, the history and the
// notice say so without it.
TEST_F(TroubleTest, ACommandThatCannotBeStartedIsToldWithoutItsCommandLine) {
    engine.SetTroubleCommand(L"C:\\Tools\\tell.cmd --token=SECRET");
    fake.commands.startSucceeds = false;
    programs[1].exe = L"C:\\gone.exe";
    Passes(1);
    ASSERT_FALSE(host.notices.empty());
    for (auto const& notice : host.notices) EXPECT_EQ(notice.find(L"SECRET"), std::wstring::npos) << notice;
    std::string const history = fake.files.texts[std::wstring(kFolder) + L"vigilon.log"];
    EXPECT_NE(history.find("\tcommand\t"), std::string::npos);
    EXPECT_EQ(history.find("SECRET"), std::string::npos);
}

// The message table in the exe holds every event, with the id and severity Vigilon reports it by.
TEST(MessageTable, HoldsEveryTroubleWithItsIdAndSeverity) {
    std::ifstream file(VIGILON_SOURCE_DIR "/src/ui/res/vigilon_events.mc");
    ASSERT_TRUE(file) << "the message table's source is missing";
    std::stringstream text;
    text << file.rdbuf();
    for (TroubleKind const kind : kAllTroubles) {
        TroubleInfo const info = Describe(kind);
        std::string const severity = info.type == EventType::Information ? "Informational"
                                     : info.type == EventType::Warning   ? "Warning"
                                                                         : "Error";
        std::string const entry = "MessageId=" + std::to_string(info.eventId) + "\nSeverity=" + severity;
        EXPECT_NE(text.str().find(entry), std::string::npos) << entry;
    }
}

}  // namespace
}  // namespace vigilon
