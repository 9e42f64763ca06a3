#pragma once

// What the properties box asks of one entry.

#include "common/contract/Stick.h"

template <class Stick> using EntryFactsContract = FileSystemContract<Stick>;

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
