#pragma once

#include <string>
#include <string_view>

#include "engine/outputs/status_snapshot.h"

namespace vigilon {

// The snapshot in the Prometheus text format, in UTF-8 with `\n` line ends and a newline at the
// end: every metric once, each with its # HELP and # TYPE lines, label values escaped.
std::string MetricsText(StatusSnapshot const& snapshot);

// A label value as the format writes it between its double quotes: backslash, double quote and
// line feed escaped.
std::string EscapedLabelValue(std::wstring_view value);

}  // namespace vigilon
