#include "engine/outputs/status_json.h"

#include <cwchar>
#include <iterator>
#include <optional>

#include "support/local_time.h"

namespace vigilon {
namespace {

constexpr wchar_t kLineEnd[] = L"\r\n";

// Writes the members of one object, one a line, at a depth of indentation.
class JsonObject {
public:
    JsonObject(std::wstring& text, int depth) : text_(text), depth_(depth) { text_ += L"{"; }

    void Raw(wchar_t const* name, std::wstring const& value) {
        text_ += first_ ? kLineEnd : std::wstring(L",") + kLineEnd;
        first_ = false;
        text_.append(static_cast<std::size_t>(depth_ + 1) * 2, L' ');
        text_ += JsonString(name) + L": " + value;
    }
    void Text(wchar_t const* name, std::wstring_view value) { Raw(name, JsonString(value)); }
    void Number(wchar_t const* name, long long value) { Raw(name, std::to_wstring(value)); }

    void Close() {
        if (!first_) {
            text_ += kLineEnd;
            text_.append(static_cast<std::size_t>(depth_) * 2, L' ');
        }
        text_ += L"}";
    }

private:
    std::wstring& text_;
    int depth_;
    bool first_ = true;
};

std::wstring TimeOrNull(std::optional<LocalTime> const& time) {
    return time ? JsonString(IsoTimeText(*time)) : L"null";
}

std::wstring LastEventOf(ProgramFacts const& facts, int depth) {
    if (facts.lastEvent.word.empty()) return L"null";
    std::wstring text;
    JsonObject event(text, depth);
    event.Text(L"time", IsoTimeText(facts.lastEvent.time));
    event.Text(L"word", facts.lastEvent.word);
    event.Text(L"details", facts.lastEvent.details);
    event.Close();
    return text;
}

std::wstring LastCheckOf(ProgramFacts const& facts, int depth) {
    if (!facts.lastCheck) return L"null";
    std::wstring text;
    JsonObject check(text, depth);
    check.Text(L"time", IsoTimeText(facts.lastCheck->time));
    check.Raw(L"ok", facts.lastCheck->verdict.works ? L"true" : L"false");
    check.Text(L"details", facts.lastCheck->verdict.details);
    check.Close();
    return text;
}

// The program's escalation ladder, null when it has none.
std::wstring EscalationOf(ProgramFacts const& facts, int depth) {
    if (facts.row.escalationMinutes == 0) return L"null";
    std::wstring text;
    JsonObject escalation(text, depth);
    escalation.Number(L"count", facts.row.escalationCount);
    escalation.Number(L"windowMinutes", facts.row.escalationMinutes);
    escalation.Raw(L"next", facts.row.escalationNext.empty() ? L"null" : JsonString(facts.row.escalationNext));
    escalation.Close();
    return text;
}

std::wstring ProgramOf(ProgramFacts const& facts, int depth) {
    std::wstring text;
    JsonObject program(text, depth);
    program.Text(L"name", facts.row.name);
    program.Text(L"state", StateWord(facts.row.state));
    program.Text(L"stateText", StatusCells(facts.row)[1]);
    program.Raw(L"processId", facts.row.processId == 0 ? L"null" : std::to_wstring(facts.row.processId));
    program.Raw(L"upSince", TimeOrNull(facts.upSince));
    program.Number(L"starts", facts.row.starts);
    program.Raw(L"lastEvent", LastEventOf(facts, depth + 1));
    program.Raw(L"nextDailyRestart", TimeOrNull(facts.nextDailyRestart));
    program.Raw(L"memoryMB", facts.memoryBytes ? std::to_wstring(*facts.memoryBytes >> 20) : L"null");
    program.Raw(L"nextStart", TimeOrNull(facts.nextStart));
    program.Text(L"waitingFor", facts.waitingFor);
    program.Raw(L"lastCheck", LastCheckOf(facts, depth + 1));
    program.Raw(L"escalation", EscalationOf(facts, depth + 1));
    program.Close();
    return text;
}

std::wstring ProblemOf(SettingsProblem const& problem, int depth) {
    std::wstring text;
    JsonObject object(text, depth);
    object.Number(L"line", problem.line);
    object.Text(L"section", problem.section);
    object.Text(L"program", problem.program);
    object.Text(L"text", problem.text);
    object.Close();
    return text;
}

// The items, each on a line of its own at depth 2, as one array.
template <typename Item, typename Write>
std::wstring ArrayOf(std::vector<Item> const& items, Write write) {
    std::wstring array = L"[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        array += (i == 0 ? L"" : L",") + std::wstring(kLineEnd) + L"    " + write(items[i]);
    }
    return array + (items.empty() ? L"]" : std::wstring(kLineEnd) + L"  ]");
}

}  // namespace

std::wstring ProgramJson(ProgramFacts const& facts, int depth) { return ProgramOf(facts, depth); }

std::wstring JsonString(std::wstring_view text) {
    std::wstring quoted = L"\"";
    for (wchar_t const c : text) {
        switch (c) {
        case L'"': quoted += L"\\\""; break;
        case L'\\': quoted += L"\\\\"; break;
        case L'\n': quoted += L"\\n"; break;
        case L'\r': quoted += L"\\r"; break;
        case L'\t': quoted += L"\\t"; break;
        default:
            if (static_cast<std::uint32_t>(c) < 0x20) {
                wchar_t escaped[8];
                std::swprintf(escaped, std::size(escaped), L"\\u%04x", static_cast<unsigned>(c));
                quoted += escaped;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + L"\"";
}

std::wstring StatusJson(StatusSnapshot const& snapshot) {
    std::wstring text;
    JsonObject document(text, 0);
    document.Number(L"schema", kStatusSchema);
    document.Text(L"version", snapshot.version);
    document.Text(L"computer", snapshot.computer);
    document.Text(L"runningSince", IsoTimeText(snapshot.runningSince));
    document.Text(L"time", IsoTimeText(snapshot.taken));
    document.Text(L"watching", WatchingWord(snapshot.watching));
    document.Raw(L"programs", ArrayOf(snapshot.programs, [](ProgramFacts const& facts) { return ProgramOf(facts, 2); }));
    document.Raw(L"settingsProblems",
                 ArrayOf(snapshot.settingsProblems, [](SettingsProblem const& problem) { return ProblemOf(problem, 2); }));
    document.Raw(L"nextReboot", snapshot.nextReboot.empty() ? L"null" : JsonString(snapshot.nextReboot));
    document.Close();
    return text + kLineEnd;
}

}  // namespace vigilon
