#include "FileBytesReader.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Owners.h"
#include "support/TestDrives.h"
#include "common/FileBytesContract.h"

namespace {

std::wstring OnR(const std::string& name) { return L"R:\\" + std::wstring(name.begin(), name.end()); }

// Through the \\?\ form, so that a name ending in a dot is made as it is spelt.
void WriteFileOnR(const std::string& name, const std::string& bytes) {
    const win32::UniqueFile file{::CreateFileW((L"\\\\?\\" + OnR(name)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)};
    ASSERT_TRUE(file) << "cannot make " << name;
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
}

// Entries on the removable test drive R:, read by their drive paths.
class DrivePlace {
public:
    DrivePlace() {
        EXPECT_TRUE(TestDrives::Mapped()) << "run through cmake/wine-run";
        EXPECT_TRUE(TestDrives::Empty(L'R').empty());
    }
    DrivePlace(const DrivePlace&) = delete;
    DrivePlace& operator=(const DrivePlace&) = delete;
    ~DrivePlace() {
        links_.clear();
        TestDrives::Empty(L'R');
    }

    void File(const std::string& name, const std::string& bytes) { WriteFileOnR(name, bytes); }
    void Folder(const std::string& name) { ::CreateDirectoryW(OnR(name).c_str(), nullptr); }
    // Under Wine the link is a Unix one, made on the host, which Wine shows as the file it leads to.
    bool FileLink(const std::string& name, const std::string& target) {
        links_.push_back(std::make_unique<TestLink>(OnR(name), OnR(target)));
        return links_.back()->Made();
    }
    std::error_code Read(const std::string& name, std::size_t most, FileBytes& bytes) {
        return win32::ReadFileBytes(OnR(name), most, bytes);
    }

private:
    std::vector<std::unique_ptr<TestLink>> links_;  // removed before the drive is emptied
};

using DrivePlaces = ::testing::Types<DrivePlace>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileBytesContract, DrivePlaces);

class Win32FileBytesTest : public ::testing::Test {
protected:
    DrivePlace drive_;
};

TEST_F(Win32FileBytesTest, AFileThatAnotherProgramIsWritingIsStillRead) {
    drive_.File("autorun.inf", "[autorun]\r\nopen=x.exe\r\n");
    const win32::UniqueFile writer{::CreateFileW(L"R:\\autorun.inf", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr)};
    ASSERT_TRUE(writer);
    FileBytes bytes;

    EXPECT_FALSE(win32::ReadFileBytes(L"R:\\autorun.inf", 100, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[autorun]\r\nopen=x.exe\r\n");
}

TEST_F(Win32FileBytesTest, NamesWindowsWouldBendAreReadAsTheyAre) {
    drive_.File("autorun.inf.", "a trailing dot");
    FileBytes bytes;

    EXPECT_FALSE(win32::ReadFileBytes(L"R:\\autorun.inf.", 100, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "a trailing dot");
}

}  // namespace
