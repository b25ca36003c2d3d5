#include "app/setting_keys.h"

#include <vector>

#include "app/restart_rules.h"
#include "app/settings.h"

namespace vigilon {
namespace {

using enum KeyPlace;
using enum KeySetBy;

// The keys of [Apps]; those of a program's section follow, from their own tables.
constexpr SettingKey kAppsKeys[] = {
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
    {kLockSettingsKey, Apps, PolicyOnly},
    {kMenuHotkeyKey, Apps, FileOrPolicy},
};

}  // namespace

std::span<SettingKey const> SettingKeys() {
    static std::vector<SettingKey> const keys = [] {
        std::vector<SettingKey> all(std::begin(kAppsKeys), std::end(kAppsKeys));
        for (ProgramField const& field : kProgramFields) all.push_back({field.key, Program, File});
        for (RuleKey const& rule : RuleKeys()) all.push_back({rule.name, Program, File, false, false, rule.problem});
        return all;
    }();
    return keys;
}

}  // namespace vigilon
