#include "e2e_fixture.h"

#include <cctype>
#include <filesystem>

namespace vigilon::e2e {
namespace {

// A strict reader of JSON's grammar: true when `text` is one whole JSON value with nothing but
// white space around it, as ConvertFrom-Json takes it.
class JsonChecker {
public:
    explicit JsonChecker(std::string const& text) : text_(text) {}
    bool Whole() {
        bool const ok = Value();
        Blank();
        return ok && at_ == text_.size();
    }

private:
    void Blank() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    }
    bool Take(char c) {
        Blank();
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool Word(std::string const& word) {
        if (text_.compare(at_, word.size(), word) != 0) return false;
        at_ += word.size();
        return true;
    }
    bool String() {
        if (!Take('"')) return false;
        while (at_ < text_.size() && text_[at_] != '"') {
            if (static_cast<unsigned char>(text_[at_]) < 0x20) return false;
            at_ += text_[at_] == '\\' ? 2 : 1;
        }
        return Take('"');
    }
    bool Number() {
        std::size_t const from = at_;
        while (at_ < text_.size() && (std::isdigit(static_cast<unsigned char>(text_[at_])) || text_[at_] == '-')) ++at_;
        return at_ > from;
    }
    template <typename Member>
    bool List(char close, Member const& member) {
        if (Take(close)) return true;
        do {
            if (!member()) return false;
        } while (Take(','));
        return Take(close);
    }
    bool Value() {
        Blank();
        if (at_ >= text_.size()) return false;
        char const c = text_[at_];
        if (c == '{') {
            ++at_;
            return List('}', [&] { return String() && Take(':') && Value(); });
        }
        if (c == '[') {
            ++at_;
            return List(']', [&] { return Value(); });
        }
        if (c == '"') return String();
        return Word("null") || Word("true") || Word("false") || Number();
    }

    std::string const& text_;
    std::size_t at_ = 0;
};

class DataTest : public VigilonTest {
protected:
    CommandResult Vigilon(std::wstring const& arguments) { return RunCommand(exe_, arguments, Path(L"answer.txt")); }
    std::string Metrics() { return testing::ReadFileBytes(Path(L"metrics\\vigilon.prom")); }
    bool MetricsHave(std::string const& line) { return Metrics().find("\n" + line + "\n") != std::string::npos; }
};

TEST_F(DataTest, StatusAsJsonIsOneDocumentWithTheFactsAndTheExitCodeOfStatus) {
    std::wstring const alpha = AddHelper(L"a.exe", Caption(L"Alpha"));
    WriteIni({{L"Alpha", Caption(L"Alpha"), alpha}, {L"Blank", L"", L""}});
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return Vigilon(L"/status /json").exitCode == 0; }));
    CommandResult const status = Vigilon(L"/status /json");
    EXPECT_TRUE(JsonChecker(status.output).Whole()) << status.output;
    EXPECT_EQ(status.output.rfind("{", 0), 0u) << "no byte-order mark, nothing before the document";
    EXPECT_NE(status.output.find("\"schema\": 1"), std::string::npos);
    EXPECT_NE(status.output.find("\"watching\": \"watching\""), std::string::npos);
    EXPECT_NE(status.output.find("\"name\": \"Alpha\",\r\n      \"state\": \"running\""), std::string::npos)
        << status.output;
    EXPECT_NE(status.output.find("\"state\": \"no_caption\""), std::string::npos);

    // Paused with Alpha closed: not every program runs, and the exit code says so as for /status.
    EXPECT_EQ(Vigilon(L"/pause").exitCode, 0);
    Close(WindowOf(Caption(L"Alpha")));
    ASSERT_TRUE(WaitUntil([&] { return Vigilon(L"/status /json").exitCode == 1; }));
    CommandResult const paused = Vigilon(L"/status /json");
    EXPECT_TRUE(JsonChecker(paused.output).Whole()) << paused.output;
    EXPECT_NE(paused.output.find("\"watching\": \"paused\""), std::string::npos);
    EXPECT_NE(paused.output.find("\"state\": \"paused\""), std::string::npos);
    ExitVigilon();
}

TEST_F(DataTest, TheMetricsFileFollowsProgramsAsTheyStartAndEnd) {
    std::filesystem::create_directories(std::filesystem::path(Path(L"metrics")));
    std::wstring const alpha = AddHelper(L"a.exe", Caption(L"Alpha"));
    std::wstring const beta = AddHelper(L"b.exe", Caption(L"Beta"));
    WriteIni({{L"Alpha", Caption(L"Alpha"), alpha}, {L"Beta", Caption(L"Beta"), beta}});
    WritePrivateProfileStringW(L"Apps", L"MetricsFile", Path(L"metrics\\vigilon.prom").c_str(),
                               Path(L"vigilon.ini").c_str());
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] {
        return MetricsHave("vigilon_up{program=\"Alpha\"} 1") && MetricsHave("vigilon_up{program=\"Beta\"} 1");
    })) << Metrics();
    EXPECT_TRUE(MetricsHave("vigilon_watching 1"));

    // Alpha ends of its own accord, with exit code 0: counted as a normal end, and started again.
    Close(WindowOf(Caption(L"Alpha")));
    EXPECT_TRUE(WaitUntil([&] {
        return MetricsHave("vigilon_exits_total{program=\"Alpha\",kind=\"normal\"} 1") &&
               MetricsHave("vigilon_starts_total{program=\"Alpha\"} 2") && MetricsHave("vigilon_up{program=\"Alpha\"} 1");
    })) << Metrics();
    std::string const text = Metrics();
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.rfind("# HELP vigilon_up ", 0), 0u) << "no byte-order mark";
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(Path(L"metrics\\vigilon.prom.tmp"))));
    EXPECT_TRUE(MetricsHave("vigilon_exits_total{program=\"Beta\",kind=\"crash\"} 0"));
    ExitVigilon();
}

}  // namespace
}  // namespace vigilon::e2e
