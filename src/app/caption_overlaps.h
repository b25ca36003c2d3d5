#pragma once

#include <vector>

#include "app/watched_programs.h"

namespace vigilon {

// Two programs whose captions overlap: the caption of `shorter` is the start of the caption of
// `longer` (case ignored), so a window of the longer one also matches the shorter one. Programs
// are given by their numbers in the table.
struct CaptionOverlap {
    int shorter = 0;
    int longer = 0;
    bool same = false;  // both captions are the same

    bool operator==(CaptionOverlap const&) const = default;
};

// Every such pair among the programs that have a caption compared by its start and may share a
// window (their Class and Process do not tell them apart), in the table's order; a pair of the
// same captions once, the earlier program first.
std::vector<CaptionOverlap> CaptionOverlaps(WatchedPrograms const& programs);

}  // namespace vigilon
