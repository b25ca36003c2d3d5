#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/rules/health_watch.h"
#include "platform/health_probe.h"
#include "support/shown_url.h"

namespace vigilon {

// The value of an environment variable, or nothing when it is not set.
using VariableLookup = std::function<std::optional<std::wstring>(std::wstring_view name)>;

// `text` with each %NAME% that names a variable replaced by its value; an unknown one, and a lone
// %, stay as written, as the system's own expansion leaves them.
std::wstring ExpandVariables(std::wstring_view text, VariableLookup const& lookup);

// Why Vigilon cannot ask the program's file: or run: check (not the program's fault): "%DATA% is
// not set" for a variable of its path that Vigilon's environment lacks; empty when it can.
std::wstring UnsetVariable(HealthWatch const& health, VariableLookup const& lookup);

// What the probe is asked for the program's check (not a window: check, which the engine judges
// itself): file: and run: with their variables expanded, run: in `folder`.
HealthQuestion QuestionOf(HealthWatch const& health, std::wstring const& folder, VariableLookup const& lookup);

// Whether the program works by what the probe found, in the history's words. An http check works
// with a status from 200 to 399 and the text (when one is asked for); tcp when connected; a file
// when it is there and, with `maxAge`, written within that many seconds; a command when it ended
// with 0. One that timed out, or did not answer, fails; one the probe could not start (a command
// without its full path, no room for another check) is `unasked`.
HealthVerdict Judge(HealthQuestion const& question, HealthAnswer const& answer, std::optional<int> maxAge);

// A check that gave no answer at all: "no answer within 10 s".
HealthVerdict NoAnswerWithin(int seconds);

// A window: check: it fails while a window of the program's process shows `caption` (as read),
// for `shownMilliseconds` so far; it works when none does.
HealthVerdict WindowVerdict(std::wstring const& text, std::optional<std::wstring> const& caption,
                            std::int64_t shownMilliseconds);

}  // namespace vigilon
