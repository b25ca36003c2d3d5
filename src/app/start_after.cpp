#include "app/start_after.h"

#include <algorithm>
#include <vector>

#include "support/text_case.h"

namespace vigilon {
namespace {

// "Kiosk, Ticker, Kiosk" when following the names from `record` comes back to it; empty otherwise.
std::wstring LoopFrom(WatchedPrograms const& programs, WatchedProgram const& record) {
    std::wstring const self = ToUpperText(record.name);
    std::wstring names = record.name;
    std::vector<std::wstring> seen{self};
    WatchedProgram const* current = &record;
    for (int step = 0; step < programs.Count(); ++step) {
        std::wstring const next = ParseStartAfter(current->rules.startAfter).value.value_or(std::wstring());
        int const number = next.empty() ? 0 : programs.FindByName(next);
        if (number == 0) return {};
        current = &programs[number];
        std::wstring const upper = ToUpperText(current->name);
        names += L", " + current->name;
        if (upper == self) return names;
        // A loop further on, that does not come back here: its own programs say it.
        if (std::find(seen.begin(), seen.end(), upper) != seen.end()) return {};
        seen.push_back(upper);
    }
    return {};
}

}  // namespace

std::wstring StartAfterProblem(WatchedPrograms const& programs, WatchedProgram const& record, std::wstring& after) {
    after.clear();
    std::wstring const text = ParseStartAfter(record.rules.startAfter).value.value_or(std::wstring());
    if (text.empty()) return {};
    int const number = programs.FindByName(text);
    if (number == 0) return L"no program of that name";
    if (programs[number].caption.empty() && !Windowless(programs[number].rules)) return programs[number].name + L" has no caption, so its window is never found";
    std::wstring const loop = LoopFrom(programs, record);
    if (!loop.empty()) return L"a loop of names, " + loop;
    after = programs[number].name;
    return {};
}

}  // namespace vigilon
