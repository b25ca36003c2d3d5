#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vigilon {

// What a script asks the running copy, with the switches /status, /status /json, /pause, /resume,
// /restart "Name", /start "Name", /screenshot "Name", /check "Name", /close, /exit, /cancel and /alert test; and what a start with
// `configure` asks of a copy that runs already (Configure).
enum class RemoteVerb : std::uint32_t {
    Status = 1,
    Pause = 2,
    Resume = 3,
    Restart = 4,
    Close = 5,
    Exit = 6,
    StatusJson = 7,
    Start = 8,
    Screenshot = 9,
    Configure = 10,
    Check = 11,
    Cancel = 12,  // cancels the countdown before a logoff, restart or shutdown
    AlertTest = 13,  // /alert test: a test message to AlertUrl
};

// Whether the verb names a program (/restart, /start, /screenshot, /check).
constexpr bool NamesProgram(RemoteVerb verb) {
    return verb == RemoteVerb::Restart || verb == RemoteVerb::Start || verb == RemoteVerb::Screenshot ||
           verb == RemoteVerb::Check;
}

struct RemoteRequest {
    RemoteVerb verb = RemoteVerb::Status;
    std::wstring program;  // for a verb that names a program: its name; empty for every other verb

    bool operator==(RemoteRequest const&) const = default;
};

// What the running copy answers: the exit code the command ends with, and the text it prints.
struct RemoteAnswer {
    std::uint32_t code = 0;
    std::wstring text;

    bool operator==(RemoteAnswer const&) const = default;
};

// Exit codes of a command to the running copy.
inline constexpr std::uint32_t kRemoteDone = 0;
inline constexpr std::uint32_t kRemoteNotAllRunning = 1;  // /status: not every program runs, or not all is watched
inline constexpr std::uint32_t kRemoteNotDone = 1;        // /restart: not restarted, and why; /check: it fails
inline constexpr std::uint32_t kRemoteUnknown = 2;  // an unknown switch or program name; /check: a program without a check
inline constexpr std::uint32_t kRemoteNoCopy = 3;   // no copy is running, or it did not answer
// /alert test: 0 when the service accepted the message, kRemoteNotDone when not, kRemoteUnknown
// when no AlertUrl is set.

// The request the command line's arguments make: nothing when they are not one of the switches
// (the arguments then start Vigilon as always). A verb that names a program, without a name, makes a request with an
// empty name, which the running copy refuses as an unknown program.
// The name is trimmed of the blanks inside its quotes; a name longer than kRemoteLongestName makes
// no request.
std::optional<RemoteRequest> RemoteRequestFromArguments(std::wstring_view arguments);

// What a command line says while another copy runs, when it reads as a switch ("/..." or "-...")
// but is none of the commands as written (a typo, a known switch with words after it, two
// switches, a name too long): the line to print, with exit code kRemoteUnknown. Empty for a
// command, for one of the start's own switches (/register, /validate, configure, ...) and for any other
// text, which starts Vigilon as always.
std::wstring RemoteMisuse(std::wstring_view arguments);

inline constexpr std::size_t kRemoteLongestName = 1024;  // UTF-16 units in a request

// Messages between the two copies, carried by WM_COPYDATA: a fixed header (a mark, the version,
// the kind, the verb or exit code, the length of the text in UTF-16 units), then the text.
// Decoding refuses anything that does not have exactly this shape: another mark or version, a
// length that does not match the data, text that is not whole UTF-16, a NUL inside it, a verb
// that does not exist, or a name on a verb that names no program.
inline constexpr std::uint32_t kRemoteMessageMark = 0x4E4C4756;  // "VGLN"
inline constexpr std::uint16_t kRemoteVersion = 1;
inline constexpr std::size_t kRemoteHeaderBytes = 16;
inline constexpr std::size_t kRemoteLongestAnswer = 1 << 23;   // UTF-16 units in an answer
// What the running copy's WM_COPYDATA returns when the answer is not sent at once but follows (a
// picture being taken, a check under way): the caller waits for it within its own limit. Any other result means the
// answer came, or none will.
inline constexpr std::uintptr_t kRemoteAnswerFollows = 2;

std::vector<std::uint8_t> EncodeRequest(RemoteRequest const& request);
std::optional<RemoteRequest> DecodeRequest(std::span<std::uint8_t const> bytes);
std::vector<std::uint8_t> EncodeAnswer(RemoteAnswer const& answer);
std::optional<RemoteAnswer> DecodeAnswer(std::span<std::uint8_t const> bytes);

}  // namespace vigilon
