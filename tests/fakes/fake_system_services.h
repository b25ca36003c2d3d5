#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/system_services.h"

namespace vigilon::testing {

// Records what would have been shown or played.
class FakeSystemServices final : public SystemServices {
public:
    struct Message {
        std::wstring text;
        std::wstring title;
        std::uint32_t style;
    };

    std::vector<Message> messages;
    std::vector<std::wstring> sounds;
    int beeps = 0;
    OsVersion version{kVerPlatformWin32Nt, 10, 0};
    bool versionAvailable = true;
    SoundResult soundResult = SoundResult::Played;
    int buttonPressed = 1;
    std::function<void()> onMessage;  // runs while a message box is open

    int ShowMessageBox(std::wstring_view text, std::wstring_view title, std::uint32_t style) override {
        messages.push_back({std::wstring(text), std::wstring(title), style});
        if (onMessage) onMessage();
        return buttonPressed;
    }
    SoundResult PlaySystemSound(std::wstring_view alias, std::uint32_t) override {
        sounds.emplace_back(alias);
        return soundResult;
    }
    void SoundBeep() override { ++beeps; }
    std::wstring ComputerName() override { return L"KIOSK-7"; }
    std::map<std::wstring, std::wstring> environment;  // by the name in upper case
    std::optional<std::wstring> EnvironmentVariable(std::wstring_view name) override {
        std::wstring upper(name);
        for (wchar_t& c : upper) c = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
        auto const it = environment.find(upper);
        return it == environment.end() ? std::nullopt : std::optional<std::wstring>(it->second);
    }
    // The session's last input, on the fake clock `now` points to (FakePlatform sets it); nothing: not known.
    std::optional<std::int64_t> lastInput;
    std::int64_t const* now = nullptr;
    std::optional<std::int64_t> IdleMilliseconds() override {
        if (!lastInput || now == nullptr) return std::nullopt;
        return *now - *lastInput;
    }
    std::vector<bool> displaysAsleep;  // each SetDisplaysAsleep, in order
    void SetDisplaysAsleep(bool asleep) override { displaysAsleep.push_back(asleep); }
    std::uint32_t errorMode = 0;
    std::uint32_t SetProcessErrorMode(std::uint32_t mode) override { return std::exchange(errorMode, mode); }
    bool QueryVersion(OsVersion& out) override {
        if (!versionAvailable) return false;
        out = version;
        return true;
    }
};

}  // namespace vigilon::testing
