#pragma once

// What a drive's root holds, as the listing asks for it.

#include "common/contract/Stick.h"

template <class Stick> using RootListingContract = FileSystemContract<Stick>;

TYPED_TEST_SUITE_P(RootListingContract);

TYPED_TEST_P(RootListingContract, FoldersAndFilesApartHiddenIncludedWithTheirAttributesLinksAsWhatTheyLeadTo) {
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
    // Hidden and system as the malware sets them, on what the listing hands over.
    std::vector<std::wstring> hidden;
    for (const RootEntries* entries : {&folders, &files}) {
        for (size_t i = 0; i < entries->paths.size(); ++i) {
            const Attributes both = contract::kHidden | contract::kSystem;
            if ((entries->attributes[i] & both) == both) hidden.push_back(entries->paths[i]);
        }
    }
    EXPECT_EQ(contract::Sorted(hidden), (contract::Paths{this->On(L"RECYCLER"), this->On(L"autorun.inf")}));
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
                            FoldersAndFilesApartHiddenIncludedWithTheirAttributesLinksAsWhatTheyLeadTo,
                            AnEmptyRootIsNoErrorANotReadyOneIsAndDrivesTakeEitherForm);
