#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

// A folder of the test's own under the system's temporary folder, removed with everything in it
// when the test ends (write bits are put back first, so read-only entries go too).
class TempTree {
public:
    TempTree() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velquor-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        EXPECT_FALSE(root_.empty()) << "mkdtemp failed for " << pattern;
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;
    ~TempTree() {
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(root_, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (!it->is_symlink()) ::chmod(it->path().c_str(), 0700);
        }
        std::filesystem::remove_all(root_, ec);
    }

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path operator/(const std::string& relative) const { return root_ / relative; }

    // Makes the folder (with its parents) and returns its host path.
    std::filesystem::path Folder(const std::string& relative) const {
        std::filesystem::create_directories(root_ / relative);
        return root_ / relative;
    }
    // Writes a file with the given contents, making its folders first.
    std::filesystem::path File(const std::string& relative, const std::string& contents = "x") const {
        const auto path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }
    // Makes a symbolic link at relative that points to target, as written (relative or not).
    std::filesystem::path Link(const std::string& relative,
                               const std::filesystem::path& target) const {
        const auto path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::filesystem::create_symlink(target, path);
        return path;
    }
    static void ReadOnly(const std::filesystem::path& path) {
        ::chmod(path.c_str(), std::filesystem::is_directory(path) ? 0555 : 0444);
    }
    static std::string Contents(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path root_;
};
