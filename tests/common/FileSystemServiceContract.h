#pragma once

// The one contract of every FileSystemService, run against each implementation on drives it maps
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
    // DeleteFolder and CopyFolder of a folder on the stick, and CopyFile, none of them minding
    // what comes between items.
    TreeReport DeleteFolder(std::wstring_view relative, bool force) {
        return Service().DeleteFolder(On(relative), force, contract::Nothing());
    }
    TreeReport CopyFolder(std::wstring_view relative, const std::wstring& destination,
                          bool overwrite) {
        return Service().CopyFolder(On(relative), destination, overwrite, contract::Nothing());
    }
    std::error_code CopyFile(const std::wstring& source, const std::wstring& destination,
                             bool overwrite) {
        return Service().CopyFile(source, destination, overwrite, contract::Nothing());
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

template <class Stick> using RootListingContract = FileSystemContract<Stick>;
template <class Stick> using EntryFactsContract = FileSystemContract<Stick>;
template <class Stick> using CopyContract = FileSystemContract<Stick>;
template <class Stick> using DeleteContract = FileSystemContract<Stick>;
template <class Stick> using AttributesContract = FileSystemContract<Stick>;

TYPED_TEST_SUITE_P(RootListingContract);

TYPED_TEST_P(RootListingContract, FoldersAndFilesApartHiddenIncludedLinksAsWhatTheyLeadTo) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"Fotos"));
    stick.Folder(this->On(L"RECYCLER"), contract::kHidden | contract::kSystem);
    stick.File(this->On(L"notas.txt"), "x");
    stick.File(this->On(L"autorun.inf"), "x", contract::kProtected);
    ASSERT_TRUE(stick.Link(this->On(L"atajo"), this->On(L"Fotos")));
    ASSERT_TRUE(stick.Link(this->On(L"enlace.txt"), this->On(L"notas.txt")));

    const RootEntries folders = RootFolders(this->Service(), this->stick_.Drive());
    const RootEntries files = RootFiles(this->Service(), this->stick_.Drive());

    EXPECT_FALSE(folders.error) << folders.error.message();
    EXPECT_FALSE(files.error) << files.error.message();
    EXPECT_EQ(contract::Sorted(folders.paths),
              (contract::Paths{this->On(L"Fotos"), this->On(L"RECYCLER"), this->On(L"atajo")}));
    EXPECT_EQ(contract::Sorted(files.paths),
              (contract::Paths{this->On(L"autorun.inf"), this->On(L"enlace.txt"),
                               this->On(L"notas.txt")}));
}

TYPED_TEST_P(RootListingContract, AnEmptyRootIsNoErrorANotReadyOneIsAndDrivesTakeEitherForm) {
    FileSystemService& service = this->Service();
    const std::wstring drive = this->stick_.Drive();
    const RootEntries empty = RootFiles(service, drive + L"\\");
    EXPECT_EQ(empty.paths, contract::Paths{});
    EXPECT_FALSE(empty.error) << empty.error.message();
    EXPECT_TRUE(service.IsReady(drive));
    EXPECT_TRUE(service.IsReady(drive + L"\\"));
    EXPECT_EQ(service.DriveType(drive + L"\\"), DriveKind::Removable);

    const std::wstring notReady = this->stick_.NotReadyDrive();
    const RootEntries none = RootFolders(service, notReady);
    EXPECT_EQ(none.paths, contract::Paths{});
    EXPECT_EQ(none.error, std::errc::no_such_file_or_directory) << none.error.message();
    EXPECT_FALSE(service.IsReady(notReady));
    EXPECT_EQ(service.DriveType(notReady), DriveKind::Removable);

    EXPECT_EQ(RootFolders(service, drive + L"\\x").error, VelquorError::NotADrivePath);
    EXPECT_EQ(service.DriveType(L"R"), DriveKind::Unknown);
}

REGISTER_TYPED_TEST_SUITE_P(RootListingContract,
                            FoldersAndFilesApartHiddenIncludedLinksAsWhatTheyLeadTo,
                            AnEmptyRootIsNoErrorANotReadyOneIsAndDrivesTakeEitherForm);

TYPED_TEST_SUITE_P(EntryFactsContract);

TYPED_TEST_P(EntryFactsContract, ExistsTellsFilesFromFoldersAndLinksAsWhatTheyLeadTo) {
    auto& stick = this->stick_;
    FileSystemService& service = this->Service();
    stick.File(this->On(L"a.txt"), "x");
    stick.Folder(this->On(L"dir"));
    ASSERT_TRUE(stick.Link(this->On(L"toDir"), this->On(L"dir")));
    ASSERT_TRUE(stick.Link(this->On(L"toA"), this->On(L"a.txt")));

    EXPECT_TRUE(service.FileExists(this->On(L"a.txt")));
    EXPECT_FALSE(service.FolderExists(this->On(L"a.txt")));
    EXPECT_TRUE(service.FolderExists(this->On(L"dir")));
    EXPECT_FALSE(service.FileExists(this->On(L"dir")));
    EXPECT_TRUE(service.FolderExists(this->On(L"toDir")));
    EXPECT_FALSE(service.FileExists(this->On(L"toDir")));
    EXPECT_TRUE(service.FileExists(this->On(L"toA")));
    EXPECT_FALSE(service.FolderExists(this->On(L"toA")));
    EXPECT_FALSE(service.FileExists(this->On(L"missing.txt")));
    EXPECT_FALSE(service.FolderExists(this->On(L"missing")));
    EXPECT_FALSE(service.FileExists(this->On(L"a.txt\\inside")));
}

TYPED_TEST_P(EntryFactsContract, NameSizeAndTypeDescribeFilesAndOnlyNameAFolder) {
    auto& stick = this->stick_;
    FileSystemService& service = this->Service();
    stick.Folder(this->On(L"Fotos"));
    stick.File(this->On(L"Fotos\\Vacaciones.JPG"), std::string(12345, 'v'));
    stick.File(this->On(L"vacio.txt"), "");

    EXPECT_EQ(service.Name(this->On(L"Fotos\\Vacaciones.JPG")), L"Vacaciones.JPG");
    EXPECT_EQ(service.Name(this->On(L"Fotos")), L"Fotos");
    EXPECT_EQ(service.Name(this->On(L"Fotos\\*.JPG")), std::nullopt);
    EXPECT_EQ(service.Name(this->On(L"Fotos\\nada.txt")), std::nullopt);

    EXPECT_EQ(service.FileSize(this->On(L"Fotos\\Vacaciones.JPG")), 12345u);
    EXPECT_EQ(service.FileSize(this->On(L"vacio.txt")), 0u);
    EXPECT_EQ(service.FileSize(this->On(L"Fotos")), std::nullopt);
    EXPECT_EQ(service.FileSize(this->On(L"nada.txt")), std::nullopt);

    // The wording is each system's own: only its presence and what it depends on are part of the
    // contract. It goes by the extension, whatever its letters' case.
    EXPECT_NE(service.TypeName(this->On(L"vacio.txt")).value_or(L""), L"");
    stick.File(this->On(L"NOTAS.TXT"), "n");
    EXPECT_EQ(service.TypeName(this->On(L"NOTAS.TXT")), service.TypeName(this->On(L"vacio.txt")));
    EXPECT_NE(service.TypeName(this->On(L"Fotos\\Vacaciones.JPG")), service.TypeName(this->On(L"vacio.txt")));
    EXPECT_EQ(service.TypeName(this->On(L"Fotos")), std::nullopt);
    EXPECT_EQ(service.TypeName(this->On(L"nada.txt")), std::nullopt) << "a file that is gone has no type";
}

