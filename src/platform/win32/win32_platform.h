#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_command_runner.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_event_log.h"
#include "platform/win32/win32_event_loop.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_health_probe.h"
#include "platform/win32/win32_http_client.h"
#include "platform/win32/win32_process_watch.h"
#include "platform/win32/win32_profile_store.h"
#include "platform/win32/win32_readiness_probe.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_session_power.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system_services.h"
#include "platform/win32/win32_window_capture.h"
#include "platform/win32/win32_window_survey.h"

namespace vigilon {

// The real system, one object per service.
struct Win32Platform {
    Win32ProfileStore profile;
    Win32Registry registry;
    Win32Desktop desktop;
    Win32FileSystem files;
    Win32SystemServices system;
    Win32Shell shell;
    Win32EventLoop events;
    Win32ProcessWatch processes;
    Win32EventLog eventLog;
    Win32CommandRunner commands;
    Win32ReadinessProbe readiness;
    Win32HealthProbe health;
    Win32HttpClient http;
    Win32WindowCapture capture;
    Win32WindowSurvey survey;
    Win32SessionPower power;

    // The bundle the core takes.
    Platform View() {
        return Platform{profile,  registry, desktop,  files,     system, shell, events,
                        processes, eventLog, commands, readiness, health, http, capture, survey, power};
    }
};

}  // namespace vigilon
