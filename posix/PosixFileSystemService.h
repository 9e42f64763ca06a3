#pragma once

#include <string>
#include <vector>

#include "FileSystemService.h"

namespace posix {

// A drive letter presented by the POSIX service and the host folder behind it.
struct DriveMapping {
    std::wstring drive;  // "E:"
    std::string folder;  // host path of the drive's root; a missing folder is a drive not ready
    DriveKind type = DriveKind::Removable;
};

// FileSystemService on POSIX file systems, for the portable core's tests and tools. Windows-form
// paths ("E:\\Fotos") are taken through the drive table to host paths. An entry without its
// owner's write bit counts as read-only, as the Windows attribute does, whoever runs the process;
// hidden and system live where Wine keeps them (see PosixAttributes.h).
class FileSystemService final : public ::FileSystemService {
public:
    explicit FileSystemService(std::vector<DriveMapping> drives);

    std::vector<std::wstring> Drives() override;
    std::optional<std::wstring> DeviceOf(const std::wstring& drive) override;
    DriveKind DriveType(const std::wstring& drive) override;
    bool IsReady(const std::wstring& drive) override;
    std::optional<VolumeId> VolumeOf(const std::wstring& drive) override;
    std::error_code ForEachRootEntry(const std::wstring& drive, const RootVisitor& visit) override;
    bool FileExists(const std::wstring& path) override;
    bool FolderExists(const std::wstring& path) override;
    std::optional<std::wstring> Name(const std::wstring& path) override;
    std::optional<std::uint64_t> FileSize(const std::wstring& path) override;
    std::optional<LocalDateTime> DateCreated(const std::wstring& path) override;
    std::optional<std::wstring> TypeName(const std::wstring& path) override;
    std::error_code ReadFileBytes(const std::wstring& path, std::size_t most, FileBytes& bytes) override;
    std::error_code CopyFile(const std::wstring& source, const std::wstring& destination,
                             bool overwrite, CopyRun& run, const BetweenItems& between) override;
    TreeReport CopyFolder(const std::wstring& source, const std::wstring& destination,
                          bool overwrite, CopyRun& run, const BetweenItems& between) override;
    std::error_code DeleteFile(const std::wstring& path, bool force) override;
    TreeReport DeleteFolder(const std::wstring& path, bool force,
                            const BetweenItems& between) override;
    AttributeReport ClearAttributes(const std::wstring& path, Attributes mask,
                                    const BetweenItems& between) override;
    std::error_code RestoreAttributes(const AttributeChange& change) override;

private:
    std::vector<DriveMapping> drives_;
};

}  // namespace posix
