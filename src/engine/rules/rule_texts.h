#pragma once

#include <string>

#include "app/restart_rules.h"
#include "app/watched_program.h"

namespace vigilon {

class SupervisionJournal;

// A program's keys as they are now and as they were last read: a value that cannot be used is
// said once, when its text is new, and its rule is off.
class RuleTexts {
public:
    RuleTexts(WatchedProgram const& record, RestartRules const& before, SupervisionJournal& journal)
        : record_(record), before_(before), journal_(journal) {}
    WatchedProgram const& Record() const { return record_; }
    RestartRules const& Now() const { return record_.rules; }
    bool Changed(std::wstring RestartRules::*text) const { return record_.rules.*text != before_.*text; }
    // Says why the key's value is not used, when `problem` names a reason and the text is new.
    void Refuse(wchar_t const* key, std::wstring RestartRules::*text, std::wstring const& problem) const;

private:
    WatchedProgram const& record_;
    RestartRules const& before_;
    SupervisionJournal& journal_;
};

}  // namespace vigilon