TYPED_TEST_P(EntryFactsContract, DateCreatedIsTheLocalMomentTheEntryWasMade) {
    const LocalDateTime before = TypeParam::Now();
    this->stick_.File(this->On(L"nuevo.txt"), "x");
    this->stick_.Folder(this->On(L"Fotos"));
    for (const std::wstring& path : {this->On(L"nuevo.txt"), this->On(L"Fotos")}) {
        const auto created = this->Service().DateCreated(path);
        ASSERT_TRUE(created.has_value()) << path;
        // File-system clocks lag a tick behind.
        EXPECT_LE(contract::SecondsApart(*created, before), 2)
            << path << ": " << created->year << "-" << created->month << "-" << created->day
            << " " << created->hour << ":" << created->minute << ":" << created->second;
    }
    EXPECT_EQ(this->Service().DateCreated(this->On(L"nada.txt")), std::nullopt);
}

// The drive's own form has neither; resolving them could climb out of a drive's folder.
TYPED_TEST_P(EntryFactsContract, DotPartsAndRelativePathsNameNothing) {
    auto& stick = this->stick_;
    FileSystemService& service = this->Service();
    stick.Folder(this->On(L"Fotos"));
    stick.File(this->On(L"a.txt"), "a");
    const std::wstring drive = stick.Drive();
    for (const std::wstring& path : {this->On(L"Fotos\\..\\a.txt"), this->On(L".\\a.txt"),
                                     drive + L"a.txt", std::wstring(L"a.txt")}) {
        EXPECT_FALSE(service.FileExists(path)) << path;
        EXPECT_EQ(service.FileSize(path), std::nullopt) << path;
        EXPECT_TRUE(this->CopyFile(path, this->Out(L"copia.txt"), true)) << path;
    }
    EXPECT_FALSE(service.FolderExists(this->On(L"Fotos\\..\\Fotos")));
    EXPECT_TRUE(this->CopyFile(this->On(L"a.txt"), this->On(L"Fotos\\..\\b.txt"), true));
    const TreeReport report = this->CopyFolder(L"Fotos", this->On(L"Fotos\\..\\x"), true);
    EXPECT_EQ(contract::FailedPaths(report), contract::Paths{this->On(L"Fotos")});
    EXPECT_FALSE(stick.Exists(this->Out(L"copia.txt")));
    EXPECT_FALSE(stick.Exists(this->On(L"b.txt")));
    EXPECT_FALSE(stick.Exists(this->On(L"x")));
}

REGISTER_TYPED_TEST_SUITE_P(EntryFactsContract,
                            ExistsTellsFilesFromFoldersAndLinksAsWhatTheyLeadTo,
                            DotPartsAndRelativePathsNameNothing,
                            NameSizeAndTypeDescribeFilesAndOnlyNameAFolder,
                            DateCreatedIsTheLocalMomentTheEntryWasMade);

TYPED_TEST_SUITE_P(CopyContract);

TYPED_TEST_P(CopyContract, CopyFileReplacesAnExistingFileOnlyWhenAsked) {
    auto& stick = this->stick_;
    stick.File(this->On(L"a.txt"), "nuevo");
    stick.File(this->Out(L"a.txt"), "viejo");

    EXPECT_EQ(this->CopyFile(this->On(L"a.txt"), this->Out(L"a.txt"), false),
              std::errc::file_exists);
    EXPECT_EQ(stick.Content(this->Out(L"a.txt")), "viejo");
    EXPECT_EQ(this->CopyFile(this->On(L"a.txt"), this->Out(L"a.txt"), true), std::error_code());
    EXPECT_EQ(stick.Content(this->Out(L"a.txt")), "nuevo");
    EXPECT_EQ(this->CopyFile(this->On(L"a.txt"), this->Out(L"b.txt"), false), std::error_code());
    EXPECT_EQ(stick.Content(this->Out(L"b.txt")), "nuevo");
}

TYPED_TEST_P(CopyContract, CopyFileOfAFolderOrAMissingSourceFailsAndMakesNothing) {
    this->stick_.Folder(this->On(L"dir"));
    EXPECT_EQ(this->CopyFile(this->On(L"dir"), this->Out(L"dir"), true), std::errc::is_a_directory);
    EXPECT_EQ(this->CopyFile(this->On(L"nada"), this->Out(L"x"), true),
              std::errc::no_such_file_or_directory);
    EXPECT_FALSE(this->stick_.Exists(this->Out(L"dir")));
    EXPECT_FALSE(this->stick_.Exists(this->Out(L"x")));
}

TYPED_TEST_P(CopyContract, CopyFolderCopiesTheWholeTreeWithUnicodeHiddenAndLongPaths) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"src"));
    stick.Folder(this->On(L"src\\Música"));
    stick.File(this->On(L"src\\Música\\canción ñ.txt"), "la");
    stick.Folder(this->On(L"src\\日本語"));
    stick.File(this->On(L"src\\日本語\\ファイル😀.txt"), "jp");
    stick.File(this->On(L"src\\oculto.dat"), "h", contract::kHidden);
    stick.Folder(this->On(L"src\\vacía"));
    const std::wstring deep = this->LongChain(this->On(L"src"));
    stick.File(deep + L"\\hondo.txt", "deep");
    ASSERT_GT((deep + L"\\hondo.txt").size(), 260u);
    EXPECT_TRUE(this->Service().FileExists(deep + L"\\hondo.txt"));
    EXPECT_EQ(this->Service().FileSize(deep + L"\\hondo.txt"), 4u);

    const TreeReport report = this->CopyFolder(L"src", this->Out(L"copia"), false);

    EXPECT_EQ(contract::FailuresOf(report), contract::Failures{});
    EXPECT_EQ(stick.Content(this->Out(L"copia\\Música\\canción ñ.txt")), "la");
    EXPECT_EQ(stick.Content(this->Out(L"copia\\日本語\\ファイル😀.txt")), "jp");
    EXPECT_EQ(stick.Content(this->Out(L"copia\\oculto.dat")), "h");
    EXPECT_TRUE(this->Service().FolderExists(this->Out(L"copia\\vacía")));
    const std::wstring copiedDeep = this->Out(L"copia") + deep.substr(this->On(L"src").size());
    EXPECT_EQ(stick.Content(copiedDeep + L"\\hondo.txt"), "deep");
}

TYPED_TEST_P(CopyContract, CopyFolderReusesTheDestinationAndReportsWhatItCannotCopy) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"src"));
    stick.File(this->On(L"src\\a.txt"), "nuevo");
    stick.File(this->On(L"src\\b.txt"), "b");
    stick.Folder(this->Out(L"copia"));
    stick.File(this->Out(L"copia\\a.txt"), "viejo");

    const TreeReport kept = this->CopyFolder(L"src", this->Out(L"copia"), false);
    EXPECT_EQ(contract::FailedPaths(kept), contract::Paths{this->On(L"src\\a.txt")});
    EXPECT_TRUE(contract::AllAre(kept, std::errc::file_exists));
    EXPECT_EQ(stick.Content(this->Out(L"copia\\a.txt")), "viejo");
    EXPECT_EQ(stick.Content(this->Out(L"copia\\b.txt")), "b");

    EXPECT_EQ(contract::FailuresOf(this->CopyFolder(L"src", this->Out(L"copia"), true)),
              contract::Failures{});
    EXPECT_EQ(stick.Content(this->Out(L"copia\\a.txt")), "nuevo");
}

