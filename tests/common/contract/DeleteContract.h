#pragma once

// Deleting root entries and the trees under them, as the cleaning does.

#include "common/contract/Stick.h"

template <class Stick> using DeleteContract = FileSystemContract<Stick>;

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
