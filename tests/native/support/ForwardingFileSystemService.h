#pragma once

#include "FileSystemService.h"

// Passes every operation on to another service; a test overrides the ones it changes (a drive
// swapped under its letter, an entry that goes at a chosen moment).
class ForwardingFileSystemService : public FileSystemService {
public:
    explicit ForwardingFileSystemService(FileSystemService& inner) : inner_(inner) {}

    std::vector<std::wstring> Drives() override { return inner_.Drives(); }
    std::optional<std::wstring> DeviceOf(const std::wstring& drive) override { return inner_.DeviceOf(drive); }
    DriveKind DriveType(const std::wstring& drive) override { return inner_.DriveType(drive); }
    bool IsReady(const std::wstring& drive) override { return inner_.IsReady(drive); }
    std::optional<VolumeId> VolumeOf(const std::wstring& drive) override { return inner_.VolumeOf(drive); }
    std::error_code ForEachRootEntry(const std::wstring& drive, const RootVisitor& visit) override {
        return inner_.ForEachRootEntry(drive, visit);
    }
    bool FileExists(const std::wstring& path) override { return inner_.FileExists(path); }
    bool FolderExists(const std::wstring& path) override { return inner_.FolderExists(path); }
    std::optional<std::wstring> Name(const std::wstring& path) override { return inner_.Name(path); }
    std::optional<std::uint64_t> FileSize(const std::wstring& path) override { return inner_.FileSize(path); }
    std::optional<LocalDateTime> DateCreated(const std::wstring& path) override {
        return inner_.DateCreated(path);
    }
    std::optional<std::wstring> TypeName(const std::wstring& path) override { return inner_.TypeName(path); }
    std::error_code ReadFileBytes(const std::wstring& path, std::size_t most, FileBytes& bytes) override {
        return inner_.ReadFileBytes(path, most, bytes);
    }
    std::error_code CopyFile(const std::wstring& source, const std::wstring& destination,
                             bool overwrite, CopyRun& run, const BetweenItems& between) override {
        return inner_.CopyFile(source, destination, overwrite, run, between);
    }
    TreeReport CopyFolder(const std::wstring& source, const std::wstring& destination,
                          bool overwrite, CopyRun& run, const BetweenItems& between) override {
        return inner_.CopyFolder(source, destination, overwrite, run, between);
    }
    std::error_code DeleteFile(const std::wstring& path, bool force) override {
        return inner_.DeleteFile(path, force);
    }
    TreeReport DeleteFolder(const std::wstring& path, bool force, const BetweenItems& between) override {
        return inner_.DeleteFolder(path, force, between);
    }
    AttributeReport ClearAttributes(const std::wstring& path, Attributes mask,
                                    const BetweenItems& between) override {
        return inner_.ClearAttributes(path, mask, between);
    }
    std::error_code RestoreAttributes(const AttributeChange& change) override {
        return inner_.RestoreAttributes(change);
    }

private:
    FileSystemService& inner_;
};