TYPED_TEST_P(CopyContract, CopyFolderReportsAHeldFileAndCopiesTheRest) {
    if (const auto reason = TypeParam::CannotHoldOpen()) GTEST_SKIP() << *reason;
    auto& stick = this->stick_;
    stick.Folder(this->On(L"src"));
    stick.File(this->On(L"src\\a.txt"), "a");
    stick.File(this->On(L"src\\held.txt"), "h");
    [[maybe_unused]] const auto held = stick.HoldOpen(this->On(L"src\\held.txt"));

    const TreeReport report = this->CopyFolder(L"src", this->Out(L"copia"), true);

    EXPECT_EQ(contract::FailedPaths(report), contract::Paths{this->On(L"src\\held.txt")});
    EXPECT_TRUE(contract::AllAre(report, std::errc::device_or_resource_busy));
    EXPECT_EQ(stick.Content(this->Out(L"copia\\a.txt")), "a");
}

// Inside by identity: no link, other spelling of the drive, or way round through the other drive
// hides it.
TYPED_TEST_P(CopyContract, CopyFolderRefusesItsOwnSubtreeAndMakesNothing) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"src"));
    stick.Folder(this->On(L"src\\sub"));
    ASSERT_TRUE(stick.Link(this->On(L"alias"), this->On(L"src")));
    ASSERT_TRUE(stick.Link(this->Out(L"dentro"), this->On(L"src\\sub")));
    std::wstring lowerDrive = this->On(L"src\\x");
    lowerDrive[0] = static_cast<wchar_t>(lowerDrive[0] | 0x20);
    for (const std::wstring& destination :
         {this->On(L"src"), this->On(L"src\\sub\\copia"), lowerDrive, this->On(L"alias"),
          this->On(L"alias\\copia"), this->Out(L"dentro\\copia")}) {
        const TreeReport report = this->CopyFolder(L"src", destination, true);
        EXPECT_EQ(contract::FailuresOf(report),
                  (contract::Failures{{this->On(L"src"), VelquorError::DestinationInsideSource}}))
            << destination;
    }
    EXPECT_EQ(stick.Names(this->On(L"src")), contract::Paths{L"sub"});
    EXPECT_EQ(stick.Names(this->On(L"src\\sub")), contract::Paths{});
    EXPECT_EQ(contract::FailuresOf(this->CopyFolder(L"src", this->On(L"src2"), true)),
              contract::Failures{});
    EXPECT_TRUE(this->Service().FolderExists(this->On(L"src2\\sub")));
}

TYPED_TEST_P(CopyContract, CopyFolderOfAMissingSourceOrOntoAFileIsOneFailure) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"src"));
    stick.File(this->On(L"src\\a.txt"), "a");
    stick.File(this->Out(L"copia"), "archivo");

    const TreeReport inTheWay = this->CopyFolder(L"src", this->Out(L"copia"), true);
    EXPECT_EQ(contract::FailedPaths(inTheWay), contract::Paths{this->On(L"src")});
    EXPECT_TRUE(contract::AllAre(inTheWay, std::errc::file_exists));
    EXPECT_EQ(stick.Content(this->Out(L"copia")), "archivo");
    const TreeReport missing = this->CopyFolder(L"nada", this->Out(L"otra"), true);
    EXPECT_EQ(contract::FailedPaths(missing), contract::Paths{this->On(L"nada")});
    EXPECT_TRUE(contract::AllAre(missing, std::errc::no_such_file_or_directory));
    EXPECT_FALSE(stick.Exists(this->Out(L"otra")));
}

TYPED_TEST_P(CopyContract, AFolderLinkIsReportedNotFollowedInsideOrAsTheSource) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"src"));
    stick.File(this->On(L"src\\a.txt"), "a");
    ASSERT_TRUE(stick.Link(this->On(L"src\\loop"), this->On(L"src")));

    EXPECT_EQ(contract::FailuresOf(this->CopyFolder(L"src", this->Out(L"copia"), true)),
              (contract::Failures{{this->On(L"src\\loop"), VelquorError::LinkNotFollowed}}));
    EXPECT_EQ(stick.Content(this->Out(L"copia\\a.txt")), "a");
    EXPECT_FALSE(stick.Exists(this->Out(L"copia\\loop")));

    EXPECT_EQ(contract::FailuresOf(this->CopyFolder(L"src\\loop", this->Out(L"enlace"), true)),
              (contract::Failures{{this->On(L"src\\loop"), VelquorError::LinkNotFollowed}}));
    EXPECT_FALSE(stick.Exists(this->Out(L"enlace")));
}

// An earlier backup may carry any attributes: it gives way, and the copy carries the source's.
TYPED_TEST_P(CopyContract, AnEarlierCopyIsReplacedWhateverItsAttributes) {
    auto& stick = this->stick_;
    const contract::Paths names{L"autorun.inf", L"notas.txt"};
    stick.File(this->On(names[0]), "nuevo", contract::kReadOnly | contract::kSystem);
    stick.File(this->On(names[1]), "nuevo", contract::kHidden);
    for (const std::wstring& name : names) {
        stick.File(this->Out(name), "viejo", contract::kProtected);
    }

    for (const std::wstring& name : names) {
        EXPECT_EQ(this->CopyFile(this->On(name), this->Out(name), true), std::error_code()) << name;
        EXPECT_EQ(stick.Content(this->Out(name)), "nuevo") << name;
        EXPECT_EQ(this->Service().GetAttributes(this->Out(name)),
                  this->Service().GetAttributes(this->On(name)))
            << name;
    }
    EXPECT_TRUE(stick.IsReadOnly(this->Out(L"autorun.inf")));
    EXPECT_FALSE(stick.IsReadOnly(this->Out(L"notas.txt")));
    EXPECT_EQ(stick.Names(this->Out(L"")), names);
}

// The earlier backup is in use: it stays as it was, attributes too, and nothing is left beside it.
TYPED_TEST_P(CopyContract, AnEarlierCopyThatCannotGiveWayStaysAsItWas) {
    if (const auto reason = TypeParam::CannotHoldOpen()) GTEST_SKIP() << *reason;
    auto& stick = this->stick_;
    stick.File(this->On(L"notas.txt"), "nuevo");
    stick.File(this->Out(L"notas.txt"), "viejo", contract::kReadOnly | contract::kHidden);
    const auto before = this->Service().GetAttributes(this->Out(L"notas.txt"));
    ASSERT_TRUE(before.has_value());
    {
        [[maybe_unused]] const auto held = stick.HoldOpen(this->Out(L"notas.txt"));
        EXPECT_NE(this->CopyFile(this->On(L"notas.txt"), this->Out(L"notas.txt"), true),
                  std::error_code());
    }

    EXPECT_EQ(stick.Content(this->Out(L"notas.txt")), "viejo");
    EXPECT_EQ(this->Service().GetAttributes(this->Out(L"notas.txt")), before);
    EXPECT_EQ(stick.Names(this->Out(L"")), contract::Paths{L"notas.txt"});
}

TYPED_TEST_P(CopyContract, CopyFileReachesUnicodeAndLongNames) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"src"));
    stick.Folder(this->Out(L"dst"));
    const std::wstring source = this->LongChain(this->On(L"src")) + L"\\canción 日本 😀.txt";
    const std::wstring target = this->LongChain(this->Out(L"dst")) + L"\\copia ñ.txt";
    stick.File(source, "unicode");
    ASSERT_GT(target.size(), 260u);

    EXPECT_EQ(this->CopyFile(source, target, true), std::error_code());
    EXPECT_EQ(stick.Content(target), "unicode");
}

