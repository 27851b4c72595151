// Font files for tests: fonts installed on this machine, read whole or named
// by a path the library's file functions accept, and temporary font files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/test_text.h"

namespace textraster::test {

// A path of this machine's file system as the platform names it: under Wine
// the Unix root is drive Z:.
inline std::filesystem::path HostPath(const std::string& unixPath) {
#ifdef _WIN32
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return std::filesystem::path(path);
#else
    return std::filesystem::path(unixPath);
#endif
}

inline Text TextPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    return path.u16string();
#endif
}

// The whole file; empty when it cannot be read.
inline std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A file in the temporary folder holding the given bytes, removed again when
// the object goes.
class TempFile {
   public:
    TempFile(const std::string& name, const std::vector<uint8_t>& bytes)
        : path_(std::filesystem::temp_directory_path() / name) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::filesystem::path& path() const { return path_; }
    Text text() const { return TextPath(path_); }

   private:
    std::filesystem::path path_;
};

}  // namespace textraster::test
