#include "platform/portable/gdi_object.h"

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

GdiObject* FindLocked(const void* handle) {
    if (!handle) return nullptr;
    auto& table = Table();
    return table.count(handle) ? static_cast<GdiObject*>(const_cast<void*>(handle)) : nullptr;
}

}  // namespace

GdiObject* Register(std::unique_ptr<GdiObject> object) {
    std::lock_guard<std::mutex> guard(tableLock);
    try {
        Table().insert(object.get());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return object.release();
}

GdiObject* Find(const void* handle, ObjectKind kind) {
    std::lock_guard<std::mutex> guard(tableLock);
    GdiObject* object = FindLocked(handle);
    return object && object->kind == kind ? object : nullptr;
}

void Reselect(GdiObject* from, GdiObject* to) {
    std::unique_ptr<GdiObject> doomed;
    {
        std::lock_guard<std::mutex> guard(tableLock);
        if (to) ++to->selections;
        if (from && --from->selections == 0 && from->deletePending) {
            Table().erase(from);
            doomed.reset(from);
        }
    }
}

bool IsSelected(const GdiObject& object) {
    std::lock_guard<std::mutex> guard(tableLock);
    return object.selections > 0;
}

bool DeleteGdiObject(const void* handle) {
    std::unique_ptr<GdiObject> doomed;
    {
        std::lock_guard<std::mutex> guard(tableLock);
        GdiObject* object = FindLocked(handle);
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
    std::unique_ptr<GdiObject> doomed;
    {
        std::lock_guard<std::mutex> guard(tableLock);
        GdiObject* object = FindLocked(handle);
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
