#include "engine/program_status.h"

#include <algorithm>

#include "support/field_text.h"

namespace vigilon {

std::wstring StatusText(StatusState state) {
    switch (state) {
    case StatusState::Running: return L"Running";
    case StatusState::Starting: return L"Starting";
    case StatusState::Waiting: return L"Waiting";
    case StatusState::NotResponding: return L"Not responding";
    case StatusState::Restarting: return L"Restarting";
    case StatusState::Paused: return L"Not running";
    case StatusState::MissingFile: return L"Missing file";
    case StatusState::NoCaption: return L"No caption";
    case StatusState::Stopped: return L"Not watched (editor open)";
    case StatusState::Closed: return L"Closed";
    }
    return L"";
}

std::vector<std::wstring> StatusHeadings() {
    return {L"Program", L"State", L"Process", L"Up since", L"Starts", L"Last event"};
}

std::vector<std::wstring> StatusCells(ProgramStatus const& row) {
    std::wstring state = StatusText(row.state);
    if (row.state == StatusState::Waiting && !row.waitingFor.empty()) {
        state += L" for " + row.waitingFor;
    } else if (row.state == StatusState::Waiting && !row.nextStart.empty()) {
        state += L" until " + row.nextStart;
    } else if (!row.placement.empty()) {
        state += L", " + row.placement;
    }
    if (row.launchPaused) state += L" (launching paused)";
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
    return std::all_of(rows.begin(), rows.end(), [](ProgramStatus const& row) {
        return row.state == StatusState::Running || row.state == StatusState::NoCaption;
    });
}

}  // namespace vigilon
