// The bytes of a font, read at absolute positions from its first byte.
//
// Font data names positions freely; a damaged or truncated font may point
// anywhere. A byte source therefore never fails a read: every byte that lies
// past the end of the font reads as zero, so the name table reader needs no
// bounds logic of its own and cannot read outside the font. What the system
// fails to read (an I/O error) reads as zero too, and the source remembers
// it, so that a reader can tell a damaged font from a file it could not read.
#pragma once

#include <cstdint>

#include "platform/gdi.h"
#include "textraster.h"

namespace textraster {

class ByteSource {
   public:
    virtual ~ByteSource() = default;
    // Fills dest[0, count) with the bytes at [position, position + count);
    // those past the end of the source are zero.
    virtual void Read(uint32_t position, uint32_t count, void* dest) const = 0;
    // Whether the system failed any read so far.
    virtual bool Failed() const { return false; }
};

// A font image in the caller's memory. Only bytes below `size` are ever read,
// and none is written.
class MemorySource final : public ByteSource {
   public:
    MemorySource(const void* image, uint32_t size) : image_(static_cast<const uint8_t*>(image)), size_(size) {}
    void Read(uint32_t position, uint32_t count, void* dest) const override;

   private:
    const uint8_t* image_;
    uint32_t size_;
};

// A font file, open for reading (others may read it too) for the source's
// lifetime.
class FileSource final : public ByteSource {
   public:
    explicit FileSource(const TextChar* fileName);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    void Read(uint32_t position, uint32_t count, void* dest) const override;
    bool Failed() const override { return failed_; }

   private:
    HANDLE file_;
    mutable bool failed_ = false;
};

}  // namespace textraster
