#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "engine/watch_engine.h"
#include "fakes/fake_platform.h"

namespace vigilon::testing {

// A watch engine on the fake platform, with its program folder made current and an empty table:
// what every test of the engine starts from.
struct EngineScene {
    static constexpr wchar_t kFolder[] = L"C:\\Vigilon\\";

    EngineScene() {
        fake.files.AddFolder(kFolder);
        fake.files.currentDirectory = kFolder;
        programs.Reset(0, 5);
    }

    WatchedProgram& AddProgram(std::wstring const& name, std::wstring const& caption, std::wstring const& exe) {
        WatchedProgram& record = programs[programs.Add(name)];
        record.caption = caption;
        record.exe = exe;
        return record;
    }

    // Passes one second apart, as the timer runs them, each followed by the events due.
    void Passes(int count) {
        for (int i = 0; i < count; ++i) {
            engine.WatchPrograms();
            fake.events.now += 1000;
            fake.events.ProcessPendingEvents();
        }
    }

    // The event words of the history, in order, for `program` (empty: Vigilon's own).
    std::vector<std::wstring> Events(std::wstring const& program) const { return Fields(program, 1); }
    // The details of each of the program's lines with `event`, in order.
    std::vector<std::wstring> Details(std::wstring const& program, std::wstring const& event) const {
        std::vector<std::wstring> details;
        std::vector<std::wstring> const events = Events(program);
        std::vector<std::wstring> const all = Fields(program, 3);
        for (std::size_t i = 0; i < events.size(); ++i) {
            if (events[i] == event) details.push_back(all[i]);
        }
        return details;
    }
    // Field `index` of each of the program's lines (ASCII text only), in order.
    std::vector<std::wstring> Fields(std::wstring const& program, std::size_t index) const {
        std::vector<std::wstring> found;
        auto const text = fake.files.texts.find(std::wstring(kFolder) + L"vigilon.log");
        if (text == fake.files.texts.end()) return found;
        std::istringstream lines(text->second);
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::vector<std::string> fields;
            std::istringstream split(line);
            for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
            if (fields.size() >= 3 && fields[2] == std::string(program.begin(), program.end())) {
                std::string const field = index < fields.size() ? fields[index] : std::string();
                found.emplace_back(field.begin(), field.end());
            }
        }
        return found;
    }

    FakePlatform fake;
    FakeWatchHost host;
    WatchedPrograms programs;
    WatchEngine engine{fake.view, host, programs, kFolder};
};

}  // namespace vigilon::testing
