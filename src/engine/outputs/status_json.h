#pragma once

#include <string>
#include <string_view>

#include "engine/outputs/status_snapshot.h"

namespace vigilon {

// The number of the JSON document's layout: raised when a field changes its meaning or goes.
inline constexpr int kStatusSchema = 1;

// The snapshot as one JSON document, for scripts: Vigilon's own facts, then one object per
// program. Times are ISO 8601, each with the UTC offset of its own moment; a fact not known is
// null. Written out in UTF-8.
std::wstring StatusJson(StatusSnapshot const& snapshot);

// One program's object of the document, its members indented for `depth`.
std::wstring ProgramJson(ProgramFacts const& facts, int depth);

// `text` as a JSON string, quotes included.
std::wstring JsonString(std::wstring_view text);

}  // namespace vigilon
