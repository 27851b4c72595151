#include "files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace textraster::tool {
namespace {

std::filesystem::path NativePath(const std::string& utf8) {
    return std::filesystem::u8path(utf8);
}

std::FILE* Open(const std::string& path, const char* mode) {
#ifdef _WIN32
    const std::wstring name = NativePath(path).wstring();
    const std::wstring wmode(mode, mode + std::strlen(mode));
    return _wfopen(name.c_str(), wmode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

std::string Failure(const char* what, const std::string& path) {
    return std::string("cannot ") + what + " '" + path + "': " + std::strerror(errno);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    const bool standardInput = path == "-";
#ifdef _WIN32
    if (standardInput) _setmode(_fileno(stdin), _O_BINARY);
#endif
    std::FILE* f = standardInput ? stdin : Open(path, "rb");
    if (!f) {
        error = Failure("open", path);
        return false;
    }
    bytes.clear();
    uint8_t chunk[1 << 16];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    const bool failed = std::ferror(f) != 0;
    if (!standardInput) std::fclose(f);
    if (failed) error = Failure("read", standardInput ? "standard input" : path);
    return !failed;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    const bool standardOutput = path == "-";
#ifdef _WIN32
    if (standardOutput) _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::FILE* f = standardOutput ? stdout : Open(path, "wb");
    if (!f) {
        error = Failure("create", path);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = standardOutput ? std::fflush(f) == 0 : std::fclose(f) == 0;
    if (!written || !closed) error = Failure("write", standardOutput ? "standard output" : path);
    return written && closed;
}

bool WriteStandardOutput(const std::string& text, std::string& error) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (written && std::fflush(stdout) == 0) return true;
    error = Failure("write", "standard output");
    return false;
}

bool IsFile(const std::string& path) {
    std::error_code code;
    const std::filesystem::file_status status = std::filesystem::status(NativePath(path), code);
    return !code && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code code;
    for (std::filesystem::directory_iterator it(NativePath(folder), code), end; !code && it != end;
         it.increment(code)) {
        if (!it->is_directory(code)) names.push_back(it->path().filename().u8string());
    }
    return names;
}

bool RemoveFile(const std::string& path, std::string& error) {
    std::error_code code;
    if (std::filesystem::remove(NativePath(path), code) || !code) return true;
    error = "cannot remove '" + path + "': " + code.message();
    return false;
}

bool MakeFolder(const std::string& path, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(NativePath(path), code);
    if (code && !std::filesystem::is_directory(NativePath(path))) {
        error = "cannot create the folder '" + path + "': " + code.message();
        return false;
    }
    return true;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const char last = folder.back();
    if (last == '/' || last == '\\') return folder + name;
#ifdef _WIN32
    return folder + "\\" + name;
#else
    return folder + "/" + name;
#endif
}

std::string AbsolutePath(const std::string& path) {
    std::error_code code;
    const std::filesystem::path absolute = std::filesystem::absolute(NativePath(path), code);
    return code ? path : absolute.u8string();
}

bool StderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace textraster::tool
