#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "DriveFacts.h"
#include "FileBytes.h"

#if defined(CopyFile) || defined(DeleteFile)
#error "<windows.h> renames CopyFile and DeleteFile: include Win32Api.h instead"
#endif

// One path the service could not handle inside a batch (a folder copy or delete) and why.
struct ItemFailure {
    std::wstring path;
    std::error_code error;
};

// What a folder copy or delete did not manage; empty means every item succeeded.
struct TreeReport {
    std::vector<ItemFailure> failures;

    void Add(std::wstring path, std::error_code error) {
        failures.push_back({std::move(path), error});
    }
};

// A moment in the user's local time, to the second, as the file system recorded it.
struct LocalDateTime {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const LocalDateTime&) const = default;
};

// An entry's attributes as the drive keeps them, numbered as Windows numbers them (read-only 0x1,
// hidden 0x2, system 0x4, archive 0x20, …).
using Attributes = std::uint32_t;

namespace attributes {
inline constexpr Attributes kReadOnly = 0x1;
inline constexpr Attributes kHidden = 0x2;
inline constexpr Attributes kSystem = 0x4;
inline constexpr Attributes kFolder = 0x10;  // what the entry is, not something to set
inline constexpr Attributes kArchive = 0x20;

// What malware sets to keep an entry out of the user's sight.
inline bool HiddenOrSystem(Attributes attributes) { return (attributes & (kHidden | kSystem)) != 0; }
}  // namespace attributes

// What makes an entry itself, whatever name or link leads to it: its volume and its file number.
struct EntryId {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;

    auto operator<=>(const EntryId&) const = default;
};

// One entry whose attributes a walk changed, with what they were and what they became.
struct AttributeChange {
    std::wstring path;
    Attributes before;
    Attributes after;
    EntryId id;  // the entry changed, so that no other one at its path is changed back
};

// What one backup run has written so far, files and folders alike. Names that differ only in case
// meet at one name on a case-blind disk: a later item of the run must not take an earlier one's
// place, nor add its tree to a folder the run made for another.
class CopyRun {
public:
    void Wrote(const EntryId& entry) { written_.insert(entry); }
    bool HasWritten(const EntryId& entry) const { return written_.contains(entry); }

private:
    std::set<EntryId> written_;
};

// What a walk over attributes did and did not manage.
struct AttributeReport {
    std::vector<AttributeChange> changes;
    std::vector<ItemFailure> failures;
};

// Called between the items of a long operation so that the window can answer meanwhile.
using BetweenItems = std::function<void()>;

// Calls between, when there is one.
inline void CallBetween(const BetweenItems& between) {
    if (between) between();
}

// Called with the full path of each entry as a walk reads it, and its attributes as the folder's
// listing gives them (a link as what it leads to: kFolder for a link to a folder).
using RootVisitor = std::function<void(const std::wstring& path, Attributes attributes)>;

// The one door to drives, folders and files; its drive half is DriveFacts. Paths are in the drive's own form
// ("E:\\autorun.inf", "E:\\Fotos": letter, colon, backslash, name; no trailing backslash
// on folders). Nothing here raises: failures come back as error codes or empty optionals.
class FileSystemService : public DriveFacts {
public:
    // Calls visit for each entry directly in the drive's root, folders and files alike, in the
    // system's order, as the entries are read; returns why the walk stopped early, if it did.
    virtual std::error_code ForEachRootEntry(const std::wstring& drive, const RootVisitor& visit) = 0;

    // True only for an existing file (false for a folder or a missing path).
    virtual bool FileExists(const std::wstring& path) = 0;
    // True only for an existing folder.
    virtual bool FolderExists(const std::wstring& path) = 0;

    // The entry's own name as the file system spells it (a file's with its extension).
    virtual std::optional<std::wstring> Name(const std::wstring& path) = 0;
    virtual std::optional<std::uint64_t> FileSize(const std::wstring& path) = 0;
    // When the entry was created, in the user's local time.
    virtual std::optional<LocalDateTime> DateCreated(const std::wstring& path) = 0;
    // The shell's description of the file's type.
    virtual std::optional<std::wstring> TypeName(const std::wstring& path) = 0;
    // Reads at most `most` bytes of the file at path, sharing it with whoever has it open, for the
    // readers of shortcuts and autorun.inf: a link is never followed (an error), a folder gives
    // std::errc::is_a_directory. On an error, bytes is left empty.
    virtual std::error_code ReadFileBytes(const std::wstring& path, std::size_t most, FileBytes& bytes) = 0;

    // Copying never follows a link: a source that is one, or one met inside a copied tree, is
    // reported (VelquorError::LinkNotFollowed). Each file is written under a temporary name beside
    // its target and put in place only once complete, so a copy that fails leaves an earlier
    // target as it was and no partial file; the copy keeps the source's attributes and last
    // write time, and replaces an earlier target whatever its attributes. What run has written
    // is never replaced nor copied into (VelquorError::NameAlreadyCopied); what a copy writes is
    // added to run.

    // Copies one file to the full target name, replacing an existing file when overwrite is set.
    // The callback between runs after each chunk of a large file.
    virtual std::error_code CopyFile(const std::wstring& source, const std::wstring& destination,
                                     bool overwrite, CopyRun& run, const BetweenItems& between) = 0;
    // Creates or reuses the destination folder and copies the whole tree into it; each folder
    // of the copy takes its source's attributes and times once its contents are in. A
    // destination that is the source or lies inside it, however it is reached, is refused
    // before anything is made. Every item that fails is reported and the rest is still copied.
    // The callback between runs after each item and each chunk of a large file.
    virtual TreeReport CopyFolder(const std::wstring& source, const std::wstring& destination,
                                  bool overwrite, CopyRun& run, const BetweenItems& between) = 0;
    // Deletion takes only a root entry of a drive ("E:\\autorun.inf"); any other path is refused
    // with VelquorError::NotARootEntry. A link is removed as a link and its target is never
    // touched; where the platform cannot remove a link by itself, the link stays and is reported
    // (VelquorError::LinkNotRemovable).

    // Deletes one file for good; with force, read-only files too. A folder, or a link to one, is
    // refused (std::errc::is_a_directory).
    virtual std::error_code DeleteFile(const std::wstring& path, bool force) = 0;
    // Deletes the folder with everything in it for good; with force, read-only entries too.
    // Without force a read-only entry stays and is reported once; the folders that still hold it
    // stay unreported. Another file system mounted inside is left alone and reported. Calls
    // between at most once per item removed.
    virtual TreeReport DeleteFolder(const std::wstring& path, bool force,
                                    const BetweenItems& between) = 0;

    // Takes the attributes in mask off a root entry and, for a folder, off everything inside it,
    // never through a link (a link and its target keep theirs; a link met is reported); records
    // every change made and every failure. Any other path than a root entry is refused with
    // VelquorError::NotARootEntry. The callback between runs after each item.
    virtual AttributeReport ClearAttributes(const std::wstring& path, Attributes mask,
                                            const BetweenItems& between) = 0;
    // Gives the entry a clearing changed exactly the attributes it had before, reaching it from
    // its drive's root: a link met at any depth is refused (VelquorError::LinkNotFollowed), and
    // so is another entry now at its path (VelquorError::NotTheChangedEntry); one gone since
    // gives std::errc::no_such_file_or_directory.
    virtual std::error_code RestoreAttributes(const AttributeChange& change) = 0;
};
