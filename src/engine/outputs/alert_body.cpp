#include "engine/outputs/alert_body.h"

#include "engine/outputs/status_json.h"
#include "support/local_time.h"
#include "support/utf8.h"

namespace vigilon {
namespace {

constexpr char kJson[] = "application/json; charset=utf-8";

// At most `most` characters of `text`, with an ellipsis when cut: each service refuses a message
// whose field is longer than it takes.
std::wstring Cut(std::wstring_view text, std::size_t most) {
    if (text.size() <= most) return std::wstring(text);
    std::size_t keep = most - 1;
    // Never half of a surrogate pair (UTF-16 builds).
    if (keep > 0 && IsHighSurrogate(static_cast<std::uint32_t>(text[keep - 1]))) --keep;
    return std::wstring(text.substr(0, keep)) + L"\u2026";
}

std::wstring OneLine(std::wstring_view text) {
    std::wstring line(text);
    for (wchar_t& c : line) {
        if (c == L'\r' || c == L'\n' || c == L'\t') c = L' ';
    }
    return line;
}

std::wstring Details(AlertEvent const& event) { return event.details.empty() ? AlertTitle(event) : event.details; }

std::wstring When(AlertEvent const& event) { return DateTimeText(event.time); }

std::wstring JsonBody(AlertEvent const& event) {
    std::wstring text;
    if (event.facts) {
        // The program's entry, its closing brace taken off, for the members that follow.
        text = ProgramJson(*event.facts, 0);
        text.resize(text.size() - 1);
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
        text += L",\r\n";
    } else {
        text = L"{\r\n  \"name\": " + (event.program.empty() ? std::wstring(L"null") : JsonString(event.program)) +
               L",\r\n";
    }
    text += L"  \"computer\": " + JsonString(event.computer) + L",\r\n";
    text += L"  \"time\": " + JsonString(IsoTimeText(event.time)) + L",\r\n";
    text += L"  \"kind\": " + JsonString(event.kind) + L",\r\n";
    text += L"  \"details\": " + JsonString(event.details) + L",\r\n";
    text += L"  \"screenshot\": " + (event.screenshot.empty() ? std::wstring(L"null") : JsonString(event.screenshot)) +
            L"\r\n}\r\n";
    return text;
}

std::wstring TextBody(AlertEvent const& event) {
    return OneLine(L"[Vigilon on " + event.computer + L"] " + AlertTitle(event) + L": " + event.details + L" (" +
                   When(event) + L")") +
           L"\r\n";
}

std::wstring TeamsBody(AlertEvent const& event) {
    std::wstring const card =
        L"{\"$schema\":\"http://adaptivecards.io/schemas/adaptive-card.json\",\"type\":\"AdaptiveCard\","
        L"\"version\":\"1.2\",\"body\":["
        L"{\"type\":\"TextBlock\",\"text\":" + JsonString(AlertTitle(event)) +
        L",\"weight\":\"Bolder\",\"size\":\"Medium\",\"wrap\":true" +
        (event.problem ? L",\"color\":\"Attention\"" : L"") + L"},"
        L"{\"type\":\"TextBlock\",\"text\":" + JsonString(Details(event)) + L",\"wrap\":true},"
        L"{\"type\":\"FactSet\",\"facts\":[{\"title\":\"Computer\",\"value\":" + JsonString(event.computer) +
        L"},{\"title\":\"Time\",\"value\":" + JsonString(When(event)) + L"}]}]}";
    return L"{\"type\":\"message\",\"summary\":" + JsonString(AlertTitle(event)) +
           L",\"attachments\":[{\"contentType\":\"application/vnd.microsoft.card.adaptive\",\"contentUrl\":null,"
           L"\"content\":" + card + L"}]}";
}

// Slack reads &, < and > in its text as markup: escaped, and cut to at most `most` characters
// (with an ellipsis) between whole characters, never within `&amp;` or a surrogate pair.
std::wstring SlackEscaped(std::wstring_view text, std::size_t most = std::wstring::npos) {
    std::wstring escaped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        wchar_t const c = text[i];
        std::wstring piece(1, c);
        if (c == L'&') piece = L"&amp;";
        if (c == L'<') piece = L"&lt;";
        if (c == L'>') piece = L"&gt;";
        if (IsHighSurrogate(static_cast<std::uint32_t>(c)) && i + 1 < text.size()) piece += text[++i];
        bool const last = i + 1 == text.size();
        if (escaped.size() + piece.size() + (last ? 0 : 1) > most) return escaped + L"\u2026";
        escaped += piece;
    }
    return escaped;
}

std::wstring SlackBody(AlertEvent const& event) {
    std::wstring const title = AlertTitle(event);
    std::wstring const context = SlackEscaped(event.computer + L" \u00b7 " + When(event), 3000);
    return L"{\"text\":" + JsonString(SlackEscaped(title + L": " + Details(event))) +
           L",\"blocks\":[{\"type\":\"header\",\"text\":{\"type\":\"plain_text\",\"text\":" + JsonString(Cut(title, 150)) +
           L"}},{\"type\":\"section\",\"text\":{\"type\":\"mrkdwn\",\"text\":" +
           JsonString(SlackEscaped(Details(event), 3000)) +
           L"}},{\"type\":\"context\",\"elements\":[{\"type\":\"mrkdwn\",\"text\":" + JsonString(context) +
           L"}]}]}";
}

std::wstring DiscordBody(AlertEvent const& event) {
    // Red for a trouble, green for a recovery or a test.
    std::wstring const colour = event.problem ? L"15158332" : L"3066993";
    std::wstring const computer = event.computer.empty() ? L"-" : event.computer;
    return L"{\"username\":\"Vigilon\",\"allowed_mentions\":{\"parse\":[]},\"embeds\":[{\"title\":" +
           JsonString(Cut(AlertTitle(event), 256)) + L",\"description\":" + JsonString(Cut(Details(event), 4096)) +
           L",\"color\":" + colour + L",\"fields\":[{\"name\":\"Computer\",\"value\":" +
           JsonString(Cut(computer, 1024)) + L",\"inline\":true}],\"timestamp\":" +
           JsonString(IsoTimeText(event.time)) + L"}]}";
}

// The topic of an ntfy URL whose path is exactly `/<topic>`; empty for any other path (a server
// under a sub-path, say), which is posted the plain text as given.
std::wstring NtfyTopic(UrlParts const& parts) {
    std::wstring_view path = parts.pathAndQuery;
    path = path.substr(1, path.find(L'?') == std::wstring_view::npos ? std::wstring_view::npos : path.find(L'?') - 1);
    if (path.find(L'/') != std::wstring_view::npos) return {};
    return std::wstring(path);
}

std::wstring NtfyBody(AlertEvent const& event, std::wstring const& topic) {
    return L"{\"topic\":" + JsonString(topic) + L",\"title\":" + JsonString(AlertTitle(event)) +
           L",\"message\":" + JsonString(Details(event) + L"\n" + event.computer + L" \u00b7 " + When(event)) +
           L",\"tags\":[" + (event.problem ? L"\"warning\"" : L"\"white_check_mark\"") + L"],\"priority\":" +
           (event.problem ? L"4" : L"3") + L"}";
}

// Gotify's priorities run 0 to 10; its phone app sounds from 4 and shows a trouble at 8 and over
// as a pop-up notification.
constexpr int kGotifyTroublePriority = 8;
constexpr int kGotifyQuietPriority = 4;

std::wstring GotifyBody(AlertEvent const& event) {
    int const priority = event.problem ? kGotifyTroublePriority : kGotifyQuietPriority;
    return L"{\"title\":" + JsonString(AlertTitle(event)) + L",\"message\":" +
           JsonString(Details(event) + L"\n" + event.computer + L" \u00b7 " + When(event)) + L",\"priority\":" +
           std::to_wstring(priority) + L"}";
}

}  // namespace

