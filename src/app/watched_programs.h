#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/watched_program.h"

namespace vigilon {

// The table of watched programs: records 1 to Count() are the configured programs, in order. It
// keeps a capacity of spare slots and grows by five slots at a time when a program is added.
class WatchedPrograms {
public:
    // The count is a signed 16-bit number.
    static constexpr int kMaxCount = 32767;
    static constexpr int kGrowth = 5;

    int Count() const { return count_; }
    // Grows whenever programs are added, deleted or the table is filled anew: a record or a number
    // taken before may no longer be the same program's (or valid at all).
    std::uint64_t Revision() const { return revision_; }
    int Capacity() const { return static_cast<int>(slots_.size()); }

    // Empties the table, then gives it `count` valid, empty records and `capacity` slots in all
    // (at least `count`).
    void Reset(int count, int capacity);

    // Adds a program named `name` after the last one, growing the capacity to count + 5 when it is
    // full. Returns its number, or 0 when the table cannot hold more programs.
    int Add(std::wstring_view name);

    // Removes program `number`; the ones after it move down one place. False when there is no
    // such program.
    bool Delete(int number);

    // The number of the first program named exactly `name`, or 0 when none is.
    int Find(std::wstring_view name) const;

    // The number of the program named `name`: the one named exactly, else the first whose name
    // differs only in case, as the settings file compares names; 0 when none is.
    int FindByName(std::wstring_view name) const;

    // Record `number`, 1 to Count(). Throws std::out_of_range for any other number.
    WatchedProgram& operator[](int number);
    WatchedProgram const& operator[](int number) const;

private:
    std::vector<WatchedProgram> slots_;
    int count_ = 0;
    std::uint64_t revision_ = 0;
};

}  // namespace vigilon
