#include "fonts/byte_source.h"

#include <cstring>

namespace textraster {

void MemorySource::Read(uint32_t position, uint32_t count, void* dest) const {
    std::memset(dest, 0, count);
    if (position >= size_) return;
    const uint32_t available = size_ - position;
    std::memcpy(dest, image_ + position, count < available ? count : available);
}

FileSource::FileSource(const TextChar* fileName)
    : file_(CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr)) {}

FileSource::~FileSource() {
    if (IsOpen()) CloseHandle(file_);
}

void FileSource::Read(uint32_t position, uint32_t count, void* dest) const {
    // The destination is zeroed first and the count delivered is not looked
    // at: whatever the file does not deliver (its end) stays zero. A position
    // the system refuses (beyond 2 GiB, as no high part is passed) is past
    // the end. A read the system fails is remembered.
    std::memset(dest, 0, count);
    if (SetFilePointer(file_, static_cast<LONG>(position), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return;
    DWORD delivered = 0;
    if (!ReadFile(file_, dest, count, &delivered, nullptr)) {
        std::memset(dest, 0, count);
        failed_ = true;
    }
}

}  // namespace textraster