TYPED_TEST_P(CopyContract, ACopyOntoItselfIsRefusedAndTheFileStays) {
    this->stick_.File(this->On(L"a.txt"), "datos");

    EXPECT_EQ(this->CopyFile(this->On(L"a.txt"), this->On(L"a.txt"), true),
              VelquorError::DestinationIsSource);
    EXPECT_EQ(this->stick_.Content(this->On(L"a.txt")), "datos");
    EXPECT_EQ(this->stick_.Names(this->On(L"")), contract::Paths{L"a.txt"});
}

TYPED_TEST_P(CopyContract, ASourceThatIsALinkIsReportedNotFollowed) {
    auto& stick = this->stick_;
    stick.Folder(this->Out(L"carpeta"));
    stick.File(this->Out(L"carpeta\\a.txt"), "a");
    stick.File(this->Out(L"b.txt"), "b");
    ASSERT_TRUE(stick.Link(this->On(L"archivo"), this->Out(L"b.txt")));
    ASSERT_TRUE(stick.Link(this->On(L"carpeta"), this->Out(L"carpeta")));
    const std::error_code link = VelquorError::LinkNotFollowed;

    EXPECT_EQ(this->CopyFile(this->On(L"archivo"), this->Out(L"copia.txt"), true), link);
    EXPECT_EQ(this->CopyFile(this->On(L"carpeta"), this->Out(L"copia.txt"), true), link);
    for (const wchar_t* name : {L"archivo", L"carpeta"}) {
        EXPECT_EQ(contract::FailuresOf(this->CopyFolder(name, this->Out(L"copia"), true)),
                  (contract::Failures{{this->On(name), link}}));
    }
    EXPECT_EQ(stick.Names(this->Out(L"")), (contract::Paths{L"b.txt", L"carpeta"}));
}

TYPED_TEST_P(CopyContract, CopyFolderKeepsTheAttributesAndTimesOfEveryEntry) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"RECYCLER"), contract::kHidden | contract::kSystem);
    stick.Folder(this->On(L"RECYCLER\\sub"), contract::kHidden);
    stick.File(this->On(L"RECYCLER\\sub\\oculto.txt"), "o", contract::kHidden);
    stick.File(this->On(L"RECYCLER\\leer.txt"), "l", contract::kReadOnly);
    stick.Folder(this->On(L"RECYCLER\\fija"));
    stick.File(this->On(L"RECYCLER\\fija\\dentro.txt"), "d");
    // Inner entries first: what is written into a folder moves its time on.
    const contract::Paths entries{L"\\sub\\oculto.txt", L"\\leer.txt", L"\\fija\\dentro.txt",
                                  L"\\sub",            L"\\fija",     L""};
    for (const std::wstring& entry : entries) stick.Backdate(this->On(L"RECYCLER" + entry));
    stick.MakeReadOnly(this->On(L"RECYCLER\\fija"));

    const TreeReport report = this->CopyFolder(L"RECYCLER", this->Out(L"copia"), true);

    EXPECT_EQ(contract::FailuresOf(report), contract::Failures{});
    const Attributes compared =
        TypeParam::KeepsReadOnlyFolders() ? ~Attributes{0} : ~contract::kReadOnly;
    for (const std::wstring& entry : entries) {
        const std::wstring source = this->On(L"RECYCLER" + entry);
        const std::wstring copy = this->Out(L"copia" + entry);
        const auto sourceAttributes = this->Service().GetAttributes(source);
        const auto copyAttributes = this->Service().GetAttributes(copy);
        ASSERT_TRUE(sourceAttributes && copyAttributes) << entry;
        EXPECT_EQ(*copyAttributes & compared, *sourceAttributes & compared) << entry;
        EXPECT_EQ(stick.LastWrite(copy), stick.LastWrite(source)) << entry;
    }
    EXPECT_TRUE(stick.IsReadOnly(this->Out(L"copia\\leer.txt")));
    EXPECT_EQ(stick.IsReadOnly(this->Out(L"copia\\fija")), TypeParam::KeepsReadOnlyFolders());
    EXPECT_EQ(stick.Content(this->Out(L"copia\\fija\\dentro.txt")), "d");
}

TYPED_TEST_P(CopyContract, AnEntryThatVanishesDuringACopyIsReported) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"src"));
    stick.File(this->On(L"src\\a.txt"), "a");
    stick.Folder(this->On(L"src\\sub"));
    stick.File(this->On(L"src\\sub\\b.txt"), "b");
    bool moved = false;
    const BetweenItems between = [&] {
        if (moved) return;
        // The first call comes once the top is listed: sub is listed but not yet entered.
        moved = true;
        stick.Move(this->On(L"src\\sub"), this->On(L"movida"));
    };

    const TreeReport report =
        this->Service().CopyFolder(this->On(L"src"), this->Out(L"copia"), true, between);

    ASSERT_TRUE(moved);
    EXPECT_EQ(contract::FailedPaths(report), contract::Paths{this->On(L"src\\sub")});
    EXPECT_TRUE(contract::AllAre(report, std::errc::no_such_file_or_directory));
    EXPECT_EQ(stick.Content(this->Out(L"copia\\a.txt")), "a");
    EXPECT_EQ(stick.Content(this->On(L"movida\\b.txt")), "b");
    EXPECT_FALSE(stick.Exists(this->Out(L"copia\\sub")));
}

TYPED_TEST_P(CopyContract, BetweenIsCalledWhileALargeFileIsCopied) {
    auto& stick = this->stick_;
    const std::string large = contract::Pattern(8 * contract::kRoom + 1);
    stick.File(this->On(L"grande.bin"), large);
    int calls = 0;
    bool inPlaceEarly = false;
    const BetweenItems between = [&] {
        if (calls++ == 0) inPlaceEarly = stick.Exists(this->Out(L"grande.bin"));
    };

    EXPECT_EQ(this->Service().CopyFile(this->On(L"grande.bin"), this->Out(L"grande.bin"), true,
                                       between),
              std::error_code());

    EXPECT_GE(calls, 2);
    EXPECT_FALSE(inPlaceEarly) << "the copy had its name before it was complete";
    EXPECT_TRUE(stick.Content(this->Out(L"grande.bin")) == large);
    EXPECT_EQ(stick.Names(this->Out(L"")), contract::Paths{L"grande.bin"});
}

// As when the disk fills: the earlier backup survives byte for byte and nothing partial stays.
TYPED_TEST_P(CopyContract, ACopyThatFailsHalfWayLeavesTheEarlierCopyWhole) {
    auto& stick = this->stick_;
    const std::string large = contract::Pattern(4 * contract::kRoom);
    stick.File(this->On(L"grande.bin"), large);
    stick.Folder(this->On(L"src"));
    stick.File(this->On(L"src\\grande.bin"), large);
    stick.File(this->On(L"src\\chico.txt"), "chico");
    stick.File(this->Out(L"grande.bin"), "copia anterior");
    stick.Folder(this->Out(L"src"));
    stick.File(this->Out(L"src\\grande.bin"), "copia anterior");

    EXPECT_EQ(stick.CopyWithLittleRoom(this->On(L"grande.bin"), this->Out(L"grande.bin"), false),
              contract::Paths{this->On(L"grande.bin")});
    EXPECT_EQ(stick.CopyWithLittleRoom(this->On(L"src"), this->Out(L"src"), true),
              contract::Paths{this->On(L"src\\grande.bin")});

    EXPECT_EQ(stick.Content(this->Out(L"grande.bin")), "copia anterior");
    EXPECT_EQ(stick.Content(this->Out(L"src\\grande.bin")), "copia anterior");
    EXPECT_EQ(stick.Content(this->Out(L"src\\chico.txt")), "chico");
    EXPECT_EQ(stick.Names(this->Out(L"")), (contract::Paths{L"grande.bin", L"src"}));
    EXPECT_EQ(stick.Names(this->Out(L"src")), (contract::Paths{L"chico.txt", L"grande.bin"}));
}

