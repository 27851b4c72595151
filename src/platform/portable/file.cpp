// kernel32's file reading on the C library: CreateFileW, SetFilePointer,
// ReadFile and CloseHandle, as far as the library uses them (opening an
// existing file for reading, seeking, reading, closing).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <string>

#include "platform/gdi.h"

namespace {

// What a file HANDLE points to.
struct PortableFile {
    int descriptor;
};

// The UTF-8 form of a UTF-16 path; false for an unpaired surrogate, which no
// file name on this system can hold.
bool ToUtf8(LPCWSTR text, std::string* out) {
    for (; *text != 0; ++text) {
        uint32_t c = *text;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (text[1] < 0xDC00 || text[1] > 0xDFFF) return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (uint32_t(*++text) - 0xDC00);
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
        if (c < 0x80) {
            out->push_back(char(c));
        } else if (c < 0x800) {
            out->push_back(char(0xC0 | c >> 6));
            out->push_back(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out->push_back(char(0xE0 | c >> 12));
            out->push_back(char(0x80 | (c >> 6 & 0x3F)));
            out->push_back(char(0x80 | (c & 0x3F)));
        } else {
            out->push_back(char(0xF0 | c >> 18));
            out->push_back(char(0x80 | (c >> 12 & 0x3F)));
            out->push_back(char(0x80 | (c >> 6 & 0x3F)));
            out->push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return true;
}

int DescriptorOf(HANDLE file) {
    return static_cast<PortableFile*>(file)->descriptor;
}

}  // namespace

HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD /*shareMode*/, void* /*security*/, DWORD creation,
                   DWORD /*flags*/, HANDLE /*templateFile*/) {
    // Sharing needs no care here: nothing on this system locks a file
    // against readers.
    std::string path;
    if (fileName == nullptr || access != GENERIC_READ || creation != OPEN_EXISTING || !ToUtf8(fileName, &path))
        return INVALID_HANDLE_VALUE;
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return INVALID_HANDLE_VALUE;
    // As on Windows, a directory is not opened as a file.
    struct stat status;
    PortableFile* file = nullptr;
    if (fstat(descriptor, &status) == 0 && !S_ISDIR(status.st_mode)) file = new (std::nothrow) PortableFile{descriptor};
    if (file == nullptr) {
        close(descriptor);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) {
    // The library only moves to absolute positions. Without a high part the
    // distance is a signed 32-bit number; with one, the two form a 64-bit
    // position and the high part receives the new position's.
    if (method != FILE_BEGIN) return INVALID_SET_FILE_POINTER;
    const int64_t wanted =
        distanceHigh ? int64_t(uint64_t(uint32_t(*distanceHigh)) << 32 | uint32_t(distance)) : int64_t(distance);
    // A position before the start of the file is refused, as on Windows.
    if (wanted < 0) return INVALID_SET_FILE_POINTER;
    const off_t position = lseek(DescriptorOf(file), off_t(wanted), SEEK_SET);
    if (position < 0) return INVALID_SET_FILE_POINTER;
    if (distanceHigh) *distanceHigh = LONG(uint64_t(position) >> 32);
    return DWORD(uint64_t(position));
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, DWORD* delivered, void* /*overlapped*/) {
    DWORD total = 0;
    while (total < count) {
        const ssize_t n = ::read(DescriptorOf(file), static_cast<char*>(buffer) + total, count - total);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (delivered) *delivered = total;
            return FALSE;
        }
        if (n == 0) break;  // the end of the file
        total += DWORD(n);
    }
    if (delivered) *delivered = total;
    return TRUE;
}

BOOL CloseHandle(HANDLE file) {
    if (file == nullptr || file == INVALID_HANDLE_VALUE) return FALSE;
    const int descriptor = DescriptorOf(file);
    delete static_cast<PortableFile*>(file);
    return close(descriptor) == 0;
}