std::wstring AlertTitle(AlertEvent const& event) {
    return (event.program.empty() ? std::wstring(L"Vigilon") : event.program) + L": " + event.kind;
}

AlertRequest AlertRequestFor(AlertFormat format, std::wstring const& url, AlertEvent const& event) {
    switch (format) {
    case AlertFormat::Text: return {url, "text/plain; charset=utf-8", ToUtf8(TextBody(event))};
    case AlertFormat::Teams: return {url, kJson, ToUtf8(TeamsBody(event))};
    case AlertFormat::Slack: return {url, kJson, ToUtf8(SlackBody(event))};
    case AlertFormat::Discord: return {url, kJson, ToUtf8(DiscordBody(event))};
    case AlertFormat::Gotify: return {url, kJson, ToUtf8(GotifyBody(event))};
    case AlertFormat::Ntfy: {
        std::optional<UrlParts> const parts = SplitUrl(url);
        std::wstring const topic = parts ? NtfyTopic(*parts) : std::wstring();
        if (topic.empty()) return {url, "text/plain; charset=utf-8", ToUtf8(TextBody(event))};
        // The root of the same server, with the query (an access token, say) kept.
        std::wstring const query = parts->pathAndQuery.find(L'?') == std::wstring::npos
                                       ? std::wstring()
                                       : parts->pathAndQuery.substr(parts->pathAndQuery.find(L'?'));
        return {AlertSite(url) + L"/" + query, kJson, ToUtf8(NtfyBody(event, topic))};
    }
    case AlertFormat::Auto:
    case AlertFormat::Json: break;
    }
    return {url, kJson, ToUtf8(JsonBody(event))};
}

}  // namespace vigilon
