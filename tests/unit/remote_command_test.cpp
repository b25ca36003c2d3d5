#include <gtest/gtest.h>

#include "app/remote_command.h"
#include "ui/instance_logic.h"
#include "ui/remote_answers.h"

namespace vigilon {
namespace {

TEST(RemoteCommand, OnlyTheSwitchesAsWrittenAreCommandsToTheRunningCopy) {
    EXPECT_EQ(RemoteRequestFromArguments(L"/status"), (RemoteRequest{RemoteVerb::Status, L""}));
    EXPECT_EQ(RemoteRequestFromArguments(L"  /PAUSE "), (RemoteRequest{RemoteVerb::Pause, L""}));
    EXPECT_EQ(RemoteRequestFromArguments(L"/restart \"Kiosk - Main\""), (RemoteRequest{RemoteVerb::Restart, L"Kiosk - Main"}));
    EXPECT_EQ(RemoteRequestFromArguments(L"/restart Notes"), (RemoteRequest{RemoteVerb::Restart, L"Notes"}));
    EXPECT_EQ(RemoteRequestFromArguments(L"/restart"), (RemoteRequest{RemoteVerb::Restart, L""}));
    EXPECT_EQ(RemoteRequestFromArguments(L"/status /JSON"), (RemoteRequest{RemoteVerb::StatusJson, L""}));
    EXPECT_EQ(RemoteRequestFromArguments(L"/start \"Kiosk\""), (RemoteRequest{RemoteVerb::Start, L"Kiosk"}));
    EXPECT_EQ(RemoteRequestFromArguments(L"/screenshot Kiosk"), (RemoteRequest{RemoteVerb::Screenshot, L"Kiosk"}));
    EXPECT_EQ(RemoteRequestFromArguments(L"/CHECK \"Kiosk\""), (RemoteRequest{RemoteVerb::Check, L"Kiosk"}));
    // Every other command line starts Vigilon as it always did.
    for (wchar_t const* other : {L"", L"configure", L"/register", L"/status now", L"/statusx", L"status", L"/restarted", L"/startatlogon"}) {
        EXPECT_FALSE(RemoteRequestFromArguments(other)) << other;
    }
}

// Any program can make a window of Vigilon's class, or the mutex first: an answer is believed only
// from the window of the process that holds the instance, running a Vigilon exe.
TEST(RemoteCommand, AReplyFromAWindowOfAnotherProcessIsRefused) {
    std::vector<std::uint8_t> const allRunning = EncodeAnswer({0, L"Kiosk\tRunning\r\n"});
    AnswererFacts const vigilon{42u, 42, L"Vigilon"};
    EXPECT_EQ(AcceptAnswer(vigilon, allRunning), (RemoteAnswer{0, L"Kiosk\tRunning\r\n"}));
    EXPECT_FALSE(AcceptAnswer({42u, 77, L"Vigilon"}, allRunning));   // another process's window
    EXPECT_FALSE(AcceptAnswer({42u, 42, L"Notepad"}, allRunning));   // the holder runs no Vigilon exe
    EXPECT_FALSE(AcceptAnswer({std::nullopt, 42, L"Vigilon"}, allRunning));  // no holder published
    EXPECT_TRUE(TrustedAnswerer(vigilon));
    EXPECT_FALSE(TrustedAnswerer({0u, 0, L"Vigilon"}));
}

// While a copy runs, a typo must not read as a start that quietly gives way (exit 0).
TEST(RemoteCommand, ATypoOrAKnownSwitchWithWordsAfterItIsSaidAndNamesAreTrimmed) {
    for (wchar_t const* typo : {L"/stauts", L"-status", L"/status extra", L"/status /pause"}) {
        EXPECT_NE(RemoteMisuse(typo).find(L"The commands are /status, /status /json, /pause"), std::wstring::npos) << typo;
    }
    EXPECT_EQ(RemoteRequestFromArguments(L"/restart \" Kiosk \""), (RemoteRequest{RemoteVerb::Restart, L"Kiosk"}));
    std::wstring const tooLong = L"/restart \"" + std::wstring(kRemoteLongestName + 1, L'n') + L"\"";
    EXPECT_FALSE(RemoteRequestFromArguments(tooLong));
    EXPECT_NE(RemoteMisuse(tooLong).find(L"too long"), std::wstring::npos);
    // The commands, the start's own switches and other text are no misuse.
    for (wchar_t const* fine : {L"/status", L"/restart \"Kiosk\"", L"/register", L"/restarted", L"configure",
                                L"/importsettings \"C:\\preset.ini\"", L"/validate C:\\preset.ini", L"", L"watch"}) {
        EXPECT_EQ(RemoteMisuse(fine), L"") << fine;
    }
}

TEST(RemoteCommand, MessagesRoundTripAndAnythingOfAnotherShapeIsRefused) {
    RemoteRequest const restart{RemoteVerb::Restart, L"Caf\u00e9 \xD83D\xDE00"};  // a pair, as UTF-16 holds it
    std::vector<std::uint8_t> const bytes = EncodeRequest(restart);
    EXPECT_EQ(DecodeRequest(bytes), restart);
    RemoteAnswer const answer{1, L"Program\tState\r\n"};
    EXPECT_EQ(DecodeAnswer(EncodeAnswer(answer)), answer);
    EXPECT_FALSE(DecodeAnswer(bytes));  // a request is no answer
    // An answer naming a program cut in the middle of a pair still reaches the script.
    std::wstring const cut{L'K', static_cast<wchar_t>(0xD83D), L'\t'};
    EXPECT_EQ(DecodeAnswer(EncodeAnswer({0, cut}))->text, (std::wstring{L'K', static_cast<wchar_t>(0xFFFD), L'\t'}));

    auto refused = [&](auto change) {
        std::vector<std::uint8_t> b = bytes;
        change(b);
        return !DecodeRequest(b);
    };
    EXPECT_TRUE(refused([](auto& b) { b.pop_back(); }));                 // shorter than its length says
    EXPECT_TRUE(refused([](auto& b) { b.push_back(0); }));               // longer
    EXPECT_TRUE(refused([](auto& b) { b.resize(10); }));                 // no whole header
    EXPECT_TRUE(refused([](auto& b) { b[0] ^= 1; }));                    // another mark
    EXPECT_TRUE(refused([](auto& b) { b[4] = 2; }));                     // another version
    EXPECT_TRUE(refused([](auto& b) { b[8] = 12; }));                     // no such verb
    EXPECT_TRUE(refused([](auto& b) { b[8] = 1; }));                     // a name on /status
    EXPECT_TRUE(refused([](auto& b) { b[16] = 0, b[17] = 0; }));         // a NUL in the name
    EXPECT_TRUE(refused([](auto& b) { b.resize(b.size() - 2), b[12] -= 1; }));  // a surrogate cut in half
    EXPECT_TRUE(refused([](auto& b) { b[16] = 0x00, b[17] = 0xDC; }));   // a low surrogate alone
    std::vector<std::uint8_t> huge = EncodeRequest({RemoteVerb::Restart, std::wstring(2000, L'x')});
    EXPECT_FALSE(DecodeRequest(huge));
}

// /check answers once the check has ended: works (0), fails (1); a program without a check and an
// unknown name say so at once (2).
TEST(RemoteCommand, ACheckSaysWhetherItWorksAndExitsByIt) {
    struct Target final : RemoteTarget {
        StatusSnapshot Snapshot() override { return {}; }
        void Pause() override {}
        void Resume() override {}
        WatchEngine::RestartAnswer Restart(std::wstring const&) override { return {}; }
        StartReply Start(std::wstring const&) override { return {}; }
        void Close() override {}
        WatchEngine::AskedScreenshot Screenshot(std::wstring const&) override { return {}; }
        void Exit() override {}
        void OpenEditor() override {}
        WatchEngine::AskedCheck Check(std::wstring const& name) override {
            using enum WatchEngine::AskedCheck::Kind;
            return {name == L"Kiosk" ? Begun : name == L"Notes" ? NoCheck : NoSuchProgram, 7};
        }
    } target;
    EXPECT_EQ(AnswerRemote({RemoteVerb::Check, L"Kiosk"}, target).code, kRemoteLater);
    EXPECT_EQ(AnswerRemote({RemoteVerb::Check, L"Notes"}, target),
              (RemoteAnswer{2, L"Notes has no check: set one on the Health page of its Settings (Check=).\r\n"}));
    EXPECT_EQ(AnswerRemote({RemoteVerb::Check, L"Nobody"}, target).code, 2u);
    EXPECT_EQ(AnswerRemote({RemoteVerb::Check, L""}, target).code, 2u);
    EXPECT_EQ(CheckAnswerOf({7, L"Kiosk", true, L"HTTP 200 after 0.1 s"}),
              (RemoteAnswer{0, L"Kiosk works: HTTP 200 after 0.1 s\r\n"}));
    EXPECT_EQ(CheckAnswerOf({7, L"Kiosk", false, L"no answer within 10 s"}),
              (RemoteAnswer{1, L"Kiosk fails: no answer within 10 s\r\n"}));
}

}  // namespace
}  // namespace vigilon
