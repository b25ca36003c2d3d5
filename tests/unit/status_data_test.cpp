#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "app/options.h"
#include "engine/outputs/metrics_file.h"
#include "engine/outputs/metrics_text.h"
#include "engine/outputs/status_json.h"
#include "fakes/engine_scene.h"
#include "support/local_time.h"
#include "support/utf8.h"

namespace vigilon {
namespace {

constexpr StatusState kEveryState[] = {StatusState::Running,     StatusState::Starting,   StatusState::Waiting,
                                       StatusState::NotResponding, StatusState::Restarting, StatusState::Paused,
                                       StatusState::MissingFile, StatusState::NoCaption,  StatusState::Stopped,
                                       StatusState::Closed,      StatusState::Unhealthy};

// A name that needs every kind of care: quotes, a backslash, a line break and letters beyond ASCII.
std::wstring const kAwkwardName = L"Say \"hi\" \\ to\nGr\u00fc\u00dfe \u65e5\u672c";

StatusSnapshot OneProgram(std::wstring const& name, StatusState state) {
    StatusSnapshot snapshot;
    snapshot.version = L"1.2.3";
    snapshot.computer = L"KIOSK-7";
    snapshot.runningSince = {2026, 12, 9, 8, 30, 0, 0, -330};
    snapshot.taken = {2026, 12, 9, 9, 5, 7, 250, -330};
    ProgramFacts& facts = snapshot.programs.emplace_back();
    facts.row.name = name;
    facts.row.state = state;
    return snapshot;
}

TEST(StatusJson, EscapesEveryNameAndWritesFixedWordsAndTimesWithTheirOffset) {
    EXPECT_EQ(JsonString(kAwkwardName), L"\"Say \\\"hi\\\" \\\\ to\\nGr\u00fc\u00dfe \u65e5\u672c\"");
    EXPECT_EQ(JsonString(std::wstring(L"a\x01" L"b\tc")), L"\"a\\u0001b\\tc\"");

    StatusSnapshot snapshot = OneProgram(kAwkwardName, StatusState::Running);
    snapshot.programs[0].row.processId = 4242;
    snapshot.programs[0].upSince = LocalTime{2026, 12, 9, 8, 31, 2, 0};
    snapshot.programs[0].lastEvent = {{2026, 12, 9, 8, 31, 2, 0}, L"found", L"1.0 s after its start"};
    std::string const json = ToUtf8(StatusJson(snapshot));
    EXPECT_EQ(json.front(), '{');  // no byte-order mark
    EXPECT_NE(json.find("\"schema\": 1,"), std::string::npos);
    EXPECT_NE(json.find("\"runningSince\": \"2026-12-09T08:30:00-05:30\""), std::string::npos);
    EXPECT_NE(json.find("\"watching\": \"watching\""), std::string::npos);
    EXPECT_NE(json.find(ToUtf8(L"\"name\": " + JsonString(kAwkwardName))), std::string::npos);
    EXPECT_NE(json.find("\"state\": \"running\""), std::string::npos);
    EXPECT_NE(json.find("\"processId\": 4242"), std::string::npos);
    EXPECT_NE(json.find("\"details\": \"1.0 s after its start\""), std::string::npos);
    EXPECT_NE(json.find("\"memoryMB\": null"), std::string::npos);  // not read: unknown, not 0

    // Scripts compare the words: each is an identifier of its own, whatever the Status window says.
    std::set<std::wstring> words;
    for (StatusState const state : kEveryState) {
        std::wstring const word(StateWord(state));
        EXPECT_TRUE(std::regex_match(ToUtf8(word), std::regex("[a-z_]+"))) << ToUtf8(word);
        words.insert(word);
        std::string const document = ToUtf8(StatusJson(OneProgram(L"P", state)));
        EXPECT_NE(document.find("\"state\": \"" + ToUtf8(word) + "\""), std::string::npos);
    }
    EXPECT_EQ(words.size(), std::size(kEveryState));
    EXPECT_EQ(WatchingWord(WatchingState::Stopped), L"stopped: the editor is open");
}

TEST(MetricsText, HasEveryMetricOnceWithItsHelpAndTypeAndEscapedLabels) {
    EXPECT_EQ(EscapedLabelValue(L"a\"b\\c\nd"), "a\\\"b\\\\c\\nd");
    StatusSnapshot snapshot = OneProgram(kAwkwardName, StatusState::Running);
    snapshot.programs[0].row.processId = 7;
    snapshot.programs[0].memoryBytes = std::uint64_t{300} << 20;
    snapshot.programs[0].lastStart = LocalTime{1970, 1, 1, 0, 0, 10, 0};
    std::string const text = MetricsText(snapshot);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\r'), std::string::npos);
    std::string const label = "program=\"" + EscapedLabelValue(kAwkwardName) + "\"";
    EXPECT_NE(text.find("vigilon_up{" + label + "} 1\n"), std::string::npos);
    EXPECT_NE(text.find("vigilon_program_state{" + label + ",state=\"running\"} 1\n"), std::string::npos);
    EXPECT_NE(text.find("vigilon_program_state{" + label + ",state=\"waiting\"} 0\n"), std::string::npos);
    EXPECT_NE(text.find("vigilon_memory_bytes{" + label + "} 314572800\n"), std::string::npos);
    EXPECT_NE(text.find("vigilon_last_start_timestamp_seconds{" + label + "} 10\n"), std::string::npos);
    EXPECT_NE(text.find("vigilon_build_info{version=\"1.2.3\"} 1\n"), std::string::npos);
    for (char const* name : {"vigilon_up", "vigilon_program_state", "vigilon_starts_total", "vigilon_restarts_total",
                             "vigilon_exits_total", "vigilon_memory_bytes", "vigilon_last_start_timestamp_seconds",
                             "vigilon_watching", "vigilon_build_info"}) {
        std::string const help = std::string("# HELP ") + name + " ";
        std::size_t const at = text.find(help);
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_EQ(text.find(help, at + 1), std::string::npos) << name;
        EXPECT_EQ(text.find(std::string("\n# TYPE ") + name + " ", at), text.find('\n', at)) << name;
    }
}

class MetricsFileTest : public ::testing::Test, private MetricsJournal {
protected:
    void MetricsFailed(std::wstring const& path) override { failures.push_back(path); }
    std::string Written() { return files.texts[kPath]; }
    // Offered at `now`, and looked at as the next tick does.
    void Offer(std::int64_t now, std::string const& text) {
        file.Offer(now, text);
        file.Collect(now);
    }
    static constexpr wchar_t kPath[] = L"C:\\metrics\\vigilon.prom";
    testing::FakeFileSystem files;
    MetricsFile file{files, *this};
    std::vector<std::wstring> failures;
};

TEST_F(MetricsFileTest, WritesWhatChangedAtMostOnceASecondAndAtLeastEveryThirtySeconds) {
    Offer(0, "a\n");
    EXPECT_TRUE(files.texts.empty());  // no path: off
    file.SetPath(kPath);
    Offer(1000, "a\n");
    EXPECT_EQ(Written(), "a\n");
    EXPECT_FALSE(files.texts.contains(MetricsFile::TemporaryPath(kPath)));  // moved over, none left behind
    Offer(1500, "b\n");
    EXPECT_EQ(Written(), "a\n");  // within the second: waits
    Offer(2000, "b\n");
    EXPECT_EQ(Written(), "b\n");
    files.texts[kPath] = "read by the collector";
    Offer(20'000, "b\n");
    EXPECT_EQ(Written(), "read by the collector");  // nothing new, and not 30 s yet
    EXPECT_FALSE(file.RefreshDue(20'000));
    EXPECT_TRUE(file.RefreshDue(32'000));
    Offer(32'000, "b\n");
    EXPECT_EQ(Written(), "b\n");  // its age says Vigilon is alive
}

TEST_F(MetricsFileTest, AFileThatCannotBeWrittenIsSaidOnceUntilItWorksAgain) {
    file.SetPath(kPath);
    files.unmovable.push_back(kPath);  // a reader holds it without sharing
    Offer(0, "a\n");
    EXPECT_TRUE(failures.empty());  // once is a reader's moment: tried again, not told
    EXPECT_TRUE(file.RefreshDue(1000));
    for (std::int64_t t = 1000; t < 30'000; t += 1000) Offer(t, "a\n");
    EXPECT_EQ(failures, std::vector<std::wstring>{kPath});
    EXPECT_FALSE(files.texts.contains(MetricsFile::TemporaryPath(kPath)));
    files.unmovable.clear();
    Offer(30'000, "a\n");
    EXPECT_FALSE(files.texts.contains(kPath));  // once told, tried every 30 s only
    Offer(31'000, "a\n");
    EXPECT_EQ(Written(), "a\n");
    files.unwritable.push_back(MetricsFile::TemporaryPath(kPath));
    Offer(32'000, "b\n");
    Offer(33'000, "b\n");
    EXPECT_EQ(failures.size(), 2u);
}

TEST_F(MetricsFileTest, AShareThatDoesNotAnswerHoldsUpNobodyTheNewestTextFollowsAndTheLastWriteIsBounded) {
    file.SetPath(kPath);
    files.writesStall = true;
    for (std::int64_t t = 0; t <= 5000; t += 1000) Offer(t, std::to_string(t) + "\n");
    EXPECT_EQ(files.replacementsBegun, 1);  // one at a time
    EXPECT_FALSE(files.texts.contains(kPath));
    files.writesStall = false;
    file.Collect(6000);
    EXPECT_EQ(Written(), "0\n");
    file.Collect(7000);
    EXPECT_EQ(Written(), "5000\n");  // the newest, not those between
    EXPECT_EQ(files.replacementsBegun, 2);
    EXPECT_TRUE(failures.empty());

    files.writesStall = true;
    Offer(40'000, "under way\n");
    EXPECT_FALSE(file.WriteLast("last\n"));  // neither waits for ever
    files.writesStall = false;
    EXPECT_TRUE(file.WriteLast("last\n"));
    EXPECT_EQ(Written(), "last\n");
}

// The engine counts what the metrics report and the history says what its numbers are.
class StatusDataTest : public ::testing::Test, protected testing::EngineScene {
protected:
    StatusDataTest() {
        engine.SetNoticeMode(NoticeMode::Tray);
        fake.files.AddFile(L"C:\\run.exe");
        AddProgram(L"Runner", L"Runner", L"C:\\run.exe");
        fake.shell.onLaunch = [this](auto const&) {
            window = fake.desktop.Add(L"Runner - up", true, true);
            fake.processes.images[fake.desktop.WindowProcessId(window)] = L"C:\\run.exe";
        };
    }
    // The program ends of its own accord with `code`, and is started again.
    void EndsWith(std::uint32_t code) {
        fake.processes.exits[fake.desktop.WindowProcessId(window)] = {ProcessExit::State::Ended, code};
        fake.desktop.Remove(window);
        Passes(2);
    }
    std::string History() { return fake.files.texts[std::wstring(kFolder) + L"vigilon.log"]; }
    WindowHandle window = 0;
};

TEST_F(StatusDataTest, ExitsAreCountedByKindRestartsByReasonAndTheMetricsFileFollows) {
    engine.SetMetricsFile(L"C:\\Vigilon\\vigilon.prom");
    Passes(2);
    EXPECT_NE(History().find("\tfound\tRunner\t1.0 s after its start\r\n"), std::string::npos);
    EndsWith(0);
    EndsWith(0xC0000005);
    EndsWith(0xC0000005);
    ASSERT_EQ(engine.RestartProgram(L"Runner"), WatchEngine::RestartAnswer::Restarting);
    fake.desktop.Remove(window);  // it closes as asked: no exit of its own
    Passes(3);
    ProgramCounts const counts = engine.Snapshot().programs[0].counts;
    EXPECT_EQ(counts.Exits(ExitKind::Normal), 1u);
    EXPECT_EQ(counts.Exits(ExitKind::Crash), 2u);
    EXPECT_EQ(counts.Restarts(RestartCause::Asked), 1u);
    EXPECT_EQ(counts.Restarts(RestartCause::Hang), 0u);
    std::string const metrics = fake.files.texts[L"C:\\Vigilon\\vigilon.prom"];
    EXPECT_NE(metrics.find("vigilon_exits_total{program=\"Runner\",kind=\"crash\"} 2\n"), std::string::npos);
    EXPECT_NE(metrics.find("vigilon_restarts_total{program=\"Runner\",reason=\"asked\"} 1\n"), std::string::npos);
    EXPECT_NE(metrics.find("vigilon_starts_total{program=\"Runner\"} 5\n"), std::string::npos);
    EXPECT_NE(metrics.find("vigilon_up{program=\"Runner\"} 1\n"), std::string::npos);

    // Nothing changes: the passes leave the file alone until it is 30 s old.
    std::wstring const file = L"C:\\Vigilon\\vigilon.prom";
    fake.files.texts[file] = "as the collector read it";
    Passes(20);
    EXPECT_EQ(fake.files.texts[file], "as the collector read it");
    Passes(15);
    EXPECT_EQ(fake.files.texts[file], metrics);

    // Watching stops while the editor is open: no pass runs, and the file says so all the same.
    host.watching = false;
    for (int tick = 0; tick < 2; ++tick) {  // written on a worker: there at the next tick
        fake.events.now += 1000;
        engine.TendCommands();
    }
    EXPECT_NE(fake.files.texts[L"C:\\Vigilon\\vigilon.prom"].find("\nvigilon_watching 0\n"), std::string::npos);

    // Vigilon ends: the file left behind says that nothing is watched, not that all runs.
    host.watching = true;
    engine.RecordExit();
    EXPECT_NE(fake.files.texts[file].find("vigilon_up{program=\"Runner\"} 0\n"), std::string::npos);
    EXPECT_NE(fake.files.texts[file].find("\nvigilon_watching 0\n"), std::string::npos);
}

TEST_F(StatusDataTest, QuietPassesMakeNoMetricsAndAnEndThatCannotWriteThemSaysSo) {
    engine.SetMetricsFile(L"C:\\Vigilon\\vigilon.prom");
    programs[1].rules.maxMemoryMB = L"500";
    Passes(3);
    std::string const running = fake.files.texts[L"C:\\Vigilon\\vigilon.prom"];
    ASSERT_NE(running.find("vigilon_up{program=\"Runner\"} 1\n"), std::string::npos);
    // Nothing it shows changes: the passes do not even make the text (each would read the time).
    int const readings = fake.events.localTimeReadings;
    for (int i = 0; i < 4; ++i) {
        engine.WatchPrograms();
        engine.TendCommands();
        fake.events.now += 1000;
    }
    EXPECT_EQ(fake.events.localTimeReadings, readings);
    // What changes without a line in the history still reaches the file: a memory reading.
    fake.processes.memory[fake.desktop.WindowProcessId(window)] = std::uint64_t{300} << 20;
    Passes(6);
    EXPECT_NE(fake.files.texts[L"C:\\Vigilon\\vigilon.prom"].find("vigilon_memory_bytes{program=\"Runner\"} 314572800\n"),
              std::string::npos);

    // The share stops answering as Vigilon ends: the end does not wait for it, and says so.
    fake.files.writesStall = true;
    engine.RecordExit();
    EXPECT_EQ(Events(L""), (std::vector<std::wstring>{L"metrics", L"exit"}));
    EXPECT_NE(History().find("\tmetrics\t\tthe last could not be written to C:\\Vigilon\\vigilon.prom"), std::string::npos);
}

// Daylight saving time begins: the local clock and its offset move on by an hour together. A time
// taken before names the same instant after.
TEST_F(StatusDataTest, PastTimesNameTheSameInstantAfterAChangeOfDaylightSavingTime) {
    engine.SetMetricsFile(L"C:\\Vigilon\\vigilon.prom");
    Passes(3);  // the text of the second, once its write has ended
    auto const upSince = [this] { return engine.Snapshot().programs[0].upSince; };
    std::wstring const before = IsoTimeText(*upSince());
    std::string const metrics = fake.files.texts[L"C:\\Vigilon\\vigilon.prom"];
    fake.events.localShift += 3'600'000;
    fake.events.utcOffsetMinutes += 60;
    EXPECT_EQ(IsoTimeText(*upSince()), before);
    Passes(31);  // written again at least every 30 s
    EXPECT_EQ(fake.files.texts[L"C:\\Vigilon\\vigilon.prom"], metrics);
}

TEST_F(StatusDataTest, AMetricsFileThatCannotBeWrittenIsToldInTheHistoryTheTrayAndTheEventLog) {
    engine.SetEventLog(true);
    fake.files.unwritable.push_back(L"C:\\Vigilon\\vigilon.prom.tmp");
    engine.SetMetricsFile(L"C:\\Vigilon\\vigilon.prom");
    Passes(5);
    EXPECT_EQ(Events(L""), std::vector<std::wstring>{L"metrics"});
    EXPECT_EQ(host.notices.size(), 1u);
    ASSERT_EQ(fake.eventLog.entries.size(), 1u);
    EXPECT_EQ(fake.eventLog.entries[0].messageId & 0xFFFF, 2100u);
}

TEST(ChangedOptions, NamesEachKeyThatChangedWithItsNewValueButNeverTheCommand) {
    Options before;
    Options after = before;
    EXPECT_EQ(ChangedOptions(before, after), L"");
    after.backoff = true;
    after.hangSeconds = 30;
    after.onEvent = L"notify.cmd --token=secret";
    after.metricsFile = L"C:\\metrics\\vigilon.prom";
    EXPECT_EQ(ChangedOptions(before, after),
              L"Backoff=1, HangSeconds=30, OnEvent, MetricsFile=C:\\metrics\\vigilon.prom");
}

}  // namespace
}  // namespace vigilon
