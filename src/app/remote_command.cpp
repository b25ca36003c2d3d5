#include "app/remote_command.h"

#include "support/blanks.h"
#include "support/text_case.h"
#include "support/utf8.h"

namespace vigilon {
namespace {

enum class Kind : std::uint16_t { Request = 1, Answer = 2 };

struct Switch {
    wchar_t const* word;
    RemoteVerb verb;
};
constexpr Switch kSwitches[] = {
    {L"/status", RemoteVerb::Status}, {L"/pause", RemoteVerb::Pause}, {L"/resume", RemoteVerb::Resume},
    {L"/restart", RemoteVerb::Restart}, {L"/close", RemoteVerb::Close}, {L"/exit", RemoteVerb::Exit},
    {L"/start", RemoteVerb::Start}, {L"/screenshot", RemoteVerb::Screenshot}, {L"/check", RemoteVerb::Check},
    {L"/cancel", RemoteVerb::Cancel},
    {L"/alert", RemoteVerb::AlertTest},
};

void Put(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t Get(std::span<std::uint8_t const> bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

std::vector<std::uint8_t> Encode(Kind kind, std::uint32_t code, std::wstring_view text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kRemoteHeaderBytes + text.size() * 2);
    Put(bytes, kRemoteMessageMark, 4);
    Put(bytes, kRemoteVersion, 2);
    Put(bytes, static_cast<std::uint32_t>(kind), 2);
    Put(bytes, code, 4);
    Put(bytes, static_cast<std::uint32_t>(text.size()), 4);
    for (wchar_t c : text) Put(bytes, static_cast<std::uint16_t>(c), 2);
    return bytes;
}

// The code and text of a message of `kind`; nothing when it has any other shape.
std::optional<std::pair<std::uint32_t, std::wstring>> Decode(std::span<std::uint8_t const> bytes, Kind kind,
                                                            std::size_t longest) {
    if (bytes.size() < kRemoteHeaderBytes) return std::nullopt;
    if (Get(bytes, 0, 4) != kRemoteMessageMark || Get(bytes, 4, 2) != kRemoteVersion ||
        Get(bytes, 6, 2) != static_cast<std::uint32_t>(kind)) {
        return std::nullopt;
    }
    std::size_t const length = Get(bytes, 12, 4);
    if (length > longest || bytes.size() != kRemoteHeaderBytes + length * 2) return std::nullopt;
    std::wstring text;
    text.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        auto const unit = Get(bytes, kRemoteHeaderBytes + 2 * i, 2);
        bool const afterHigh = !text.empty() && IsHighSurrogate(static_cast<std::uint32_t>(text.back()));
        // No NUL, and a surrogate only in a pair: a high one followed by a low one.
        if (unit == 0 || IsLowSurrogate(unit) != afterHigh) return std::nullopt;
        text.push_back(static_cast<wchar_t>(unit));
    }
    if (!text.empty() && IsHighSurrogate(static_cast<std::uint32_t>(text.back()))) return std::nullopt;  // cut in half
    return std::pair{Get(bytes, 8, 4), std::move(text)};
}

// The text as the other side takes it: a surrogate not in a pair (a name cut in the middle of an
// emoji, say), which would make the whole message refused, becomes U+FFFD.
std::wstring Carriable(std::wstring_view text) {
    std::wstring carried(text);
    for (std::size_t i = 0; i < carried.size(); ++i) {
        auto const c = static_cast<std::uint32_t>(carried[i]);
        bool const paired = i + 1 < carried.size() && IsLowSurrogate(static_cast<std::uint32_t>(carried[i + 1]));
        if (IsHighSurrogate(c) && paired) {
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            carried[i] = static_cast<wchar_t>(0xFFFD);
        }
    }
    return carried;
}

}  // namespace

std::optional<RemoteRequest> RemoteRequestFromArguments(std::wstring_view arguments) {
    std::wstring_view const text = TrimSpacesAndTabs(arguments);
    std::size_t const end = text.find_first_of(L" \t");
    std::wstring const word = ToLowerText(text.substr(0, end));
    for (Switch const& s : kSwitches) {
        if (word != s.word) continue;
        std::wstring_view rest = end == std::wstring_view::npos ? std::wstring_view() : TrimSpacesAndTabs(text.substr(end));
        if (s.verb == RemoteVerb::Status && ToLowerText(rest) == L"/json") return RemoteRequest{RemoteVerb::StatusJson, {}};
        if (s.verb == RemoteVerb::AlertTest) {
            if (ToLowerText(rest) != L"test") return std::nullopt;  // /alert alone, or another word
            return RemoteRequest{RemoteVerb::AlertTest, {}};
        }
        if (!NamesProgram(s.verb)) {
            if (!rest.empty()) return std::nullopt;  // not one of the switches as they are written
            return RemoteRequest{s.verb, {}};
        }
        if (rest.size() >= 2 && rest.front() == L'"' && rest.back() == L'"') rest = rest.substr(1, rest.size() - 2);
        rest = TrimSpacesAndTabs(rest);  // " Kiosk " is Kiosk, as the editor stores names
        if (rest.size() > kRemoteLongestName) return std::nullopt;
        return RemoteRequest{s.verb, std::wstring(rest)};
    }
    return std::nullopt;
}

std::wstring RemoteMisuse(std::wstring_view arguments) {
    std::wstring_view const text = TrimSpacesAndTabs(arguments);
    if (text.empty() || (text.front() != L'/' && text.front() != L'-')) return {};
    std::wstring const lower = ToLowerText(text);
    if (lower.find(L"configure") != std::wstring::npos) return {};
    std::wstring const word = lower.substr(0, lower.find_first_of(L" \t"));
    for (wchar_t const* own : {L"/register", L"/unregister", L"/startatlogon", L"/registereventsource", L"/unregistereventsource",
                               L"/importsettings", L"/restarted", L"/validate"}) {
        if (word == own) return {};
    }
    if (RemoteRequestFromArguments(text)) return {};
    if (word == L"/restart" || word == L"/start" || word == L"/screenshot" || word == L"/check") {
        return L"The name after " + word + L" is too long: a watched program's name has at most " +
               std::to_wstring(kRemoteLongestName) + L" characters.\r\n";
    }
    return L"Not a command: " + std::wstring(text) +
           L"\r\nThe commands are /status, /status /json, /pause, /resume, /restart \"Name\", /start \"Name\", "
           L"/screenshot \"Name\", /check \"Name\", /close, /exit, /cancel and /alert test, one at a time.\r\n";
}

std::vector<std::uint8_t> EncodeRequest(RemoteRequest const& request) {
    return Encode(Kind::Request, static_cast<std::uint32_t>(request.verb), request.program);
}

std::optional<RemoteRequest> DecodeRequest(std::span<std::uint8_t const> bytes) {
    auto decoded = Decode(bytes, Kind::Request, kRemoteLongestName);
    if (!decoded) return std::nullopt;
    auto const& [code, text] = *decoded;
    if (code < static_cast<std::uint32_t>(RemoteVerb::Status) || code > static_cast<std::uint32_t>(RemoteVerb::AlertTest)) {
        return std::nullopt;
    }
    auto const verb = static_cast<RemoteVerb>(code);
    if (!NamesProgram(verb) && !text.empty()) return std::nullopt;
    return RemoteRequest{verb, text};
}

std::vector<std::uint8_t> EncodeAnswer(RemoteAnswer const& answer) {
    return Encode(Kind::Answer, answer.code, Carriable(answer.text));
}

std::optional<RemoteAnswer> DecodeAnswer(std::span<std::uint8_t const> bytes) {
    auto decoded = Decode(bytes, Kind::Answer, kRemoteLongestAnswer);
    if (!decoded) return std::nullopt;
    return RemoteAnswer{decoded->first, std::move(decoded->second)};
}

}  // namespace vigilon
