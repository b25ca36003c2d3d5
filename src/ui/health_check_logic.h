#pragma once

#include <cstdint>
#include <string>

#include "app/restart_rules.h"

namespace vigilon {

// The fields of the Health page of a program's Settings dialog, as typed. An empty seconds or
// count box stands for its default and writes no key.
struct HealthCheckForm {
    std::wstring check;     // Check: what is checked, in one of its forms
    std::wstring text;      // CheckText: an http(s) check's page must contain it
    std::wstring age;       // CheckAge: a file check's file must be written within it
    std::wstring seconds;   // CheckSeconds
    std::wstring timeout;   // CheckTimeout
    std::wstring grace;     // CheckGrace
    std::wstring failures;  // CheckFailures
    std::wstring action;    // CheckAction: "" (Restart, the default), "Report", or the file's text as written

    bool operator==(HealthCheckForm const&) const = default;
};

// The forms "Check that it works:" takes, as the page shows them under its box.
inline constexpr wchar_t kCheckForms[] =
    L"http(s)://host/page, tcp:host:port, file:<full path>, window:<caption text> or run:<full path of a "
    L"command>";

// Which of the rows that belong to one kind of check take input for the check typed: the page's
// text only for an http(s) check, the file's age only for a file check, and the time to give a
// check up after for every kind but a window: check, which is judged at once.
struct HealthRowsEnabled {
    bool text = false;
    bool age = false;
    bool timeout = true;
};
HealthRowsEnabled HealthRowsFor(std::wstring const& check);

// The fields for a program's health keys as its section holds them, each as written (an action
// the file spells otherwise shows as the drop-down's own word).
HealthCheckForm HealthFormFromRules(RestartRules const& rules);

// The rows of the Health page, for a refusal to name.
enum class HealthRow : std::uint8_t { None, Check, Age, Seconds, Timeout, Grace, Failures };

// `rules` with the health keys the fields stand for; or, when a row in use holds something typed
// that cannot be used, a message naming it and the row. A box left as the file had it, and a row
// that takes no input for the check typed (the page's text for a file check, say), keep what the
// file held, as written.
struct HealthCheckChoice {
    std::wstring refusal;  // empty when the keys stand
    HealthRow row = HealthRow::None;
};
HealthCheckChoice HealthRulesFromForm(HealthCheckForm const& form, RestartRules const& original, RestartRules& rules);

}  // namespace vigilon
