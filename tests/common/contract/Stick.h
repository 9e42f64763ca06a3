#pragma once

// The contract of every FileSystemService, run against each implementation on drives it maps
// itself. An instantiation supplies a Stick type that the tests drive:
//
//   void SetUp();                       // ASSERTs that the drives are there and empty
//   FileSystemService& Service();
//   std::wstring Drive();               // a ready removable drive, "E:"
//   std::wstring OtherDrive();          // a second ready drive: copy targets, "outside the stick"
//   std::wstring NotReadyDrive();       // a removable letter without a medium
//   void Folder(const std::wstring& path, Attributes = 0);  // hidden and system
//   void MakeReadOnly(const std::wstring& folder);  // once its contents are made
//   void File(const std::wstring& path, std::string_view content, Attributes = 0);
//   bool Link(const std::wstring& link, const std::wstring& target);  // false: failure added
//   void Move(const std::wstring& from, const std::wstring& to);
//   std::string Content(const std::wstring& path);  // all of it; "<missing>" when unreadable
//   contract::Paths Names(const std::wstring& folder);  // what the folder holds, sorted
//   bool Exists(const std::wstring& path);
//   bool IsReadOnly(const std::wstring& path);
//   std::optional<Attributes> AttributesOf(const std::wstring& path);  // nothing when unreadable
//   void Backdate(const std::wstring& path);  // the last write goes years back
//   std::optional<std::int64_t> LastWrite(const std::wstring& path);  // seconds since 1970
//   Held HoldOpen(const std::wstring& path);  // the file cannot be deleted while Held lives
//   // CopyFile (or CopyFolder) of the service while writes fail past contract::kRoom bytes, as
//   // on a full disk; the paths it reported as failed.
//   contract::Paths CopyWithLittleRoom(const std::wstring& source,
//                                      const std::wstring& destination, bool folder);
//   static std::optional<std::string> CannotHoldOpen();  // why not, where the system cannot
//   static bool RemovesLinks();         // false where a link cannot go without its target
//   static bool KeepsReadOnlyFolders(); // false where a folder cannot be given read-only
//   static LocalDateTime Now();
//   static constexpr int kDeepTree;     // levels of the deep-tree test, as many as it can afford
//
// Paths are full drive paths; Link's target lies on either drive and already exists.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "FileSystemService.h"
#include "VelquorError.h"
#include "common/RootEntries.h"

namespace contract {

using namespace attributes;

// How much a copy may write before CopyWithLittleRoom makes its writes fail.
inline constexpr std::size_t kRoom = 1024 * 1024;

inline constexpr Attributes kProtected = kReadOnly | kHidden | kSystem;

using Paths = std::vector<std::wstring>;
using Failures = std::vector<std::pair<std::wstring, std::error_code>>;

inline Paths Sorted(Paths paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

inline Failures FailuresOf(const std::vector<ItemFailure>& items) {
    Failures failures;
    for (const ItemFailure& item : items) failures.emplace_back(item.path, item.error);
    std::sort(failures.begin(), failures.end());
    return failures;
}

inline Failures FailuresOf(const TreeReport& report) {
    return FailuresOf(report.failures);
}

inline Paths ChangedPaths(const AttributeReport& report) {
    Paths paths;
    for (const AttributeChange& change : report.changes) paths.push_back(change.path);
    return Sorted(paths);
}

// Bytes that a copy cannot get right by chance: no two neighbouring kilobytes alike.
inline std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7) ^ (i >> 10));
    return bytes;
}

inline Paths FailedPaths(const std::vector<ItemFailure>& items) {
    Paths paths;
    for (const ItemFailure& item : items) paths.push_back(item.path);
    return Sorted(paths);
}

inline Paths FailedPaths(const TreeReport& report) {
    return FailedPaths(report.failures);
}

// Whether every failure is the wanted error (a condition such as std::errc matches the codes of
// every category that maps to it).
template <class Wanted> bool AllAre(const std::vector<ItemFailure>& items, Wanted wanted) {
    return std::all_of(items.begin(), items.end(),
                       [&](const ItemFailure& item) { return item.error == wanted; });
}

template <class Wanted> bool AllAre(const TreeReport& report, Wanted wanted) {
    return AllAre(report.failures, wanted);
}

inline long long SecondsApart(const LocalDateTime& a, const LocalDateTime& b) {
    using namespace std::chrono;
    const auto seconds = [](const LocalDateTime& t) {
        const sys_days day{year{t.year} / month{static_cast<unsigned>(t.month)} /
                           std::chrono::day{static_cast<unsigned>(t.day)}};
        return (day + hours{t.hour} + minutes{t.minute} + std::chrono::seconds{t.second})
            .time_since_epoch()
            .count();
    };
    return std::llabs(seconds(a) - seconds(b));
}

inline BetweenItems Nothing() {
    return [] {};
}

}  // namespace contract

template <class Stick> class FileSystemContract : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(stick_.SetUp()); }

    FileSystemService& Service() { return stick_.Service(); }
    // A path on the stick, and one on the other drive.
    std::wstring On(std::wstring_view relative) const {
        return stick_.Drive() + L"\\" + std::wstring(relative);
    }
    std::wstring Out(std::wstring_view relative) const {
        return stick_.OtherDrive() + L"\\" + std::wstring(relative);
    }
    // DeleteFolder and CopyFolder of a folder on the stick, and CopyFile, each a backup run of its
    // own, none of them minding what comes between items.
    TreeReport DeleteFolder(std::wstring_view relative, bool force) {
        return Service().DeleteFolder(On(relative), force, contract::Nothing());
    }
    TreeReport CopyFolder(std::wstring_view relative, const std::wstring& destination,
                          bool overwrite) {
        CopyRun run;
        return Service().CopyFolder(On(relative), destination, overwrite, run, contract::Nothing());
    }
    std::error_code CopyFile(const std::wstring& source, const std::wstring& destination,
                             bool overwrite) {
        CopyRun run;
        return Service().CopyFile(source, destination, overwrite, run, contract::Nothing());
    }
    // A folder chain under base whose deepest path is longer than 260 characters.
    std::wstring LongChain(const std::wstring& base) {
        std::wstring path = base;
        for (int i = 0; i < 6; ++i) {
            path += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + i));
            stick_.Folder(path);
        }
        return path;
    }

    Stick stick_;
};
