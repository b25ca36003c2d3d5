#include <gtest/gtest.h>

#include "engine/outputs/alert_gate.h"

namespace vigilon {
namespace {

constexpr std::int64_t kSecond = 1000;

// The gate on a clock of its own, driven a second at a time as the engine drives it.
class AlertGateTest : public ::testing::Test {
protected:
    AlertGateTest() { gate.SetAfterSeconds(60); }

    void Trouble(TroubleKind kind, std::wstring const& program, std::wstring const& details = L"d") {
        gate.Trouble(kind, program, details, {}, now, sent);
    }
    // Seconds pass; the program runs well through them when `running`.
    void Seconds(int count, bool running = false) {
        for (int i = 0; i < count; ++i) {
            now += kSecond;
            if (running) gate.Running(L"Kiosk", now, sent);
            gate.Tick(now, sent);
        }
    }
    std::vector<std::wstring> Kinds() const {
        std::vector<std::wstring> kinds;
        for (AlertGate::Due const& due : sent) kinds.push_back(due.kind);
        return kinds;
    }

    AlertGate gate;
    std::int64_t now = 1'000'000;
    std::vector<AlertGate::Due> sent;
};

TEST_F(AlertGateTest, AProgramRunningAgainWithinAlertAfterSendsNothingAndOneThatStaysDownSendsOnceThenOneRecovered) {
    Trouble(TroubleKind::Gone, L"Kiosk");
    Seconds(1);
    Seconds(120, true);  // its window back a second later, and running on
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(gate.Idle());

    Trouble(TroubleKind::Gone, L"Kiosk", L"exit code 3");
    Seconds(59);
    EXPECT_TRUE(sent.empty()) << "AlertAfter is not over";
    Seconds(1);
    ASSERT_EQ(Kinds(), std::vector<std::wstring>{L"gone"});
    EXPECT_EQ(sent[0].details, L"exit code 3");
    EXPECT_TRUE(sent[0].problem);
    Trouble(TroubleKind::MissingFile, L"Kiosk");  // still down, and now its file is missing
    Seconds(100);
    Seconds(30, true);
    ASSERT_EQ(Kinds(), (std::vector<std::wstring>{L"gone", L"missing-file", L"recovered"}));
    EXPECT_EQ(sent[2].details, L"running again after 2 min 41 s");
    EXPECT_FALSE(sent[2].problem);
}

TEST_F(AlertGateTest, VigilonsOwnTroublesGoAtOnceAndAFlappingHeartbeatOnlyEveryTenMinutes) {
    Trouble(TroubleKind::HistoryUnwritable, L"");
    Trouble(TroubleKind::HeartbeatFailed, L"");
    Seconds(300);
    Trouble(TroubleKind::HeartbeatFailed, L"");
    Seconds(300);
    Trouble(TroubleKind::HeartbeatFailed, L"");
    Trouble(TroubleKind::Started, L"");  // not a trouble
    Trouble(TroubleKind::AlertFailed, L"");  // could not be sent the same way
    EXPECT_EQ(Kinds(), (std::vector<std::wstring>{L"history", L"heartbeat", L"heartbeat"}));
}

TEST_F(AlertGateTest, EachKindOfAProgramIsSentAtMostOnceInTenMinutesAndTheNextSaysWhatWasHeldBack) {
    gate.SetAfterSeconds(0);
    for (int i = 0; i < 3; ++i) {
        Trouble(TroubleKind::Gone, L"Kiosk");
        Seconds(5);
        Seconds(60, true);  // back
    }
    EXPECT_EQ(Kinds(), (std::vector<std::wstring>{L"gone", L"recovered"})) << "the repeats are held back, and so their recoveries";
    Trouble(TroubleKind::Hung, L"Kiosk", L"no answer");  // another kind goes at once, with what was held back
    Seconds(600);
    Trouble(TroubleKind::Gone, L"Kiosk", L"exit code 3");
    ASSERT_EQ(Kinds(), (std::vector<std::wstring>{L"gone", L"recovered", L"hung", L"gone"}));
    EXPECT_EQ(sent[2].details, L"no answer (2 more troubles since the last alert: 2 gone)");
    EXPECT_EQ(sent[3].details, L"exit code 3");
}

TEST_F(AlertGateTest, ANewOutageSoonAfterARecoveredIsSentOnceTheTenMinutesAreOverIfItLasts) {
    Trouble(TroubleKind::Gone, L"Kiosk");
    Seconds(60);
    Seconds(60, true);
    ASSERT_EQ(Kinds(), (std::vector<std::wstring>{L"gone", L"recovered"}));
    Trouble(TroubleKind::Gone, L"Kiosk", L"exit code 5");  // down again a minute after the alert
    Seconds(539);
    EXPECT_EQ(sent.size(), 2u) << "the flood rule holds it back until ten minutes after the last";
    Seconds(1);
    ASSERT_EQ(Kinds(), (std::vector<std::wstring>{L"gone", L"recovered", L"gone"}));
    EXPECT_EQ(sent[2].details, L"exit code 5");
    Seconds(5, true);
    EXPECT_EQ(Kinds(), (std::vector<std::wstring>{L"gone", L"recovered", L"gone", L"recovered"}));
}

TEST_F(AlertGateTest, AlertKindsNarrowsWhatIsSentRecoveredAmongThem) {
    gate.SetKinds({L"hung", L"missing-file"});
    gate.SetAfterSeconds(0);
    Trouble(TroubleKind::Gone, L"Kiosk");
    Trouble(TroubleKind::MetricsUnwritable, L"");
    Trouble(TroubleKind::Hung, L"Kiosk");
    Trouble(TroubleKind::MissingFile, L"Other");
    Seconds(5, true);
    EXPECT_EQ(Kinds(), (std::vector<std::wstring>{L"hung", L"missing-file"})) << "no recovered: not named";
}

TEST_F(AlertGateTest, AProgramForgottenSendsNothingMore) {
    Trouble(TroubleKind::Gone, L"Kiosk");
    gate.Forget(L"Kiosk");
    Seconds(120);
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(gate.Idle());
}

}  // namespace
}  // namespace vigilon
