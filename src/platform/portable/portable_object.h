// Every handle of the portable layer points to a PortableObject that a
// process-wide table knows. Handles are looked up in the table before use, so
// that a stale, foreign or null handle fails as on Windows instead of crashing.
#pragma once

#include <memory>

#include "platform/gdi.h"

namespace textraster::portable {

enum class ObjectKind { Dc, Font, Bitmap };

struct PortableObject {
    explicit PortableObject(ObjectKind objectKind, bool isStock = false) : kind(objectKind), stock(isStock) {}
    virtual ~PortableObject() = default;
    PortableObject(const PortableObject&) = delete;
    PortableObject& operator=(const PortableObject&) = delete;

    const ObjectKind kind;
    // Stock objects (a memory context's first bitmap, the default font) are
    // shared by every context and never freed; deleting one does nothing.
    const bool stock;
    // How many device contexts hold the object, and whether it was deleted
    // while held: as on Windows the object then lives until it is let go.
    // Both are guarded by the table's lock.
    int selections = 0;
    bool deletePending = false;
};

// Enters a new object into the table. Returns it, or null (the object freed)
// when the table cannot grow.
PortableObject* Register(std::unique_ptr<PortableObject> object);

// The live object behind a handle, or null when the handle is not a live
// object of that kind.
PortableObject* Find(const void* handle, ObjectKind kind);

template <class T>
T* Find(const void* handle) {
    return static_cast<T*>(Find(handle, T::kKind));
}

// Moves one selection from `from` to `to` (either may be null) and frees
// `from` when it was deleted while selected and no context holds it now.
void Reselect(PortableObject* from, PortableObject* to);

// Whether some device context holds the object.
bool IsSelected(const PortableObject& object);

// Deletes a font or bitmap by handle; one still selected somewhere is freed
// when its last context lets it go. False for an unknown handle.
bool DeleteGdiObject(const void* handle);

// Deletes a device context by handle (the caller has let go of its selections).
bool DeleteDcObject(const void* handle);

// How many objects live in the table, stock objects included: what a test
// compares before and after calls that must leave nothing behind.
size_t CountObjects();

}  // namespace textraster::portable