REGISTER_TYPED_TEST_SUITE_P(CopyContract, CopyFileReplacesAnExistingFileOnlyWhenAsked,
                            CopyFileOfAFolderOrAMissingSourceFailsAndMakesNothing,
                            CopyFolderCopiesTheWholeTreeWithUnicodeHiddenAndLongPaths,
                            CopyFolderReusesTheDestinationAndReportsWhatItCannotCopy,
                            CopyFolderReportsAHeldFileAndCopiesTheRest,
                            CopyFolderRefusesItsOwnSubtreeAndMakesNothing,
                            CopyFolderOfAMissingSourceOrOntoAFileIsOneFailure,
                            AFolderLinkIsReportedNotFollowedInsideOrAsTheSource,
                            AnEarlierCopyIsReplacedWhateverItsAttributes,
                            AnEarlierCopyThatCannotGiveWayStaysAsItWas,
                            CopyFileReachesUnicodeAndLongNames,
                            ACopyOntoItselfIsRefusedAndTheFileStays,
                            ASourceThatIsALinkIsReportedNotFollowed,
                            CopyFolderKeepsTheAttributesAndTimesOfEveryEntry,
                            AnEntryThatVanishesDuringACopyIsReported,
                            BetweenIsCalledWhileALargeFileIsCopied,
                            ACopyThatFailsHalfWayLeavesTheEarlierCopyWhole);

TYPED_TEST_SUITE_P(DeleteContract);

TYPED_TEST_P(DeleteContract, AReadOnlyFileGoesOnlyWithForce) {
    auto& stick = this->stick_;
    const std::wstring autorun = this->On(L"autorun.inf");
    stick.File(autorun, "x", contract::kReadOnly | contract::kHidden);

    EXPECT_EQ(this->Service().DeleteFile(autorun, false), std::errc::permission_denied);
    EXPECT_TRUE(stick.IsReadOnly(autorun));
    EXPECT_EQ(this->Service().DeleteFile(autorun, true), std::error_code());
    EXPECT_FALSE(stick.Exists(autorun));
    EXPECT_EQ(this->Service().DeleteFile(autorun, true), std::errc::no_such_file_or_directory);
}

TYPED_TEST_P(DeleteContract, DeleteFileRefusesFoldersAndLinksToThem) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"Fotos"));
    ASSERT_TRUE(stick.Link(this->On(L"atajo"), this->On(L"Fotos")));

    EXPECT_EQ(this->Service().DeleteFile(this->On(L"Fotos"), true), std::errc::is_a_directory);
    EXPECT_EQ(this->Service().DeleteFile(this->On(L"atajo"), true), std::errc::is_a_directory);
    EXPECT_TRUE(this->Service().FolderExists(this->On(L"Fotos")));
    EXPECT_TRUE(this->Service().FolderExists(this->On(L"atajo")));
}

TYPED_TEST_P(DeleteContract, VanishedPathsAndFilesAskedAsFoldersAreFailures) {
    this->stick_.File(this->On(L"a.txt"), "x");
    FileSystemService& service = this->Service();

    EXPECT_EQ(service.DeleteFile(this->On(L"nada.txt"), true),
              std::errc::no_such_file_or_directory);
    const TreeReport vanished = this->DeleteFolder(L"nada", true);
    EXPECT_EQ(contract::FailedPaths(vanished), contract::Paths{this->On(L"nada")});
    EXPECT_TRUE(contract::AllAre(vanished, std::errc::no_such_file_or_directory));
    const TreeReport file = this->DeleteFolder(L"a.txt", true);
    EXPECT_EQ(contract::FailedPaths(file), contract::Paths{this->On(L"a.txt")});
    EXPECT_TRUE(contract::AllAre(file, std::errc::not_a_directory));
    EXPECT_TRUE(this->stick_.Exists(this->On(L"a.txt")));
}

TYPED_TEST_P(DeleteContract, OnlyOneEntryOfADrivesRootIsEverDeleted) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"Fotos"));
    stick.File(this->On(L"Fotos\\boda.jpg"), "boda");
    stick.File(this->On(L"notas.txt"), "notas");
    const std::wstring drive = stick.Drive();
    const std::wstring refused[] = {drive,
                                    drive + L"\\",
                                    drive + L"\\\\",
                                    drive + L"Fotos",
                                    L"Fotos",
                                    L"\\Fotos",
                                    drive + L"\\Fotos\\boda.jpg",
                                    drive + L"\\Fotos\\",
                                    drive + L"/Fotos",
                                    drive + L"\\.",
                                    drive + L"\\..",
                                    drive + L"\\..\\Fotos",
                                    L"\\\\?\\" + drive + L"\\Fotos",
                                    L""};
    const std::error_code notRoot = VelquorError::NotARootEntry;
    for (const std::wstring& path : refused) {
        EXPECT_EQ(this->Service().DeleteFile(path, true), notRoot) << path;
        const TreeReport report = this->Service().DeleteFolder(path, true, contract::Nothing());
        EXPECT_EQ(contract::FailuresOf(report), (contract::Failures{{path, notRoot}}))
            << path;
    }
    EXPECT_EQ(stick.Content(this->On(L"Fotos\\boda.jpg")), "boda");
    EXPECT_EQ(stick.Content(this->On(L"notas.txt")), "notas");
}

TYPED_TEST_P(DeleteContract, NamesThatMalwareBendsStayReachable) {
    // A device name and a trailing dot: plain Win32 paths would turn them into something else.
    for (const std::wstring& path : {this->On(L"con"), this->On(L"oculto.")}) {
        this->stick_.Folder(path);
        this->stick_.File(path + L"\\x.exe", "x");

        EXPECT_TRUE(this->Service().FolderExists(path)) << path;
        EXPECT_EQ(RootFolders(this->Service(), this->stick_.Drive()).paths, contract::Paths{path});
        const TreeReport report = this->Service().DeleteFolder(path, true, contract::Nothing());
        EXPECT_EQ(contract::FailuresOf(report), contract::Failures{});
        EXPECT_FALSE(this->stick_.Exists(path)) << path;
    }
}

TYPED_TEST_P(DeleteContract, ForceRemovesProtectedEntriesAtAnyDepth) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"victim"));
    stick.Folder(this->On(L"victim\\RECYCLER"), contract::kHidden | contract::kSystem);
    stick.File(this->On(L"victim\\RECYCLER\\x.exe"), "x",
               contract::kProtected);
    const std::wstring deep = this->LongChain(this->On(L"victim"));
    stick.File(deep + L"\\solo lectura.txt", "x", contract::kReadOnly);
    stick.Folder(deep + L"\\protegida");
    stick.File(this->On(L"victim\\notas.txt"), "x");
    stick.MakeReadOnly(deep + L"\\protegida");
    stick.MakeReadOnly(this->On(L"victim"));

    EXPECT_EQ(contract::FailuresOf(this->DeleteFolder(L"victim", true)), contract::Failures{});
    EXPECT_FALSE(stick.Exists(this->On(L"victim")));
}

