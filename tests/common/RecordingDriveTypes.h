#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "DriveFacts.h"

// Drive letters as a test scripts them: the letters that exist, each with its type, ready unless
// the test says otherwise. A letter's device is named after its type unless the test names it: the
// system gives a drive of another type another device.
class ScriptedDrives final : public DriveFacts {
public:
    std::vector<std::wstring> Drives() override {
        std::vector<std::wstring> drives;
        for (const auto& [letter, type] : types) drives.push_back({letter, L':'});
        return drives;
    }
    std::optional<std::wstring> DeviceOf(const std::wstring& drive) override {
        const wchar_t letter = drive.at(0);
        if (!types.contains(letter)) return std::nullopt;
        const auto named = devices.find(letter);
        if (named != devices.end()) return named->second;
        return L"\\Device\\Scripted" + std::wstring(1, letter) + std::to_wstring(static_cast<int>(types.at(letter)));
    }
    DriveKind DriveType(const std::wstring& drive) override {
        const auto found = types.find(drive.at(0));
        return found == types.end() ? DriveKind::Unknown : found->second;
    }
    bool IsReady(const std::wstring& drive) override {
        return types.contains(drive.at(0)) && !notReady.contains(drive.at(0));
    }
    std::optional<VolumeId> VolumeOf(const std::wstring& drive) override {
        if (!IsReady(drive)) return std::nullopt;
        return VolumeId{static_cast<std::uint32_t>(drive.at(0)), 5};
    }

    std::map<wchar_t, DriveKind> types;
    std::map<wchar_t, std::wstring> devices;
    std::set<wchar_t> notReady;
};

// Records every device and type question asked, in order, and passes it on to the drives that
// answer it.
class RecordingDriveTypes final : public DriveFacts {
public:
    explicit RecordingDriveTypes(DriveFacts& answers) : answers_(answers) {}

    std::vector<std::wstring> Drives() override { return answers_.Drives(); }
    std::optional<std::wstring> DeviceOf(const std::wstring& drive) override {
        deviceAsked.push_back(drive);
        return answers_.DeviceOf(drive);
    }
    DriveKind DriveType(const std::wstring& drive) override {
        typeAsked.push_back(drive);
        return answers_.DriveType(drive);
    }
    bool IsReady(const std::wstring& drive) override { return answers_.IsReady(drive); }
    std::optional<VolumeId> VolumeOf(const std::wstring& drive) override { return answers_.VolumeOf(drive); }
    void Forget() {
        deviceAsked.clear();
        typeAsked.clear();
    }

    std::vector<std::wstring> deviceAsked;
    std::vector<std::wstring> typeAsked;

private:
    DriveFacts& answers_;
};
