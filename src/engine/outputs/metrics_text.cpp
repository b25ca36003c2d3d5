#include "engine/outputs/metrics_text.h"

#include <functional>
#include <initializer_list>
#include <utility>

#include "support/local_time.h"
#include "support/utf8.h"

namespace vigilon {
namespace {

// One metric's family: its name, help and type, and the lines of its samples.
class Family {
public:
    Family(std::string& text, char const* name, char const* help, char const* type) : text_(text), name_(name) {
        text_ += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
    }

    // A sample with the labels given as name and value pairs.
    void Sample(std::initializer_list<std::pair<char const*, std::wstring_view>> labels, std::uint64_t value) {
        text_ += name_;
        if (labels.size() > 0) {
            text_ += '{';
            bool first = true;
            for (auto const& [label, labelValue] : labels) {
                if (!first) text_ += ',';
                first = false;
                text_ += std::string(label) + "=\"" + EscapedLabelValue(labelValue) + "\"";
            }
            text_ += '}';
        }
        text_ += " " + std::to_string(value) + "\n";
    }

private:
    std::string& text_;
    char const* name_;
};

}  // namespace

std::string EscapedLabelValue(std::wstring_view value) {
    std::string escaped;
    for (char const c : ToUtf8(std::wstring(value))) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '"': escaped += "\\\""; break;
        case '\n': escaped += "\\n"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string MetricsText(StatusSnapshot const& snapshot) {
    std::string text;
    auto const each = [&](std::function<void(ProgramFacts const&)> const& sample) {
        for (ProgramFacts const& facts : snapshot.programs) sample(facts);
    };
    Family up(text, "vigilon_up", "Whether the program's window is there (1) or not (0).", "gauge");
    each([&](ProgramFacts const& p) {
        // A program left closed may have a process still running: its window is not there.
        up.Sample({{"program", p.row.name}}, p.row.processId != 0 && p.row.state != StatusState::Closed ? 1 : 0);
    });

    Family state(text, "vigilon_program_state", "The program's state: 1 for the one it is in, 0 for the others.",
                 "gauge");
    each([&](ProgramFacts const& p) {
        for (StatusStateRow const& s : StatusStates()) {
            state.Sample({{"program", p.row.name}, {"state", s.word}}, p.row.state == s.state ? 1 : 0);
        }
    });

    Family starts(text, "vigilon_starts_total", "Starts of the program by Vigilon since Vigilon started.", "counter");
    each([&](ProgramFacts const& p) {
        starts.Sample({{"program", p.row.name}}, static_cast<std::uint64_t>(p.row.starts));
    });

    Family restarts(text, "vigilon_restarts_total", "Restarts of the program by Vigilon, by reason.", "counter");
    each([&](ProgramFacts const& p) {
        for (RestartCause const cause : kAllRestartCauses) {
            restarts.Sample({{"program", p.row.name}, {"reason", CauseWord(cause)}}, p.counts.Restarts(cause));
        }
    });

    Family exits(text, "vigilon_exits_total",
                 "Ends of the program not asked for by Vigilon, by kind: exit code 0 (normal) or another (crash).",
                 "counter");
    each([&](ProgramFacts const& p) {
        for (ExitKind const kind : kAllExitKinds) {
            exits.Sample({{"program", p.row.name}, {"kind", ExitWord(kind)}}, p.counts.Exits(kind));
        }
    });

    Family memory(text, "vigilon_memory_bytes",
                  "The program's private memory as last read (for a program with a memory limit).", "gauge");
    each([&](ProgramFacts const& p) {
        if (p.memoryBytes) memory.Sample({{"program", p.row.name}}, *p.memoryBytes);
    });

    Family checkOk(text, "vigilon_check_ok",
                   "Whether the program's health check worked (1) or failed (0) the last time (for a program with a "
                   "check).",
                   "gauge");
    each([&](ProgramFacts const& p) {
        if (p.lastCheck) checkOk.Sample({{"program", p.row.name}}, p.lastCheck->verdict.works ? 1 : 0);
    });

    Family lastStart(text, "vigilon_last_start_timestamp_seconds",
                     "When Vigilon last started the program, in seconds since 1970-01-01 UTC.", "gauge");
    each([&](ProgramFacts const& p) {
        if (!p.lastStart) return;
        std::int64_t const seconds = UnixSeconds(*p.lastStart);
        lastStart.Sample({{"program", p.row.name}}, static_cast<std::uint64_t>(seconds < 0 ? 0 : seconds));
    });

    Family watching(text, "vigilon_watching",
                    "Whether Vigilon watches and starts programs (1), or launching is paused, the editor is open or a "
                    "pass is held (0).",
                    "gauge");
    watching.Sample({}, snapshot.watching == WatchingState::Watching ? 1 : 0);

    Family build(text, "vigilon_build_info", "Vigilon's version, in the label; always 1.", "gauge");
    build.Sample({{"version", snapshot.version}}, 1);
    return text;
}

}  // namespace vigilon