TYPED_TEST_P(DeleteContract, WithoutForceAReadOnlyFileDeepInsideIsTheOneFailure) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"RECYCLER"));
    stick.Folder(this->On(L"RECYCLER\\a"));
    stick.Folder(this->On(L"RECYCLER\\a\\b"));
    stick.Folder(this->On(L"RECYCLER\\a\\b\\c"));
    stick.File(this->On(L"RECYCLER\\a\\b\\c\\virus.exe"), "x", contract::kReadOnly);
    stick.File(this->On(L"RECYCLER\\a\\b\\otro.txt"), "x", contract::kHidden | contract::kSystem);
    stick.Folder(this->On(L"RECYCLER\\z"));
    stick.File(this->On(L"RECYCLER\\z\\y.txt"), "x");
    stick.File(this->On(L"RECYCLER\\x.txt"), "x");

    const TreeReport report = this->DeleteFolder(L"RECYCLER", false);
    EXPECT_EQ(contract::FailedPaths(report),
              contract::Paths{this->On(L"RECYCLER\\a\\b\\c\\virus.exe")});
    EXPECT_TRUE(contract::AllAre(report, std::errc::permission_denied));
    EXPECT_TRUE(stick.Exists(this->On(L"RECYCLER\\a\\b\\c\\virus.exe")));
    EXPECT_FALSE(stick.Exists(this->On(L"RECYCLER\\a\\b\\otro.txt")));
    EXPECT_FALSE(stick.Exists(this->On(L"RECYCLER\\z")));
    EXPECT_FALSE(stick.Exists(this->On(L"RECYCLER\\x.txt")));

    EXPECT_EQ(contract::FailuresOf(this->DeleteFolder(L"RECYCLER", true)), contract::Failures{});
    EXPECT_FALSE(stick.Exists(this->On(L"RECYCLER")));
}

TYPED_TEST_P(DeleteContract, WithoutForceAReadOnlyFolderStaysWhole) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"d"));
    stick.Folder(this->On(L"d\\a"));
    stick.File(this->On(L"d\\a\\f.txt"), "x");
    stick.Folder(this->On(L"d\\ro"));
    stick.File(this->On(L"d\\ro\\g.txt"), "x");
    stick.MakeReadOnly(this->On(L"d\\ro"));
    stick.Folder(this->On(L"top"));
    stick.File(this->On(L"top\\h.txt"), "x");
    stick.MakeReadOnly(this->On(L"top"));

    const TreeReport nested = this->DeleteFolder(L"d", false);
    EXPECT_EQ(contract::FailedPaths(nested), contract::Paths{this->On(L"d\\ro")});
    EXPECT_TRUE(contract::AllAre(nested, std::errc::permission_denied));
    EXPECT_TRUE(stick.Exists(this->On(L"d\\ro\\g.txt")));
    EXPECT_TRUE(stick.IsReadOnly(this->On(L"d\\ro")));
    EXPECT_FALSE(stick.Exists(this->On(L"d\\a")));

    const TreeReport top = this->DeleteFolder(L"top", false);
    EXPECT_EQ(contract::FailedPaths(top), contract::Paths{this->On(L"top")});
    EXPECT_TRUE(contract::AllAre(top, std::errc::permission_denied));
    EXPECT_TRUE(stick.Exists(this->On(L"top\\h.txt")));
    EXPECT_EQ(contract::FailuresOf(this->DeleteFolder(L"top", true)), contract::Failures{});
    EXPECT_FALSE(stick.Exists(this->On(L"top")));
}

TYPED_TEST_P(DeleteContract, AHeldFileStaysWithItsAttributesAndIsTheOneFailure) {
    if (const auto reason = TypeParam::CannotHoldOpen()) GTEST_SKIP() << *reason;
    auto& stick = this->stick_;
    stick.File(this->On(L"held.txt"), "x", contract::kReadOnly);
    stick.Folder(this->On(L"victim"));
    stick.File(this->On(L"victim\\held.txt"), "x");
    stick.File(this->On(L"victim\\free.txt"), "x");
    [[maybe_unused]] const auto heldRoot = stick.HoldOpen(this->On(L"held.txt"));
    [[maybe_unused]] const auto heldInside = stick.HoldOpen(this->On(L"victim\\held.txt"));

    EXPECT_EQ(this->Service().DeleteFile(this->On(L"held.txt"), true),
              std::errc::device_or_resource_busy);
    EXPECT_TRUE(stick.IsReadOnly(this->On(L"held.txt")));
    const TreeReport report = this->DeleteFolder(L"victim", true);
    EXPECT_EQ(contract::FailedPaths(report), contract::Paths{this->On(L"victim\\held.txt")});
    EXPECT_TRUE(contract::AllAre(report, std::errc::device_or_resource_busy));
    EXPECT_FALSE(stick.Exists(this->On(L"victim\\free.txt")));
}

// Targets of the links lie on the other drive: nothing done on the stick may reach them.
TYPED_TEST_P(DeleteContract, LinksInsideADeletedFolderGoAsLinksAndTheirTargetsSurvive) {
    auto& stick = this->stick_;
    stick.Folder(this->Out(L"keep"));
    stick.File(this->Out(L"keep\\precious.txt"), "p", contract::kReadOnly);
    stick.MakeReadOnly(this->Out(L"keep"));
    stick.Folder(this->Out(L"empty"));
    stick.Folder(this->On(L"victim"));
    stick.File(this->On(L"victim\\x.txt"), "x");
    stick.Folder(this->On(L"victim\\sub"));
    const contract::Paths links{this->On(L"victim\\sub\\loop"), this->On(L"victim\\sub\\toFile"),
                                this->On(L"victim\\toEmpty"), this->On(L"victim\\toKeep")};
    ASSERT_TRUE(stick.Link(links[0], this->On(L"victim")));
    ASSERT_TRUE(stick.Link(links[1], this->Out(L"keep\\precious.txt")));
    ASSERT_TRUE(stick.Link(links[2], this->Out(L"empty")));
    ASSERT_TRUE(stick.Link(links[3], this->Out(L"keep")));

    const TreeReport report = this->DeleteFolder(L"victim", true);

    EXPECT_EQ(stick.Content(this->Out(L"keep\\precious.txt")), "p");
    EXPECT_TRUE(stick.IsReadOnly(this->Out(L"keep\\precious.txt")));
    EXPECT_TRUE(stick.IsReadOnly(this->Out(L"keep")));
    EXPECT_TRUE(this->Service().FolderExists(this->Out(L"empty")));
    EXPECT_FALSE(stick.Exists(this->On(L"victim\\x.txt")));
    if (TypeParam::RemovesLinks()) {
        EXPECT_EQ(contract::FailuresOf(report), contract::Failures{});
        EXPECT_FALSE(stick.Exists(this->On(L"victim")));
    } else {
        EXPECT_EQ(contract::FailedPaths(report), links);
        EXPECT_TRUE(contract::AllAre(report, VelquorError::LinkNotRemovable));
        for (const std::wstring& link : links) EXPECT_TRUE(stick.Exists(link)) << link;
    }
}

