#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vigilon {

// How an alert's body is written: Auto picks by the URL (AlertFormatFor).
enum class AlertFormat : std::uint8_t { Auto, Json, Text, Teams, Slack, Discord, Ntfy, Gotify };
inline constexpr AlertFormat kLastAlertFormat = AlertFormat::Gotify;  // the Options dialog's list ends with it

inline constexpr int kDefaultAlertAfterSeconds = 60;
inline constexpr int kMaxAlertAfterSeconds = 3600;

// An AlertFormat value as written, case ignored; empty is Auto. Nothing for any other word.
std::optional<AlertFormat> AlertFormatFrom(std::wstring_view text);
std::wstring_view AlertFormatName(AlertFormat format);

// An AlertAfter value as written: the default for no number, otherwise held to 0..3600.
int AlertAfterFrom(std::wstring_view text);

// The parts of an http:// or https:// URL: the scheme in lower case, the host as written (an IPv6
// address without its brackets), the port when one is written, and the path with its query.
struct UrlParts {
    std::wstring scheme;
    std::wstring host;
    std::wstring port;
    std::wstring pathAndQuery;  // "/" when none is written
};
std::optional<UrlParts> SplitUrl(std::wstring_view url);

// Why the URL cannot take alerts, in words for the settings check and the history; empty when it
// can. HTTPS anywhere; plain HTTP only to this computer (localhost, 127.x.x.x, ::1), since the
// alert's body and the URL's secret would cross the network readable by anyone on the way.
std::wstring AlertUrlProblem(std::wstring_view url);

// The URL's scheme and host (and port), which alone may be written to the history or the log:
// a webhook's path and query are its secret.
std::wstring AlertSite(std::wstring_view url);

// The format an alert to `url` is written in: `format` itself, or for Auto the service its host
// names (Slack's and Discord's webhooks, Teams' webhooks and Power Automate workflows, ntfy.sh),
// Gotify for a path of exactly /message with a token= parameter (a server of one's own has no
// host to know it by), else Json.
AlertFormat AlertFormatFor(AlertFormat format, std::wstring_view url);

// The words AlertKinds takes, the kinds of trouble an alert is sent for.
std::vector<std::wstring_view> const& AlertKindWords();

// The words of an AlertKinds list (commas, semicolons or blanks between them), in lower case; an
// empty list means every kind.
std::vector<std::wstring> AlertKindsFrom(std::wstring_view text);

// Why an AlertKinds list cannot be used (a word that names no kind); empty when it can.
std::wstring AlertKindsProblem(std::wstring_view text);

}  // namespace vigilon
