#include "engine/rules/health_judgement.h"

#include <algorithm>

#include "engine/rules/exit_rule.h"
#include "engine/rules/rule.h"
#include "support/shown_url.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

// The host and port as they are written in a URL: an IPv6 address in brackets.
std::wstring HostAndPort(std::wstring const& host, int port) {
    std::wstring const shown = host.find(L':') != std::wstring::npos ? L"[" + host + L"]" : host;
    return shown + L":" + std::to_wstring(port);
}

std::wstring Because(std::wstring const& error) { return error.empty() ? std::wstring() : L" (" + error + L")"; }

HealthVerdict JudgeHttp(HealthQuestion const& question, HealthAnswer const& answer) {
    if (!answer.answered) return {false, L"no answer from " + ShownUrl(question.target) + Because(answer.error)};
    std::wstring const status = L"HTTP " + std::to_wstring(answer.code) + L" after " + Seconds(answer.elapsedMilliseconds) + L" s";
    if (answer.code < 200 || answer.code > 399) return {false, status};
    if (!question.bodyText.empty() && !answer.textFound) return {false, status + L", without \"" + question.bodyText + L"\""};
    return {true, status};
}

HealthVerdict JudgeFile(HealthQuestion const& question, HealthAnswer const& answer, std::optional<int> maxAge) {
    if (!answer.answered) {
        bool const missing = answer.error.empty() || answer.error == L"not found";
        if (answer.error == L"access denied") return {false, question.target + L" may not be read by Vigilon (access denied)"};
        return {false, question.target + (missing ? L" not found" : L": " + answer.error)};
    }
    std::wstring const age = std::to_wstring(answer.ageSeconds);
    if (maxAge && answer.ageSeconds > *maxAge) {
        return {false, question.target + L" not written for " + age + L" s (limit " + std::to_wstring(*maxAge) + L" s)"};
    }
    return {true, question.target + (maxAge ? L" written " + age + L" s ago" : L" is there")};
}

// The probe's own reasons for not asking at all: Vigilon's setup, not the program's failure.
bool Unasked(HealthAnswer const& answer) {
    return !answer.answered && !answer.timedOut && (answer.error == L"not started" || answer.error == L"not a full path");
}

// The program's part of a command line: in quotes, or up to ".exe", or up to the first blank.
std::wstring_view CommandProgramPart(std::wstring_view command) {
    if (!command.empty() && command.front() == L'"') return command.substr(0, command.find(L'"', 1));
    std::size_t const exe = ToLowerText(command).find(L".exe");
    if (exe != std::wstring::npos) return command.substr(0, exe + 4);
    return command.substr(0, command.find(L' '));
}

}  // namespace

std::wstring UnsetVariable(HealthWatch const& health, VariableLookup const& lookup) {
    if (!health.check || (health.check->kind != CheckKind::File && health.check->kind != CheckKind::Run)) return {};
    std::wstring_view text = health.check->target;
    // Of a command, only its program must be there: the arguments' % signs are the command's own
    // (%20 in a URL, cmd's %ERRORLEVEL%), left as written.
    if (health.check->kind == CheckKind::Run) text = CommandProgramPart(text);
    // Each %NAME% left by the expansion, a name without blanks (a lone % is no variable).
    for (std::size_t open = text.find(L'%'); open != std::wstring_view::npos;) {
        std::size_t const close = text.find(L'%', open + 1);
        if (close == std::wstring_view::npos) break;
        std::wstring_view const name = text.substr(open + 1, close - open - 1);
        bool const named = !name.empty() && name.find_first_of(L" \\\t") == std::wstring_view::npos;
        if (named && !lookup(name)) return L"%" + std::wstring(name) + L"% is not set";
        open = named ? text.find(L'%', close + 1) : close;
    }
    return {};
}

std::wstring ExpandVariables(std::wstring_view text, VariableLookup const& lookup) {
    std::wstring expanded;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t const open = text.find(L'%', from);
        std::size_t const close = open == std::wstring_view::npos ? open : text.find(L'%', open + 1);
        if (close == std::wstring_view::npos) break;
        std::optional<std::wstring> const value = close > open + 1 ? lookup(text.substr(open + 1, close - open - 1)) : std::nullopt;
        expanded.append(text.substr(from, open - from));
        if (value) {
            expanded += *value;
            from = close + 1;
        } else {
            // Not a variable: the first % stays, and the second may open one.
            expanded += L'%';
            from = open + 1;
        }
    }
    expanded.append(text.substr(std::min(from, text.size())));
    return expanded;
}

HealthQuestion QuestionOf(HealthWatch const& health, std::wstring const& folder, VariableLookup const& lookup) {
    HealthQuestion question;
    question.timeoutMilliseconds = health.timeout * 1000;
    if (!health.check) return question;
    HealthCheck const& check = *health.check;
    question.target = check.target;
    switch (check.kind) {
    case CheckKind::Http: question.kind = HealthKind::Http; question.bodyText = health.text; break;
    case CheckKind::Tcp: question.kind = HealthKind::Tcp; question.port = check.port; break;
    case CheckKind::File: question.kind = HealthKind::File; question.target = ExpandVariables(check.target, lookup); break;
    case CheckKind::Run:
        question.kind = HealthKind::Run;
        question.target = ExpandVariables(check.target, lookup);
        question.folder = folder;
        break;
    case CheckKind::Window: break;  // judged by the engine, never asked of the probe
    }
    return question;
}

HealthVerdict Judge(HealthQuestion const& question, HealthAnswer const& answer, std::optional<int> maxAge) {
    if (Unasked(answer)) {
        std::wstring const what = question.kind == HealthKind::Run ? L"its command " : L"the check ";
        return {false, what + (answer.error == L"not started" ? L"could not be started now" : L"is not a full path"), true};
    }
    if (answer.timedOut) return NoAnswerWithin(question.timeoutMilliseconds / 1000);
    switch (question.kind) {
    case HealthKind::Http: return JudgeHttp(question, answer);
    case HealthKind::Tcp: {
        std::wstring const server = HostAndPort(question.target, question.port);
        if (!answer.answered) return {false, L"no connection to " + server + Because(answer.error)};
        return {true, L"connected to " + server + L" after " + Seconds(answer.elapsedMilliseconds) + L" s"};
    }
    case HealthKind::File: return JudgeFile(question, answer, maxAge);
    case HealthKind::Run:
        if (!answer.answered) return {false, question.target + L": " + (answer.error.empty() ? L"not run" : answer.error)};
        return {answer.code == 0, ExitCodeText(answer.code)};
    }
    return {false, {}};
}

HealthVerdict NoAnswerWithin(int seconds) { return {false, L"no answer within " + std::to_wstring(seconds) + L" s"}; }

HealthVerdict WindowVerdict(std::wstring const& text, std::optional<std::wstring> const& caption,
                            std::int64_t shownMilliseconds) {
    if (!caption) return {true, L"no window \"" + text + L"\""};
    return {false, L"window \"" + *caption + L"\" shown for " + std::to_wstring(shownMilliseconds / 1000) + L" s"};
}

}  // namespace vigilon
