#include "app/watched_programs.h"

#include <algorithm>
#include <stdexcept>

#include "support/text_case.h"

namespace vigilon {

void WatchedPrograms::Reset(int count, int capacity) {
    ++revision_;
    count_ = std::clamp(count, 0, kMaxCount);
    slots_.assign(static_cast<std::size_t>(std::max(count_, capacity)), WatchedProgram{});
}

int WatchedPrograms::Add(std::wstring_view name) {
    if (count_ >= kMaxCount) return 0;
    ++revision_;
    if (count_ + 1 > Capacity()) slots_.resize(static_cast<std::size_t>(count_ + kGrowth));
    WatchedProgram& record = slots_[static_cast<std::size_t>(count_)];
    record = WatchedProgram{};
    record.name = std::wstring(name);
    record.added = true;
    return ++count_;
}

int WatchedPrograms::Find(std::wstring_view name) const {
    for (int i = 0; i < count_; ++i) {
        if (slots_[static_cast<std::size_t>(i)].name == name) return i + 1;
    }
    return 0;
}

int WatchedPrograms::FindByName(std::wstring_view name) const {
    int const exact = Find(name);
    if (exact != 0) return exact;
    for (int i = 0; i < count_; ++i) {
        if (SameText(slots_[static_cast<std::size_t>(i)].name, name)) return i + 1;
    }
    return 0;
}

bool WatchedPrograms::Delete(int number) {
    if (number < 1 || number > count_) return false;
    ++revision_;
    auto const first = slots_.begin() + (number - 1);
    std::move(first + 1, slots_.begin() + count_, first);
    slots_[static_cast<std::size_t>(count_ - 1)] = WatchedProgram{};
    --count_;
    return true;
}

WatchedProgram& WatchedPrograms::operator[](int number) {
    if (number < 1 || number > count_) throw std::out_of_range("no such watched program");
    return slots_[static_cast<std::size_t>(number - 1)];
}

WatchedProgram const& WatchedPrograms::operator[](int number) const {
    return const_cast<WatchedPrograms&>(*this)[number];
}

}  // namespace vigilon
