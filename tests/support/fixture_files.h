#pragma once
// A temporary directory for the files a test writes; removed with everything in it.

#include <string>
#include <string_view>

namespace pvz::test {

class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    // The directory's absolute path, without a trailing "/".
    const std::string& path() const { return path_; }
    // The path of `name` inside the directory.
    std::string pathOf(std::string_view name) const;
    // Writes `bytes` exactly as given to `name` and returns its path.
    std::string write(std::string_view name, std::string_view bytes) const;

private:
    std::string path_;
};

}  // namespace pvz::test
