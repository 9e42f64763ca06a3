#include "FileBytesReader.h"

#include <sys/stat.h>

#include <string>

#include <gtest/gtest.h>

#include "support/TempTree.h"
#include "common/FileBytesContract.h"

namespace {

class PosixPlace {
public:
    void File(const std::string& name, const std::string& bytes) { tree_.File(name, bytes); }
    void Folder(const std::string& name) { tree_.Folder(name); }
    bool FileLink(const std::string& name, const std::string& target) {
        tree_.Link(name, tree_ / target);
        return true;
    }
    std::error_code Read(const std::string& name, std::size_t most, FileBytes& bytes) {
        return posix::ReadFileBytes((tree_ / name).string(), most, bytes);
    }

private:
    TempTree tree_;
};

using PosixPlaces = ::testing::Types<PosixPlace>;
INSTANTIATE_TYPED_TEST_SUITE_P(Posix, FileBytesContract, PosixPlaces);

TEST(PosixFileBytesTest, APipeIsRefusedWithoutWaitingForAWriter) {
    TempTree tree;
    const std::string pipe = (tree / "autorun.inf").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    FileBytes bytes;

    EXPECT_EQ(posix::ReadFileBytes(pipe, 100, bytes), std::errc::not_supported);
}

}  // namespace
