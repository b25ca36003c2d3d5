#include "app/alert_options.h"

#include <algorithm>

#include "support/digits.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr std::pair<AlertFormat, std::wstring_view> kFormatNames[] = {
    {AlertFormat::Auto, L"Auto"},   {AlertFormat::Json, L"Json"},       {AlertFormat::Text, L"Text"},
    {AlertFormat::Teams, L"Teams"}, {AlertFormat::Slack, L"Slack"},     {AlertFormat::Discord, L"Discord"},
    {AlertFormat::Ntfy, L"Ntfy"},   {AlertFormat::Gotify, L"Gotify"},
};

bool EndsWith(std::wstring_view text, std::wstring_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// `host` is `domain` or a name under it.
bool InDomain(std::wstring_view host, std::wstring_view domain) {
    return host == domain || EndsWith(host, L"." + std::wstring(domain));
}

// The query (after `?`) holds a parameter `name=`, as written (a server reads its names by case).
bool HasQueryParameter(std::wstring_view query, std::wstring_view name) {
    std::size_t from = 0;
    while (from <= query.size()) {
        std::size_t const to = std::min(query.find(L'&', from), query.size());
        std::wstring_view const pair = query.substr(from, to - from);
        if (pair.size() > name.size() && pair.starts_with(name) && pair[name.size()] == L'=') return true;
        from = to + 1;
    }
    return false;
}

// Gotify's message endpoint: the path exactly /message, with the application's token in the query.
bool IsGotifyMessage(std::wstring_view pathAndQuery) {
    std::size_t const question = pathAndQuery.find(L'?');
    if (question == std::wstring_view::npos || pathAndQuery.substr(0, question) != L"/message") return false;
    return HasQueryParameter(pathAndQuery.substr(question + 1), L"token");
}

bool IsLoopback(std::wstring_view host) {
    std::wstring const lower = ToLowerText(host);
    if (lower == L"localhost" || lower == L"::1") return true;
    // 127.0.0.0/8, written as four numbers.
    if (!lower.starts_with(L"127.")) return false;
    int dots = 0;
    for (wchar_t const c : lower) {
        if (c == L'.') {
            ++dots;
        } else if (!IsDigit(c)) {
            return false;
        }
    }
    return dots == 3;
}

}  // namespace

std::optional<AlertFormat> AlertFormatFrom(std::wstring_view text) {
    if (text.empty()) return AlertFormat::Auto;
    for (auto const& [format, name] : kFormatNames) {
        if (SameText(text, name)) return format;
    }
    return std::nullopt;
}

std::wstring_view AlertFormatName(AlertFormat format) {
    for (auto const& [each, name] : kFormatNames) {
        if (each == format) return name;
    }
    return L"Auto";
}

int AlertAfterFrom(std::wstring_view text) {
    int const value = LeadingNumber(text, kMaxAlertAfterSeconds);
    return value < 0 ? kDefaultAlertAfterSeconds : value;
}

std::optional<UrlParts> SplitUrl(std::wstring_view url) {
    std::size_t const schemeEnd = url.find(L"://");
    if (schemeEnd == std::wstring_view::npos) return std::nullopt;
    UrlParts parts;
    parts.scheme = ToLowerText(url.substr(0, schemeEnd));
    if (parts.scheme != L"http" && parts.scheme != L"https") return std::nullopt;
    std::size_t const authorityFrom = schemeEnd + 3;
    std::size_t const authorityTo = std::min(url.find_first_of(L"/?#", authorityFrom), url.size());
    std::wstring_view authority = url.substr(authorityFrom, authorityTo - authorityFrom);
    // Refused where WinHTTP might read another host than this: a backslash (a path's start to
    // it), and a user name before `@`.
    if (authority.find_first_of(L"\\@") != std::wstring_view::npos) return std::nullopt;
    if (authority.starts_with(L'[')) {  // [::1]:8080
        std::size_t const close = authority.find(L']');
        if (close == std::wstring_view::npos) return std::nullopt;
        parts.host = authority.substr(1, close - 1);
        authority.remove_prefix(close + 1);
        if (!authority.empty() && authority.front() != L':') return std::nullopt;
        if (!authority.empty()) parts.port = authority.substr(1);
    } else {
        std::size_t const colon = authority.find(L':');
        parts.host = authority.substr(0, colon);
        if (colon != std::wstring_view::npos) parts.port = authority.substr(colon + 1);
    }
    if (parts.host.empty() || parts.host.find(L'%') != std::wstring::npos) return std::nullopt;
    if (!parts.port.empty() && (SmallNumber(parts.port, 5) <= 0 || SmallNumber(parts.port, 5) > 65535)) {
        return std::nullopt;
    }
    std::wstring_view rest = url.substr(authorityTo);
    rest = rest.substr(0, rest.find(L'#'));  // a fragment is never sent
    parts.pathAndQuery = rest.empty() || rest.front() != L'/' ? L"/" + std::wstring(rest) : std::wstring(rest);
    return parts;
}

