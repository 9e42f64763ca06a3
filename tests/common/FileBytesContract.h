#pragma once

#include <cstddef>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

#include "FileBytes.h"

// What ReadFileBytes promises on every platform. A platform's suite instantiates it with a Place
// that makes entries in a folder of its own and reads them back through that platform's reader:
//   void File(const std::string& name, const std::string& bytes);
//   void Folder(const std::string& name);
//   bool FileLink(const std::string& name, const std::string& target);  // false where none can be made
//   std::error_code Read(const std::string& name, std::size_t most, FileBytes& bytes);
template <class Place> class FileBytesContract : public ::testing::Test {
protected:
    std::string Text(const FileBytes& bytes) { return {bytes.begin(), bytes.end()}; }

    Place place_;
};

TYPED_TEST_SUITE_P(FileBytesContract);

TYPED_TEST_P(FileBytesContract, ReadsASmallFileWhole) {
    this->place_.File("autorun.inf", "[autorun]\r\nopen=x.exe\r\n");
    FileBytes bytes{'o', 'l', 'd'};

    EXPECT_FALSE(this->place_.Read("autorun.inf", 100, bytes));
    EXPECT_EQ(this->Text(bytes), "[autorun]\r\nopen=x.exe\r\n");
}

TYPED_TEST_P(FileBytesContract, ReadsNoMoreThanItIsAskedFor) {
    std::string contents(200'000, ' ');
    for (std::size_t i = 0; i < contents.size(); i += 7) contents[i] = static_cast<char>('a' + i % 26);
    this->place_.File("grande.lnk", contents);
    this->place_.File("vacio.lnk", "");
    FileBytes bytes;

    EXPECT_FALSE(this->place_.Read("grande.lnk", 150'001, bytes));
    EXPECT_EQ(this->Text(bytes), contents.substr(0, 150'001));
    EXPECT_FALSE(this->place_.Read("grande.lnk", contents.size() + 1, bytes));
    EXPECT_EQ(this->Text(bytes), contents);
    EXPECT_FALSE(this->place_.Read("vacio.lnk", 100, bytes));
    EXPECT_TRUE(bytes.empty());
}

TYPED_TEST_P(FileBytesContract, AFolderIsToldApart) {
    this->place_.Folder("Documentos.lnk");
    FileBytes bytes{'o', 'l', 'd'};

    EXPECT_EQ(this->place_.Read("Documentos.lnk", 100, bytes), std::errc::is_a_directory);
    EXPECT_TRUE(bytes.empty());
}

TYPED_TEST_P(FileBytesContract, AMissingFileIsAnError) {
    FileBytes bytes{'o', 'l', 'd'};

    EXPECT_EQ(this->place_.Read("no-existe.lnk", 100, bytes), std::errc::no_such_file_or_directory);
    EXPECT_TRUE(bytes.empty());
}

TYPED_TEST_P(FileBytesContract, ALinkIsNotFollowed) {
    this->place_.File("real.exe", "MZ contents of the target");
    if (!this->place_.FileLink("Documentos.lnk", "real.exe")) GTEST_SKIP() << "no link to a file can be made here";
    FileBytes bytes{'o', 'l', 'd'};

    const std::error_code error = this->place_.Read("Documentos.lnk", 100, bytes);
    EXPECT_TRUE(error);
    EXPECT_NE(error, std::errc::is_a_directory);
    EXPECT_TRUE(bytes.empty());
}

REGISTER_TYPED_TEST_SUITE_P(FileBytesContract, ReadsASmallFileWhole, ReadsNoMoreThanItIsAskedFor, AFolderIsToldApart,
                            AMissingFileIsAnError, ALinkIsNotFollowed);
