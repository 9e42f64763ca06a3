#pragma once

#include "listing/Windows_win.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "shell/DriveTypes.h"

// Drive letters as a test scripts them: the letters that exist, each with its type. A letter's
// device is named after its type unless the test names it: the system gives a drive of another
// type another device.
class ScriptedDrives final : public DriveTypes {
public:
    std::optional<std::wstring> DeviceOf(const std::wstring& drive) override {
        const wchar_t letter = drive.at(0);
        if (!types.contains(letter)) return std::nullopt;
        const auto named = devices.find(letter);
        if (named != devices.end()) return named->second;
        return L"\\Device\\Scripted" + std::wstring(1, letter) + std::to_wstring(types.at(letter));
    }
    UINT TypeOf(const std::wstring& drive) override {
        const auto found = types.find(drive.at(0));
        return found == types.end() ? DRIVE_NO_ROOT_DIR : found->second;
    }

    std::map<wchar_t, UINT> types;
    std::map<wchar_t, std::wstring> devices;
};

// Records every question asked, in order, and passes it on to the drives that answer it.
class RecordingDriveTypes final : public DriveTypes {
public:
    explicit RecordingDriveTypes(DriveTypes& answers) : answers_(answers) {}

    std::optional<std::wstring> DeviceOf(const std::wstring& drive) override {
        deviceAsked.push_back(drive);
        return answers_.DeviceOf(drive);
    }
    UINT TypeOf(const std::wstring& drive) override {
        typeAsked.push_back(drive);
        return answers_.TypeOf(drive);
    }
    void Forget() {
        deviceAsked.clear();
        typeAsked.clear();
    }

    std::vector<std::wstring> deviceAsked;
    std::vector<std::wstring> typeAsked;

private:
    DriveTypes& answers_;
};
