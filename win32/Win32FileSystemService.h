#pragma once

#include "Win32Api.h"

#include <map>

#include "FileSystemService.h"

namespace win32 {

// FileSystemService on the Win32 file API. Long paths are handled with the \\?\ form inside;
// paths handed out stay in the drive's plain form.
class FileSystemService final : public ::FileSystemService {
public:
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
    // The shell's type descriptions by extension (lower case): asking the shell walks the
    // registry, about a tenth of a millisecond, and a walk over thousands of lines asks for each.
    std::map<std::wstring, std::wstring> typeNames_;
};

}  // namespace win32