TYPED_TEST_P(DeleteContract, ARootEntryThatIsALinkLosesAtMostTheLink) {
    auto& stick = this->stick_;
    stick.Folder(this->Out(L"keep"));
    stick.File(this->Out(L"keep\\precious.txt"), "p");
    stick.Folder(this->Out(L"empty"));
    ASSERT_TRUE(stick.Link(this->On(L"autorun.inf"), this->Out(L"keep\\precious.txt")));
    ASSERT_TRUE(stick.Link(this->On(L"RECYCLER"), this->Out(L"keep")));
    ASSERT_TRUE(stick.Link(this->On(L"vacia"), this->Out(L"empty")));
    // A trailing dot, which some systems drop from a name, beside the very name without it.
    stick.Folder(this->On(L"Fotos"));
    stick.File(this->On(L"Fotos\\boda.jpg"), "boda");
    ASSERT_TRUE(stick.Link(this->On(L"Fotos."), this->On(L"Fotos")));
    ASSERT_TRUE(this->Service().FileExists(this->On(L"autorun.inf")));

    const std::error_code file = this->Service().DeleteFile(this->On(L"autorun.inf"), true);
    const TreeReport folder = this->DeleteFolder(L"RECYCLER", true);
    const TreeReport empty = this->DeleteFolder(L"vacia", true);
    const TreeReport dotted = this->DeleteFolder(L"Fotos.", true);

    EXPECT_EQ(stick.Content(this->Out(L"keep\\precious.txt")), "p");
    EXPECT_TRUE(this->Service().FolderExists(this->Out(L"empty")));
    EXPECT_EQ(stick.Content(this->On(L"Fotos\\boda.jpg")), "boda");
    const std::error_code expected = TypeParam::RemovesLinks()
                                         ? std::error_code()
                                         : std::error_code(VelquorError::LinkNotRemovable);
    EXPECT_EQ(file, expected);
    for (const TreeReport* report : {&folder, &empty, &dotted}) {
        EXPECT_EQ(report->failures.size(), TypeParam::RemovesLinks() ? 0u : 1u);
        EXPECT_TRUE(contract::AllAre(*report, VelquorError::LinkNotRemovable));
    }
    for (const wchar_t* name : {L"autorun.inf", L"RECYCLER", L"vacia", L"Fotos."}) {
        EXPECT_EQ(stick.Exists(this->On(name)), !TypeParam::RemovesLinks()) << name;
    }
}

TYPED_TEST_P(DeleteContract, AVeryDeepTreeIsCopiedAndDeleted) {
    std::wstring deep = this->On(L"d");
    for (int level = 0; level < TypeParam::kDeepTree; ++level) {
        this->stick_.Folder(deep);
        deep += L"\\d";
    }
    this->stick_.File(deep + L".txt", "fondo", contract::kReadOnly);

    EXPECT_EQ(contract::FailuresOf(this->CopyFolder(L"d", this->On(L"copia"), false)),
              contract::Failures{});
    const std::wstring copied = this->On(L"copia") + deep.substr(this->On(L"d").size());
    EXPECT_EQ(this->stick_.Content(copied + L".txt"), "fondo");
    EXPECT_EQ(contract::FailuresOf(this->DeleteFolder(L"d", true)), contract::Failures{});
    EXPECT_EQ(contract::FailuresOf(this->DeleteFolder(L"copia", true)), contract::Failures{});
    EXPECT_FALSE(this->stick_.Exists(this->On(L"d")));
    EXPECT_FALSE(this->stick_.Exists(this->On(L"copia")));
}

TYPED_TEST_P(DeleteContract, BetweenItemsIsCalledAndMayDeleteWhatTheWalkHasNotReached) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"victim"));
    stick.Folder(this->On(L"victim\\sub"));
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"sub\\c.txt", L"sub\\d.txt"}) {
        stick.File(this->On(L"victim\\") + name, "x");
    }
    constexpr int kItems = 6;  // four files, two folders
    int calls = 0;
    const BetweenItems between = [&] {
        ++calls;
        // The first removal is at the top: the walk has not yet entered sub.
        if (calls == 1) stick.Move(this->On(L"victim\\sub\\c.txt"), this->On(L"c.txt"));
    };

    const TreeReport report = this->Service().DeleteFolder(this->On(L"victim"), true, between);
    EXPECT_EQ(contract::FailuresOf(report), contract::Failures{});
    EXPECT_FALSE(stick.Exists(this->On(L"victim")));
    EXPECT_EQ(stick.Content(this->On(L"c.txt")), "x");
    EXPECT_GE(calls, 1);
    EXPECT_LE(calls, kItems - 1);
}

TYPED_TEST_P(DeleteContract, AFolderSwappedForALinkDuringTheWalkDoesNotRedirectIt) {
    auto& stick = this->stick_;
    stick.Folder(this->Out(L"outside"));
    stick.File(this->Out(L"outside\\precious.txt"), "p");
    stick.Folder(this->On(L"victim"));
    stick.File(this->On(L"victim\\a.txt"), "x");
    stick.Folder(this->On(L"victim\\sub"));
    stick.File(this->On(L"victim\\sub\\b.txt"), "x");
    bool swapped = false;
    const BetweenItems between = [&] {
        if (swapped) return;
        // The first removal is at the top: sub is listed but not yet entered.
        swapped = true;
        stick.Move(this->On(L"victim\\sub"), this->On(L"moved"));
        EXPECT_TRUE(stick.Link(this->On(L"victim\\sub"), this->Out(L"outside")));
    };

    const TreeReport report = this->Service().DeleteFolder(this->On(L"victim"), true, between);

    ASSERT_TRUE(swapped);
    EXPECT_EQ(stick.Content(this->Out(L"outside\\precious.txt")), "p");
    EXPECT_EQ(stick.Content(this->On(L"moved\\b.txt")), "x");
    if (TypeParam::RemovesLinks()) {
        EXPECT_EQ(contract::FailuresOf(report), contract::Failures{});
        EXPECT_FALSE(stick.Exists(this->On(L"victim")));
    } else {
        EXPECT_EQ(contract::FailuresOf(report),
                  (contract::Failures{{this->On(L"victim\\sub"), VelquorError::LinkNotRemovable}}));
    }
}

REGISTER_TYPED_TEST_SUITE_P(DeleteContract, AReadOnlyFileGoesOnlyWithForce,
                            DeleteFileRefusesFoldersAndLinksToThem,
                            VanishedPathsAndFilesAskedAsFoldersAreFailures,
                            OnlyOneEntryOfADrivesRootIsEverDeleted,
                            NamesThatMalwareBendsStayReachable,
                            ForceRemovesProtectedEntriesAtAnyDepth,
                            WithoutForceAReadOnlyFileDeepInsideIsTheOneFailure,
                            WithoutForceAReadOnlyFolderStaysWhole,
                            AHeldFileStaysWithItsAttributesAndIsTheOneFailure,
                            LinksInsideADeletedFolderGoAsLinksAndTheirTargetsSurvive,
                            ARootEntryThatIsALinkLosesAtMostTheLink,
                            AVeryDeepTreeIsCopiedAndDeleted,
                            BetweenItemsIsCalledAndMayDeleteWhatTheWalkHasNotReached,
                            AFolderSwappedForALinkDuringTheWalkDoesNotRedirectIt);

TYPED_TEST_SUITE_P(AttributesContract);

namespace contract {

inline constexpr Attributes kUnhide = kHidden | kSystem;

}  // namespace contract

// What showing an infected stick's folder again needs: everything inside visible, at any depth,
// and what was read-only still read-only.
TYPED_TEST_P(AttributesContract, ClearingShowsAHiddenTreeWholeAndKeepsReadOnly) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"Fotos"), contract::kHidden | contract::kSystem);
    stick.Folder(this->On(L"Fotos\\2023"), contract::kHidden);
    stick.File(this->On(L"Fotos\\2023\\boda.jpg"), "b", contract::kHidden);
    stick.File(this->On(L"Fotos\\2023\\lista.txt"), "l", contract::kReadOnly | contract::kUnhide);
    stick.File(this->On(L"Fotos\\visible.txt"), "v");
    const contract::Paths hidden{this->On(L"Fotos"), this->On(L"Fotos\\2023"),
                                 this->On(L"Fotos\\2023\\boda.jpg"),
                                 this->On(L"Fotos\\2023\\lista.txt")};

    const AttributeReport report =
        this->Service().ClearAttributes(this->On(L"Fotos"), contract::kUnhide, contract::Nothing());

    EXPECT_EQ(contract::FailuresOf(report.failures), contract::Failures{});
    EXPECT_EQ(contract::ChangedPaths(report), contract::Sorted(hidden));
    for (const AttributeChange& change : report.changes) {
        EXPECT_NE(change.before & contract::kUnhide, 0u) << change.path;
        EXPECT_EQ(change.after, change.before & ~contract::kUnhide) << change.path;
        EXPECT_EQ(this->Service().GetAttributes(change.path), change.after) << change.path;
    }
    EXPECT_EQ(this->Service().GetAttributes(this->On(L"Fotos\\visible.txt")).value_or(~0u) &
                  contract::kUnhide,
              0u);
    EXPECT_TRUE(stick.IsReadOnly(this->On(L"Fotos\\2023\\lista.txt")));
    EXPECT_EQ(stick.Content(this->On(L"Fotos\\2023\\boda.jpg")), "b");
}

