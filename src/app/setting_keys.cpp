#include "app/setting_keys.h"

#include "app/restart_rules.h"
#include "app/settings.h"

namespace vigilon {
namespace {

using enum KeyPlace;
using enum KeySetBy;

constexpr SettingKey kKeys[] = {
    {kNumberKey, Apps, File},
    {kAppKeyPrefix, Apps, File, true},
    {kNoticesKey, Apps, FileOrPolicy},
    {kBackoffKey, Apps, FileOrPolicy},
    {kHangSecondsKey, Apps, FileOrPolicy},
    {kEventLogKey, Apps, FileOrPolicy},
    {kOnEventKey, Apps, FileOrPolicy, false, true},
    {kMetricsFileKey, Apps, FileOrPolicy},
    // The heartbeat, screenshots and the lock are read by their own parts of Vigilon.
    {kHeartbeatUrlKey, Apps, FileOrPolicy, false, true},
    {kHeartbeatSecondsKey, Apps, FileOrPolicy},
    {kScreenshotsKey, Apps, FileOrPolicy},
    {L"LockSettings", Apps, PolicyOnly},
    {kMenuHotkeyKey, Apps, FileOrPolicy},

    {kCaptionKey, Program, File},
    {kExeKey, Program, File},
    {kCommandKey, Program, File},
    {kPrefixKey, Program, File},
    {kPostfixKey, Program, File},
    {kMaxMemoryKey, Program, File},
    {kRestartAtKey, Program, File},
    {kCrashDialogKey, Program, File},
    {kShowKey, Program, File},
    {kMonitorKey, Program, File},
    {kOnTopKey, Program, File},
    {kStartDelayKey, Program, File},
    {kStartAfterKey, Program, File},
    {kWaitForKey, Program, File},
    {kWaitSecondsKey, Program, File},
    {kRestartKey, Program, File},
};

}  // namespace

std::span<SettingKey const> SettingKeys() { return kKeys; }

}  // namespace vigilon
