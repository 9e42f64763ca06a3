#pragma once

// Copies of files and folder trees, as the backup makes them.

#include "common/contract/Stick.h"

template <class Stick> using CopyContract = FileSystemContract<Stick>;

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
        EXPECT_EQ(stick.AttributesOf(this->Out(name)), stick.AttributesOf(this->On(name))) << name;
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
    const auto before = stick.AttributesOf(this->Out(L"notas.txt"));
    ASSERT_TRUE(before.has_value());
    {
        [[maybe_unused]] const auto held = stick.HoldOpen(this->Out(L"notas.txt"));
        EXPECT_NE(this->CopyFile(this->On(L"notas.txt"), this->Out(L"notas.txt"), true),
                  std::error_code());
    }

    EXPECT_EQ(stick.Content(this->Out(L"notas.txt")), "viejo");
    EXPECT_EQ(stick.AttributesOf(this->Out(L"notas.txt")), before);
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
        const auto sourceAttributes = stick.AttributesOf(source);
        const auto copyAttributes = stick.AttributesOf(copy);
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

    CopyRun run;
    const TreeReport report =
        this->Service().CopyFolder(this->On(L"src"), this->Out(L"copia"), true, run, between);

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

    CopyRun run;
    EXPECT_EQ(this->Service().CopyFile(this->On(L"grande.bin"), this->Out(L"grande.bin"), true, run,
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
