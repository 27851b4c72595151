#include "platform/portable/font_registry.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <new>

#include "platform/gdi.h"
#include "text/utf.h"

namespace textraster::portable {
namespace {

struct RegisteredFace {
    FaceSource source;
    std::shared_ptr<const CharacterCoverage> coverage;
    std::vector<std::u16string> families;
    std::vector<std::u16string> fullNames;
    bool bold = false;
    bool italic = false;
    bool colour = false;
};

// One AddFontResourceExW or AddFontMemResourceEx. The same file may be added
// more than once; each removal undoes one addition, as on Windows.
struct Registration {
    std::u16string path;   // empty for a memory image
    uintptr_t handle = 0;  // nonzero for a memory image
    std::vector<RegisteredFace> faces;
};

std::mutex registryLock;
std::vector<Registration> registrations;
uintptr_t lastHandle = 0;
uint64_t generation = 0;  // registrations and removals so far

// Reads every face of an image; an empty list when it holds no usable font.
std::vector<RegisteredFace> ReadFaces(const std::shared_ptr<const FontImage>& image) {
    std::vector<RegisteredFace> faces;
    const long count = CountFaces(image);
    for (long index = 0; index < count; ++index) {
        RegisteredFace entry;
        entry.source = FaceSource{std::string(), image, index};
        // Closed however reading it ends, running out of memory included.
        const std::unique_ptr<FT_FaceRec, void (*)(FT_Face)> face(OpenFace(entry.source), CloseFace);
        if (!face) continue;
        entry.families = FaceNames(face.get(), NameKind::Family);
        entry.fullNames = FaceNames(face.get(), NameKind::Full);
        entry.bold = FaceIsBold(face.get());
        entry.italic = FaceIsItalic(face.get());
        entry.colour = FT_HAS_COLOR(face.get());
        entry.coverage = std::make_shared<const CharacterCoverage>(face.get());
        faces.push_back(std::move(entry));
    }
    return faces;
}

std::shared_ptr<const FontImage> ReadFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return nullptr;
    auto image = std::make_shared<FontImage>();
    unsigned char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) image->insert(image->end(), buffer, buffer + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? nullptr : image;
}

bool Contains(const std::vector<std::u16string>& names, std::u16string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

FaceSource FindRegisteredFace(std::u16string_view foldedName, bool bold, bool italic) {
    std::lock_guard<std::mutex> guard(registryLock);
    const RegisteredFace* best = nullptr;
    int bestScore = 0;
    for (const Registration& registration : registrations)
        for (const RegisteredFace& face : registration.faces) {
            if (!Contains(face.families, foldedName)) continue;
            // A wrong slant is a worse match than a wrong weight.
            const int score = 2 * (face.italic != italic) + (face.bold != bold);
            if (!best || score < bestScore) best = &face, bestScore = score;
        }
    if (best) return best->source;
    for (const Registration& registration : registrations)
        for (const RegisteredFace& face : registration.faces)
            if (Contains(face.fullNames, foldedName)) return face.source;
    return FaceSource();
}

std::vector<RegisteredCoverage> RegisteredFaces(uint64_t& generationNow) {
    std::lock_guard<std::mutex> guard(registryLock);
    std::vector<RegisteredCoverage> faces;
    for (const Registration& registration : registrations)
        for (const RegisteredFace& face : registration.faces)
            faces.push_back({face.source, face.coverage, face.bold, face.italic, face.colour});
    generationNow = generation;
    return faces;
}

uint64_t RegistryGeneration() {
    std::lock_guard<std::mutex> guard(registryLock);
    return generation;
}

}  // namespace textraster::portable

using namespace textraster::portable;

int AddFontResourceExW(LPCWSTR fileName, DWORD /*flags*/, PVOID /*reserved*/) {
    if (!fileName || !*fileName) return 0;
    try {
        Registration registration;
        registration.path = fileName;
        registration.faces = ReadFaces(ReadFile(textraster::Utf16ToUtf8(registration.path)));
        if (registration.faces.empty()) return 0;
        const int count = static_cast<int>(registration.faces.size());
        std::lock_guard<std::mutex> guard(registryLock);
        registrations.push_back(std::move(registration));
        ++generation;
        return count;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

BOOL RemoveFontResourceExW(LPCWSTR fileName, DWORD /*flags*/, PVOID /*reserved*/) {
    if (!fileName) return FALSE;
    const std::u16string_view path(fileName);
    std::lock_guard<std::mutex> guard(registryLock);
    for (auto it = registrations.rbegin(); it != registrations.rend(); ++it)
        if (!it->handle && it->path == path) {
            registrations.erase(std::next(it).base());
            ++generation;
            return TRUE;
        }
    return FALSE;
}

HANDLE AddFontMemResourceEx(PVOID image, DWORD size, PVOID /*reserved*/, DWORD* fontCount) {
    if (!image || !size || !fontCount) return nullptr;
    try {
        // A copy: the host may free its image as soon as this returns.
        const auto* bytes = static_cast<const unsigned char*>(image);
        Registration registration;
        registration.faces = ReadFaces(std::make_shared<const FontImage>(bytes, bytes + size));
        if (registration.faces.empty()) return nullptr;
        const auto count = static_cast<DWORD>(registration.faces.size());
        std::lock_guard<std::mutex> guard(registryLock);
        registration.handle = ++lastHandle;
        registrations.push_back(std::move(registration));
        ++generation;
        *fontCount = count;
        return reinterpret_cast<HANDLE>(lastHandle);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

BOOL RemoveFontMemResourceEx(HANDLE handle) {
    const auto key = reinterpret_cast<uintptr_t>(handle);
    if (!key) return FALSE;
    std::lock_guard<std::mutex> guard(registryLock);
    for (auto it = registrations.begin(); it != registrations.end(); ++it)
        if (it->handle == key) {
            registrations.erase(it);
            ++generation;
            return TRUE;
        }
    return FALSE;
}
