#include "engine/outputs/program_status.h"

#include <algorithm>

#include "support/field_text.h"

namespace vigilon {

namespace {

using enum StateCount;

constexpr StatusStateRow kStates[] = {
    {StatusState::Running, L"Running", L"running", Up},
    {StatusState::Starting, L"Starting", L"starting", Down},
    {StatusState::Waiting, L"Waiting", L"waiting", Down},
    {StatusState::NotResponding, L"Not responding", L"not_responding", Down},
    {StatusState::Restarting, L"Restarting", L"restarting", Down},
    {StatusState::Paused, L"Not running", L"paused", Down},
    {StatusState::MissingFile, L"Missing file", L"missing_file", Down},
    {StatusState::NoCaption, L"No caption", L"no_caption", Uncounted},
    {StatusState::Stopped, L"Not watched (editor open)", L"stopped", Down},
    {StatusState::Closed, L"Closed", L"closed", Down},
    {StatusState::Unhealthy, L"Unhealthy", L"unhealthy", Down},
    {StatusState::Off, L"Off", L"off", Uncounted},
};

// One row per state, in the order of StatusState.
constexpr bool InStateOrder() {
    std::size_t i = 0;
    for (StatusStateRow const& row : kStates) {
        if (static_cast<std::size_t>(row.state) != i++) return false;
    }
    return i == static_cast<std::size_t>(StatusState::Off) + 1;
}
static_assert(InStateOrder());

}  // namespace

std::span<StatusStateRow const> StatusStates() { return kStates; }

StatusStateRow const& StateRow(StatusState state) { return kStates[static_cast<std::size_t>(state)]; }

std::wstring_view StateWord(StatusState state) { return StateRow(state).word; }

std::vector<std::wstring> StatusHeadings() {
    return {L"Program", L"State", L"Process", L"Up since", L"Starts", L"Last event"};
}

std::vector<std::wstring> StatusCells(ProgramStatus const& row) {
    std::wstring state(StateRow(row.state).text);
    if (row.state == StatusState::Waiting && !row.waitingFor.empty()) {
        state += L" for " + row.waitingFor;
    } else if (row.state == StatusState::Waiting && !row.nextStart.empty()) {
        state += L" until " + row.nextStart;
    } else if (row.state == StatusState::Off && !row.nextStart.empty()) {
        state += L" until " + row.nextStart;
    } else if (row.state == StatusState::Unhealthy) {
        state += L": " + row.health;
    } else if (!row.placement.empty()) {
        state += L", " + row.placement;
    }
    if (row.launchPaused) state += L" (launching paused)";
    // Its escalation ladder's count, while it has climbed it: "Running, 2 of 3:reboot in 60 min".
    if (row.escalationCount > 0) {
        state += L", " + std::to_wstring(row.escalationCount) +
                 (row.escalationNext.empty() ? std::wstring() : L" of " + row.escalationNext) + L" in " +
                 std::to_wstring(row.escalationMinutes) + L" min";
    }
    return {row.name,
            state,
            row.processId == 0 ? std::wstring() : std::to_wstring(row.processId),
            row.upSince,
            std::to_wstring(row.starts),
            row.lastEvent};
}

std::wstring StatusTable(std::vector<ProgramStatus> const& rows) {
    auto line = [](std::vector<std::wstring> const& cells) {
        std::wstring text;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) text += L'\t';
            AppendField(text, cells[i]);
        }
        return text + L"\r\n";
    };
    std::wstring table = line(StatusHeadings());
    for (ProgramStatus const& row : rows) table += line(StatusCells(row));
    return table;
}

bool AllRunning(std::vector<ProgramStatus> const& rows) {
    return std::all_of(rows.begin(), rows.end(),
                       [](ProgramStatus const& row) { return StateRow(row.state).count != StateCount::Down; });
}

}  // namespace vigilon
