#include "platform/portable/portable_object.h"

#include <mutex>
#include <new>
#include <unordered_set>

namespace textraster::portable {
namespace {

std::mutex tableLock;
std::unordered_set<const void*>& Table() {
    static auto* table = new std::unordered_set<const void*>;  // outlives every static destructor
    return *table;
}

PortableObject* FindLocked(const void* handle) {
    if (!handle) return nullptr;
    auto& table = Table();
    return table.count(handle) ? static_cast<PortableObject*>(const_cast<void*>(handle)) : nullptr;
}

}  // namespace

PortableObject* Register(std::unique_ptr<PortableObject> object) {
    std::lock_guard<std::mutex> guard(tableLock);
    try {
        Table().insert(object.get());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return object.release();
}

PortableObject* Find(const void* handle, ObjectKind kind) {
    std::lock_guard<std::mutex> guard(tableLock);
    PortableObject* object = FindLocked(handle);
    return object && object->kind == kind ? object : nullptr;
}

void Reselect(PortableObject* from, PortableObject* to) {
    std::unique_ptr<PortableObject> doomed;
    {
        std::lock_guard<std::mutex> guard(tableLock);
        if (to) ++to->selections;
        if (from && --from->selections == 0 && from->deletePending) {
            Table().erase(from);
            doomed.reset(from);
        }
    }
}

bool IsSelected(const PortableObject& object) {
    std::lock_guard<std::mutex> guard(tableLock);
    return object.selections > 0;
}

bool DeleteGdiObject(const void* handle) {
    std::unique_ptr<PortableObject> doomed;
    {
        std::lock_guard<std::mutex> guard(tableLock);
        PortableObject* object = FindLocked(handle);
        if (!object || object->kind == ObjectKind::Dc) return false;
        if (object->stock) return true;
        if (object->selections > 0) {
            object->deletePending = true;
            return true;
        }
        Table().erase(object);
        doomed.reset(object);
    }
    return true;
}

bool DeleteDcObject(const void* handle) {
    std::unique_ptr<PortableObject> doomed;
    {
        std::lock_guard<std::mutex> guard(tableLock);
        PortableObject* object = FindLocked(handle);
        if (!object || object->kind != ObjectKind::Dc) return false;
        Table().erase(object);
        doomed.reset(object);
    }
    return true;
}

size_t CountObjects() {
    std::lock_guard<std::mutex> guard(tableLock);
    return Table().size();
}

}  // namespace textraster::portable