std::wstring AlertUrlProblem(std::wstring_view url) {
    if (url.find_first_of(L" \t\r\n") != std::wstring_view::npos) return L"a URL holds no blanks";
    std::optional<UrlParts> const parts = SplitUrl(url);
    if (!parts) return L"not an http:// or https:// URL with a host";
    if (parts->scheme == L"http" && !IsLoopback(parts->host)) {
        return L"not HTTPS: plain HTTP only to this computer (localhost, 127.0.0.1, [::1])";
    }
    return {};
}

std::wstring AlertSite(std::wstring_view url) {
    std::optional<UrlParts> const parts = SplitUrl(url);
    if (!parts) return L"(not a URL)";
    bool const ipv6 = parts->host.find(L':') != std::wstring::npos;
    std::wstring site = parts->scheme + L"://" + (ipv6 ? L"[" + parts->host + L"]" : parts->host);
    if (!parts->port.empty()) site += L":" + parts->port;
    return site;
}

AlertFormat AlertFormatFor(AlertFormat format, std::wstring_view url) {
    if (format != AlertFormat::Auto) return format;
    std::optional<UrlParts> const parts = SplitUrl(url);
    if (!parts) return AlertFormat::Json;
    std::wstring const host = ToLowerText(parts->host);
    std::wstring const path = ToLowerText(parts->pathAndQuery);
    if (host == L"hooks.slack.com") return AlertFormat::Slack;
    if ((InDomain(host, L"discord.com") || InDomain(host, L"discordapp.com")) && path.starts_with(L"/api/webhooks/")) {
        return AlertFormat::Discord;
    }
    // Teams' incoming webhooks, and the workflows of Power Automate that post to Teams.
    if (InDomain(host, L"webhook.office.com") || InDomain(host, L"logic.azure.com") ||
        InDomain(host, L"powerplatform.com") || InDomain(host, L"powerautomate.com")) {
        return AlertFormat::Teams;
    }
    if (host == L"ntfy.sh") return AlertFormat::Ntfy;
    if (IsGotifyMessage(parts->pathAndQuery)) return AlertFormat::Gotify;
    return AlertFormat::Json;
}

std::vector<std::wstring_view> const& AlertKindWords() {
    static std::vector<std::wstring_view> const words = {
        L"gone",    L"hung",    L"ended",     L"memory",       L"backoff",       L"held",      L"unhealthy",
        L"missing-file", L"refused-start", L"not-ended", L"history", L"metrics", L"heartbeat", L"recovered",
    };
    return words;
}

std::vector<std::wstring> AlertKindsFrom(std::wstring_view text) {
    std::vector<std::wstring> kinds;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t const to = std::min(text.find_first_of(L",; \t", from), text.size());
        if (to > from) kinds.push_back(ToLowerText(text.substr(from, to - from)));
        from = to + 1;
    }
    return kinds;
}

std::wstring AlertKindsProblem(std::wstring_view text) {
    for (std::wstring const& kind : AlertKindsFrom(text)) {
        auto const& words = AlertKindWords();
        if (std::find(words.begin(), words.end(), kind) == words.end()) {
            return L"\"" + kind + L"\" is not a kind of trouble (gone, hung, ended, memory, backoff, held, unhealthy, "
                                  L"missing-file, refused-start, not-ended, history, metrics, heartbeat, recovered)";
        }
    }
    return {};
}

}  // namespace vigilon
