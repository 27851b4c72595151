// Reading a file through kernel32's calls, on the C library. A handle is the
// file descriptor plus one, so that no open file is null or
// INVALID_HANDLE_VALUE.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <new>
#include <string_view>

#include "platform/gdi.h"
#include "text/utf.h"

namespace {

constexpr DWORD kFileCurrent = 1;
constexpr DWORD kFileEnd = 2;

int Descriptor(HANDLE file) {
    const auto value = reinterpret_cast<intptr_t>(file);
    return value > 0 && value <= INT32_MAX ? static_cast<int>(value - 1) : -1;
}

}  // namespace

HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD /*shareMode*/, void* /*security*/, DWORD creation,
                   DWORD /*flags*/, HANDLE /*templateFile*/) try {
    // Only what the library does: open an existing file for reading.
    if (!fileName || !*fileName || access != GENERIC_READ || creation != OPEN_EXISTING) return INVALID_HANDLE_VALUE;
    const std::string path = textraster::Utf16ToUtf8(std::u16string_view(fileName));
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return INVALID_HANDLE_VALUE;
    // Windows opens no directory without a special flag.
    struct stat status;
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(fd);
        return INVALID_HANDLE_VALUE;
    }
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd) + 1);
} catch (const std::bad_alloc&) {
    return INVALID_HANDLE_VALUE;  // the path could not be converted
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) {
    const int fd = Descriptor(file);
    // Without a high part the distance is a signed 32-bit value.
    const int64_t offset =
        distanceHigh ? static_cast<int64_t>((uint64_t(uint32_t(*distanceHigh)) << 32) | uint32_t(distance)) : distance;
    const int whence = method == kFileCurrent ? SEEK_CUR : method == kFileEnd ? SEEK_END : SEEK_SET;
    if (fd < 0 || method > kFileEnd) return INVALID_SET_FILE_POINTER;
    const off_t position = lseek(fd, static_cast<off_t>(offset), whence);
    if (position < 0) return INVALID_SET_FILE_POINTER;
    if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(position) >> 32);
    return static_cast<DWORD>(position);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, DWORD* read, void* /*overlapped*/) {
    const int fd = Descriptor(file);
    if (read) *read = 0;
    if (fd < 0 || (!buffer && count)) return FALSE;
    // Like Windows, read until the count or the end of the file.
    DWORD total = 0;
    while (total < count) {
        const ssize_t got = ::read(fd, static_cast<char*>(buffer) + total, count - total);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return FALSE;
        if (got == 0) break;
        total += static_cast<DWORD>(got);
        if (read) *read = total;
    }
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    const int fd = Descriptor(handle);
    return fd >= 0 && close(fd) == 0 ? TRUE : FALSE;
}
