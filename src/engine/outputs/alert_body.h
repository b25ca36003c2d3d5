#pragma once

#include <optional>
#include <string>

#include "app/alert_options.h"
#include "engine/outputs/status_snapshot.h"
#include "platform/event_loop.h"

namespace vigilon {

// What one alert tells: a program's trouble or its recovery, one of Vigilon's own troubles, or a
// test.
struct AlertEvent {
    std::wstring kind;        // the kind's word: gone, hung, ..., recovered, test
    std::wstring program;     // empty for Vigilon's own
    std::wstring details;
    std::wstring screenshot;  // the path of a picture of the window; empty for none
    std::wstring computer;
    LocalTime time{};
    bool problem = true;                // a trouble, rather than a recovery or a test
    std::optional<ProgramFacts> facts;  // the program's entry as /status /json gives it, when known
};

// One request: where it goes, and what it carries, in UTF-8.
struct AlertRequest {
    std::wstring url;
    std::string contentType;
    std::string body;
};

// The alert's title: the program (or Vigilon) and the kind, "Notepad: gone".
std::wstring AlertTitle(AlertEvent const& event);

// The request that tells `event` to `url` in `format` (not Auto: see AlertFormatFor).
//   Json: the program's /status /json entry with computer, time, kind, details and screenshot;
//         for Vigilon's own troubles the name is null and there is no other program member.
//   Text: one plain line.
//   Teams: an Adaptive Card in a message, as Teams' webhooks and its workflows take it.
//   Slack: a header, the details and a context line of the computer and the time.
//   Discord: an embed, with nobody mentioned whatever the names hold.
//   Ntfy: ntfy's JSON, posted to the server's root with the topic (the URL's first path segment)
//         in the body, so that names outside ASCII need no header.
//   Gotify: its message (title, message, priority: 8 for a trouble, 4 for a recovery or a test),
//         posted to the URL as given, the application's token in its query.
AlertRequest AlertRequestFor(AlertFormat format, std::wstring const& url, AlertEvent const& event);

}  // namespace vigilon
