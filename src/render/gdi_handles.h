// Small guards for the system objects one call obtains, so that every exit
// path releases them, in the reverse order of acquisition.
#pragma once

#include "platform/gdi.h"

namespace textraster {

// The screen's device context: the model the surfaces are made compatible
// with, and where measuring happens. Nothing is drawn on it.
class ScreenDc {
   public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

   private:
    HDC dc_;
};

// A memory device context compatible with another one.
class MemoryDc {
   public:
    explicit MemoryDc(HDC model) : dc_(CreateCompatibleDC(model)) {}
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

   private:
    HDC dc_;
};

// A font or bitmap, deleted when the guard ends. It must be out of every
// device context by then: declare its Selection guards after it.
template <typename Handle>
class GdiObject {
   public:
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() {
        if (handle_) DeleteObject(handle_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    Handle get() const { return handle_; }

   private:
    Handle handle_;
};

// An object selected into a device context; the context's previous object of
// that kind is put back when the guard ends (or earlier, by Restore).
class Selection {
   public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~Selection() { Restore(); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    void Restore() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
        previous_ = nullptr;
    }

   private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace textraster
