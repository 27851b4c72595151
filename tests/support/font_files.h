// Font files for tests: fonts installed on this machine, read whole or named
// by a path the library's file functions accept, and temporary font files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
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

// The file of an installed font, by its fontconfig pattern as tests/fonts.txt
// lists it ("DejaVu Sans Mono:bold"). The files come from the table that
// scripts/check_setup.sh writes (the CTest fixture test_fonts), which has
// checked that each comes from the package the set-up installs for it; a
// font not in the table fails the test with what to do.
inline std::filesystem::path FontFile(const std::string& pattern) {
#ifndef TEXTRASTER_TEST_FONTS
#error "TEXTRASTER_TEST_FONTS names the table of the tests' font files"
#endif
    static const std::map<std::string, std::string> files = [] {
        std::map<std::string, std::string> table;
        std::ifstream in(HostPath(TEXTRASTER_TEST_FONTS));
        for (std::string line; std::getline(in, line);) {
            const size_t tab = line.find('\t');
            if (tab != std::string::npos) table[line.substr(0, tab)] = line.substr(tab + 1);
        }
        return table;
    }();
    const auto found = files.find(pattern);
    if (found == files.end())
        throw std::runtime_error("no file for the font \"" + pattern +
                                 "\" in " TEXTRASTER_TEST_FONTS
                                 ": list it in tests/fonts.txt with its package and run "
                                 "scripts/check_setup.sh --fonts " TEXTRASTER_TEST_FONTS " (ctest does)");
    return HostPath(found->second);
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
