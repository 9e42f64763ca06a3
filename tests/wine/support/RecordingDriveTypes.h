#pragma once

#include "listing/Windows_win.h"

#include <map>
#include <string>
#include <vector>

#include "shell/DriveTypes.h"

// Drive letters as a test scripts them: the letters that exist, each with its type.
class ScriptedDrives final : public DriveTypes {
public:
    bool Exists(const std::wstring& drive) override { return types.contains(drive.at(0)); }
    UINT TypeOf(const std::wstring& drive) override {
        const auto found = types.find(drive.at(0));
        return found == types.end() ? DRIVE_NO_ROOT_DIR : found->second;
    }

    std::map<wchar_t, UINT> types;
};

// Records every question asked, in order, and passes it on to the drives that answer it.
class RecordingDriveTypes final : public DriveTypes {
public:
    explicit RecordingDriveTypes(DriveTypes& answers) : answers_(answers) {}

    bool Exists(const std::wstring& drive) override {
        existenceAsked.push_back(drive);
        return answers_.Exists(drive);
    }
    UINT TypeOf(const std::wstring& drive) override {
        typeAsked.push_back(drive);
        return answers_.TypeOf(drive);
    }
    void Forget() {
        existenceAsked.clear();
        typeAsked.clear();
    }

    std::vector<std::wstring> existenceAsked;
    std::vector<std::wstring> typeAsked;

private:
    DriveTypes& answers_;
};