TYPED_TEST_P(AttributesContract, SetAttributesGivesBackWhatAClearingRecorded) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"RECYCLER"), contract::kHidden | contract::kSystem);
    stick.File(this->On(L"RECYCLER\\x.exe"), "x", contract::kReadOnly | contract::kUnhide);
    stick.File(this->On(L"autorun.inf"), "x", contract::kHidden);
    AttributeReport done;
    for (const wchar_t* name : {L"RECYCLER", L"autorun.inf"}) {
        const AttributeReport report =
            this->Service().ClearAttributes(this->On(name), contract::kUnhide, contract::Nothing());
        done.changes.insert(done.changes.end(), report.changes.begin(), report.changes.end());
    }
    ASSERT_EQ(done.changes.size(), 3u);

    for (const AttributeChange& change : done.changes) {
        EXPECT_EQ(this->Service().SetAttributes(change.path, change.before), std::error_code())
            << change.path;
        EXPECT_EQ(this->Service().GetAttributes(change.path), change.before) << change.path;
    }
    EXPECT_TRUE(stick.IsReadOnly(this->On(L"RECYCLER\\x.exe")));
}

// The targets lie on the other drive: nothing done on the stick may reach them.
TYPED_TEST_P(AttributesContract, LinksAreReportedAndNeitherTheyNorTheirTargetsChange) {
    auto& stick = this->stick_;
    stick.Folder(this->Out(L"oculta"), contract::kHidden);
    stick.File(this->Out(L"oculto.txt"), "o", contract::kHidden | contract::kSystem);
    stick.Folder(this->On(L"d"), contract::kHidden);
    ASSERT_TRUE(stick.Link(this->On(L"d\\carpeta"), this->Out(L"oculta")));
    ASSERT_TRUE(stick.Link(this->On(L"d\\archivo"), this->Out(L"oculto.txt")));
    ASSERT_TRUE(stick.Link(this->On(L"enlace"), this->Out(L"oculta")));
    const auto folderBefore = this->Service().GetAttributes(this->Out(L"oculta"));
    const auto fileBefore = this->Service().GetAttributes(this->Out(L"oculto.txt"));
    const std::error_code link = VelquorError::LinkNotFollowed;

    const AttributeReport inside =
        this->Service().ClearAttributes(this->On(L"d"), contract::kUnhide, contract::Nothing());
    const AttributeReport root = this->Service().ClearAttributes(
        this->On(L"enlace"), contract::kUnhide, contract::Nothing());

    EXPECT_EQ(contract::FailuresOf(inside.failures),
              (contract::Failures{{this->On(L"d\\archivo"), link},
                                  {this->On(L"d\\carpeta"), link}}));
    EXPECT_EQ(contract::ChangedPaths(inside), contract::Paths{this->On(L"d")});
    EXPECT_EQ(contract::FailuresOf(root.failures),
              (contract::Failures{{this->On(L"enlace"), link}}));
    EXPECT_EQ(contract::ChangedPaths(root), contract::Paths{});
    EXPECT_EQ(this->Service().SetAttributes(this->On(L"d\\archivo"), 0), link);
    EXPECT_EQ(this->Service().SetAttributes(this->On(L"enlace"), 0), link);
    EXPECT_EQ(this->Service().GetAttributes(this->On(L"d\\archivo")), std::nullopt);
    ASSERT_TRUE(folderBefore && fileBefore);
    EXPECT_EQ(this->Service().GetAttributes(this->Out(L"oculta")), folderBefore);
    EXPECT_EQ(this->Service().GetAttributes(this->Out(L"oculto.txt")), fileBefore);
}

TYPED_TEST_P(AttributesContract, VanishedEntriesAndPathsBeyondTheRootAreReported) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"d"), contract::kHidden);
    stick.File(this->On(L"d\\a.txt"), "a", contract::kHidden);
    stick.Folder(this->On(L"d\\sub"), contract::kHidden);
    stick.File(this->On(L"d\\sub\\b.txt"), "b", contract::kHidden);
    bool moved = false;
    const BetweenItems between = [&] {
        if (moved) return;
        // The first call comes once d is listed: sub is listed but not yet entered.
        moved = true;
        stick.Move(this->On(L"d\\sub"), this->On(L"movida"));
    };
    const auto gone = std::errc::no_such_file_or_directory;

    const AttributeReport report =
        this->Service().ClearAttributes(this->On(L"d"), contract::kUnhide, between);

    ASSERT_TRUE(moved);
    EXPECT_EQ(contract::FailedPaths(report.failures), contract::Paths{this->On(L"d\\sub")});
    EXPECT_TRUE(contract::AllAre(report.failures, gone));
    EXPECT_EQ(contract::ChangedPaths(report),
              (contract::Paths{this->On(L"d"), this->On(L"d\\a.txt")}));
    const AttributeReport missing =
        this->Service().ClearAttributes(this->On(L"nada"), contract::kUnhide, contract::Nothing());
    EXPECT_TRUE(contract::AllAre(missing.failures, gone));
    EXPECT_EQ(missing.failures.size(), 1u);
    EXPECT_EQ(this->Service().GetAttributes(this->On(L"nada")), std::nullopt);
    EXPECT_EQ(this->Service().SetAttributes(this->On(L"nada"), contract::kHidden), gone);
    const AttributeReport inner = this->Service().ClearAttributes(
        this->On(L"movida\\b.txt"), contract::kUnhide, contract::Nothing());
    EXPECT_EQ(contract::FailuresOf(inner.failures),
              (contract::Failures{{this->On(L"movida\\b.txt"), VelquorError::NotARootEntry}}));
    EXPECT_NE(this->Service().GetAttributes(this->On(L"movida\\b.txt")).value_or(0) &
                  contract::kHidden,
              0u);
}

REGISTER_TYPED_TEST_SUITE_P(AttributesContract, ClearingShowsAHiddenTreeWholeAndKeepsReadOnly,
                            SetAttributesGivesBackWhatAClearingRecorded,
                            LinksAreReportedAndNeitherTheyNorTheirTargetsChange,
                            VanishedEntriesAndPathsBeyondTheRootAreReported);

// Instantiates every contract suite for one Stick.
#define VELQUOR_FILE_SYSTEM_CONTRACT(Prefix, Stick)                          \
    INSTANTIATE_TYPED_TEST_SUITE_P(Prefix, RootListingContract, Stick);     \
    INSTANTIATE_TYPED_TEST_SUITE_P(Prefix, EntryFactsContract, Stick);      \
    INSTANTIATE_TYPED_TEST_SUITE_P(Prefix, CopyContract, Stick);            \
    INSTANTIATE_TYPED_TEST_SUITE_P(Prefix, DeleteContract, Stick);          \
    INSTANTIATE_TYPED_TEST_SUITE_P(Prefix, AttributesContract, Stick)
