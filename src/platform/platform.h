#pragma once

#include "platform/command_runner.h"
#include "platform/desktop.h"
#include "platform/event_log.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "platform/health_probe.h"
#include "platform/http_client.h"
#include "platform/process_watch.h"
#include "platform/profile_store.h"
#include "platform/readiness_probe.h"
#include "platform/registry.h"
#include "platform/session_power.h"
#include "platform/shell.h"
#include "platform/system_services.h"
#include "platform/window_capture.h"
#include "platform/window_survey.h"

namespace vigilon {

// Every service the core uses, handed to it as one bundle.
struct Platform {
    ProfileStore& profile;
    Registry& registry;
    Desktop& desktop;
    FileSystem& files;
    SystemServices& system;
    Shell& shell;
    EventLoop& events;
    ProcessWatch& processes;
    EventLog& eventLog;
    CommandRunner& commands;
    ReadinessProbe& readiness;
    HealthProbe& health;
    HttpClient& http;
    WindowCapture& capture;
    WindowSurvey& survey;
    SessionPower& power;
};

}  // namespace vigilon
