// Every allocation the library makes itself may fail: each call then returns
// a defined code, writes nothing into the host's buffer and leaves no memory
// and no system object behind, and the next call works again.
//
// The native unit tests are linked with --wrap=malloc,calloc,free (see
// tests/CMakeLists.txt): the library's own calls to them reach the wrappers
// below, which count them and fail the one asked for. Allocations inside the
// system libraries (FreeType, HarfBuzz, the C++ runtime) are not counted; on
// Windows they belong to the system, whose failures GDI reports itself.
#ifdef TEXTRASTER_WRAPPED_ALLOCATION
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <new>
#include <thread>
#include <vector>

#include "platform/portable/portable_object.h"
#include "support/font_builder.h"
#include "support/font_files.h"
#include "support/request.h"
#include "support/test_text.h"
#include "textraster.h"

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void __real_free(void* block);
}

namespace {

// The allocations of the one thread that armed the wrappers, while armed.
struct Allocations {
    std::atomic<bool> armed{false};
    std::thread::id thread;
    uint64_t count = 0;
    uint64_t failAt = 0;      // 0: none fails
    bool cxx = false;         // count operator new instead of malloc and calloc
    bool failOnward = false;  // the failing one and every later one fail
    // Blocks handed out while armed and not yet freed.
    void* live[256] = {};
    size_t liveCount = 0;

    bool Counts() const { return armed.load() && std::this_thread::get_id() == thread; }
    bool Fails() {
        ++count;
        return failAt != 0 && (count == failAt || (failOnward && count > failAt));
    }
    void Track(void* block) {
        if (block && liveCount < 256) live[liveCount++] = block;
    }
    void Untrack(void* block) {
        for (size_t i = 0; i < liveCount; ++i)
            if (live[i] == block) {
                live[i] = live[--liveCount];
                return;
            }
    }
};

Allocations allocations;

}  // namespace

extern "C" void* __wrap_malloc(size_t size) {
    if (!allocations.Counts() || allocations.cxx) return __real_malloc(size);
    if (allocations.Fails()) return nullptr;
    void* block = __real_malloc(size);
    allocations.Track(block);
    return block;
}

extern "C" void* __wrap_calloc(size_t count, size_t size) {
    if (!allocations.Counts() || allocations.cxx) return __real_calloc(count, size);
    if (allocations.Fails()) return nullptr;
    void* block = __real_calloc(count, size);
    allocations.Track(block);
    return block;
}

extern "C" void __wrap_free(void* block) {
    if (allocations.armed.load()) allocations.Untrack(block);
    __real_free(block);
}

// The platform layer's C++ allocations, which the library's own code does not
// make: the replaceable operator new, failing on request.
void* operator new(size_t size) {
    if (allocations.Counts() && allocations.cxx && allocations.Fails()) throw std::bad_alloc();
    if (void* block = __real_malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    return operator new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& nothrow) noexcept {
    return operator new(size, nothrow);
}
void operator delete(void* block) noexcept {
    __real_free(block);
}
void operator delete[](void* block) noexcept {
    __real_free(block);
}
void operator delete(void* block, size_t) noexcept {
    __real_free(block);
}
void operator delete[](void* block, size_t) noexcept {
    __real_free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    __real_free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    __real_free(block);
}

namespace textraster {
namespace {

using test::T;
using test::Text;

// Arms the wrappers for the life of the guard: the failAt-th allocation fails
// (none when 0), and with failOnward every later one too.
class FailingAllocations {
   public:
    FailingAllocations(uint64_t failAt, bool failOnward, bool cxx = false) {
        allocations.cxx = cxx;
        allocations.thread = std::this_thread::get_id();
        allocations.count = 0;
        allocations.failAt = failAt;
        allocations.failOnward = failOnward;
        allocations.liveCount = 0;
        allocations.armed = true;
    }
    ~FailingAllocations() { allocations.armed = false; }
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;

    uint64_t count() const { return allocations.count; }
    size_t live() const { return allocations.liveCount; }
};

// What a call did while allocation `failAt` (with `failOnward` every later
// one too) failed: its code, the blocks it left and the allocations it asked for.
struct Failed {
    int32_t code;
    size_t live;
    uint64_t count;
};

template <class Run>
Failed WithFailingAllocations(uint64_t failAt, bool failOnward, Run run) {
    FailingAllocations failing(failAt, failOnward);
    const int32_t code = run();
    return {code, failing.live(), failing.count()};
}

TextLayoutParams Request() {
    static const Text face = T(u"DejaVu Sans");
    return test::ValidRequest(face.c_str(), 20, 90, 60);
}

constexpr uint32_t kHostFill = 0x5EAFF00D;

struct Call {
    const char* what;
    // Runs the call into `pixels` (RenderText only) and returns its code.
    std::function<int32_t(std::vector<uint32_t>& pixels)> run;
};

TEST(AllocationFailure, EveryAllocationOfACallMayFail) {
    const Text text = T(u"Out of memory\nat every step");
    const TextLayoutParams p = Request();
    const Call calls[] = {
        {"RenderText",
         [&](std::vector<uint32_t>& pixels) {
             uint16_t ascent = 0, extent = 0;
             uint8_t pitch = 0;
             return RenderText(text.c_str(), &p, pixels.data(), &ascent, &pitch, &extent);
         }},
        {"ComputeTextRegionSize",
         [&](std::vector<uint32_t>&) {
             uint16_t ascent = 0, width = 0, height = 0, extent = 0;
             return ComputeTextRegionSize(text.c_str(), &p, &ascent, &width, &height, &extent);
         }},
        {"GetFontCharacterCellHeight",
         [&](std::vector<uint32_t>&) {
             uint8_t cell = 0;
             return GetFontCharacterCellHeight(p.faceName, 20, 1, &cell);
         }},
    };
    for (const Call& call : calls) {
        SCOPED_TRACE(call.what);
        std::vector<uint32_t> reference(90 * 60, kHostFill);
        // Once before counting: the platform makes some objects on first use
        // only (see FirstUseMayFail).
        ASSERT_EQ(call.run(reference), TR_OK);
        uint64_t total = 0;
        {
            FailingAllocations counting(0, false);
            ASSERT_EQ(call.run(reference), TR_OK);
            total = counting.count();
            EXPECT_EQ(counting.live(), 0u);
        }
        for (bool onward : {false, true})
            for (uint64_t n = 1; n <= total; ++n) {
                SCOPED_TRACE(testing::Message() << "allocation " << n << " of " << total << (onward ? " onward" : ""));
                const size_t objects = portable::CountObjects();
                std::vector<uint32_t> pixels(90 * 60, kHostFill);
                const Failed failed = WithFailingAllocations(n, onward, [&] { return call.run(pixels); });
                EXPECT_EQ(failed.code, TR_OUT_OF_MEMORY);
                EXPECT_EQ(failed.live, 0u);  // every block obtained was freed
                EXPECT_EQ(portable::CountObjects(), objects);
                for (uint32_t px : pixels) ASSERT_EQ(px, kHostFill);
                // Nothing stays broken: the same call works again.
                std::vector<uint32_t> again(90 * 60, kHostFill);
                EXPECT_EQ(call.run(again), TR_OK);
                EXPECT_EQ(again, reference);
            }
    }
}

// The platform layer of this build is C++ and allocates with operator new;
// like the platform it stands for, it fails instead of throwing. Every call
// then ends with one of its own codes, and the next call works again.
#ifdef TEXTRASTER_SANITIZED
// Each call takes tens of milliseconds under the leak checker's unwinder: the
// first allocations, then every seventh, stand for all of them there.
constexpr uint64_t kStride = 7;
#else
constexpr uint64_t kStride = 1;
#endif

TEST(AllocationFailure, ThePlatformLayersAllocationsMayFail) {
    const Text text = T(u"Out of memory\nat every step");
    const TextLayoutParams p = Request();
    const test::Bytes font = test::ReadFileBytes(test::FontFile("DejaVu Sans Mono"));
    const Text path = test::TextPath(test::FontFile("DejaVu Serif"));
    ASSERT_FALSE(font.empty());
    // What a call answers: its code and what it wrote, into room made before
    // the call (the test allocates nothing while the wrappers are armed).
    struct Outcome {
        int32_t code = -1;
        std::vector<uint32_t> written = std::vector<uint32_t>(90 * 60, kHostFill);
        bool operator==(const Outcome& o) const { return code == o.code && written == o.written; }
    };
    struct PlatformCall {
        const char* what;
        std::function<void(Outcome&)> run;
        std::vector<int32_t> codes;  // what the call may return when memory runs out
    };
    const PlatformCall calls[] = {
        {"RenderText",
         [&](Outcome& o) { o.code = RenderText(text.c_str(), &p, o.written.data(), nullptr, nullptr, nullptr); },
         {TR_OK, TR_OUT_OF_MEMORY}},
        {"ComputeTextRegionSize",
         [&](Outcome& o) {
             uint16_t size[4] = {};
             o.code = ComputeTextRegionSize(text.c_str(), &p, &size[0], &size[1], &size[2], &size[3]);
             std::copy(size, size + 4, o.written.begin());
         },
         {TR_OK, TR_OUT_OF_MEMORY}},
        {"GetFontCharacterCellHeight",
         [&](Outcome& o) {
             uint8_t cell = 0;
             o.code = GetFontCharacterCellHeight(p.faceName, 20, 1, &cell);
             o.written[0] = cell;
         },
         {TR_OK, TR_NO_FONT_METRICS}},
        {"AddMemFont and RemoveMemFont",
         [&](Outcome& o) {
             void* handle = nullptr;
             uint32_t count = 0;
             TextChar name[TEXTRASTER_FULL_NAME_CAPACITY] = {};
             o.code = AddMemFont(font.data(), uint32_t(font.size()), &handle, &count, name);
             std::copy(name, name + TEXTRASTER_FULL_NAME_CAPACITY, o.written.begin());
             if (handle) o.written[TEXTRASTER_FULL_NAME_CAPACITY] = uint32_t(RemoveMemFont(handle));
         },
         {TR_OK, TR_FONT_NOT_REGISTERED, TR_FONT_NAME_UNREADABLE}},
        {"AddFont and RemoveFont",
         [&](Outcome& o) {
             TextChar name[TEXTRASTER_FULL_NAME_CAPACITY] = {};
             o.code = AddFont(path.c_str(), name);
             std::copy(name, name + TEXTRASTER_FULL_NAME_CAPACITY, o.written.begin());
             if (o.code != TR_FONT_NOT_REGISTERED)
                 o.written[TEXTRASTER_FULL_NAME_CAPACITY] = uint32_t(RemoveFont(path.c_str()));
         },
         {TR_OK, TR_FONT_NOT_REGISTERED, TR_FONT_NAME_UNREADABLE}},
    };
    for (const PlatformCall& call : calls) {
        SCOPED_TRACE(call.what);
        Outcome reference, counted;
        call.run(reference);  // the system's caches warm
        ASSERT_EQ(reference.code, TR_OK);
        uint64_t total = 0;
        {
            FailingAllocations counting(0, false, true);
            call.run(counted);
            total = counting.count();
        }
        EXPECT_EQ(counted, reference);
        for (bool onward : {false, true})
            for (uint64_t n = 1; n <= total; n += n < 64 ? 1 : kStride) {
                SCOPED_TRACE(testing::Message()
                             << "operator new " << n << " of " << total << (onward ? " onward" : ""));
                Outcome failed, again;
                {
                    FailingAllocations failing(n, onward, true);
                    ASSERT_NO_THROW(call.run(failed));
                }
                EXPECT_NE(std::find(call.codes.begin(), call.codes.end(), failed.code), call.codes.end())
                    << failed.code;
                if (failed.code == TR_OUT_OF_MEMORY) {
                    EXPECT_EQ(failed.written, Outcome().written);
                }
                // Nothing stays broken.
                call.run(again);
                EXPECT_EQ(again, reference);
            }
    }
}

// The name reader allocates each name record and the list that holds them.
// Whatever it cannot obtain, the font stays registered, its name is reported
// unreadable (3), and the registration is removed as usual.
TEST(AllocationFailure, ReadingTheNameOfARegisteredFont) {
    // Twelve name records: the list grows once, past its first ten slots.
    test::NameTableBuilder names;
    for (uint16_t id = 0; id < 11; ++id) names.Add(3, 1, 0x409, uint16_t(id == 4 ? 256 + id : id), u"Other");
    names.Add(3, 1, 0x409, 4, u"Failing Alloc");
    const test::Bytes font = test::ReplaceNameTable(test::ReadFileBytes(test::FontFile("DejaVu Sans")), names);
    ASSERT_FALSE(font.empty());
    const test::TempFile file("textraster-allocation-failure.ttf", font);
    const Text path = file.text();

    struct Registration {
        const char* what;
        std::function<int32_t(TextChar* fullName)> add;
    };
    void* handle = nullptr;
    const Registration registrations[] = {
        {"AddMemFont",
         [&](TextChar* fullName) {
             uint32_t count = 0;
             handle = nullptr;
             return AddMemFont(font.data(), uint32_t(font.size()), &handle, &count, fullName);
         }},
        {"AddFont", [&](TextChar* fullName) { return AddFont(path.c_str(), fullName); }},
    };
    auto remove = [&](const Registration& r) {
        return r.what[3] == 'M' ? RemoveMemFont(handle) : RemoveFont(path.c_str());
    };
    for (const Registration& r : registrations) {
        SCOPED_TRACE(r.what);
        TextChar fullName[TEXTRASTER_FULL_NAME_CAPACITY] = {};
        uint64_t total = 0;
        {
            FailingAllocations counting(0, false);
            ASSERT_EQ(r.add(fullName), TR_OK);
            total = counting.count();
        }
        EXPECT_EQ(Text(fullName), T(u"Failing Alloc"));
        ASSERT_EQ(remove(r), TR_OK);
        EXPECT_GE(total, 14u);  // twelve records, the list twice, nothing else of the library's own
        for (uint64_t n = 1; n <= total; ++n) {
            SCOPED_TRACE(n);
            TextChar untouched[TEXTRASTER_FULL_NAME_CAPACITY];
            std::fill(std::begin(untouched), std::end(untouched), TextChar(0x7777));
            const Failed failed = WithFailingAllocations(n, false, [&] { return r.add(untouched); });
            EXPECT_EQ(failed.code, TR_FONT_NAME_UNREADABLE);
            EXPECT_EQ(failed.live, 0u);
            EXPECT_EQ(untouched[0], 0x7777);
            EXPECT_EQ(remove(r), TR_OK);
        }
    }
}

// The platform's objects made on first use (the memory contexts' first
// bitmap) may fail too, and a failure is not remembered. Each attempt runs in
// a fresh process, where nothing has been made yet.
TEST(AllocationFailure, FirstUseMayFail) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const Text text = T(u"first");
    const TextLayoutParams p = Request();
    for (uint64_t n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EXIT(
            {
                std::vector<uint32_t> pixels(90 * 60, kHostFill);
                const Failed first = WithFailingAllocations(
                    n, false, [&] { return RenderText(text.c_str(), &p, pixels.data(), nullptr, nullptr, nullptr); });
                // (Blocks made on first use stay for the process, so what
                // this call leaves is not counted here; LeakSanitizer sees it.)
                const bool untouched = pixels == std::vector<uint32_t>(90 * 60, kHostFill);
                const bool failed = first.code == TR_OUT_OF_MEMORY && untouched;
                // Fewer than n allocations: the call had nothing to fail.
                const bool nothingToFail = first.code == TR_OK && first.count < n;
                const bool recovers = RenderText(text.c_str(), &p, pixels.data(), nullptr, nullptr, nullptr) == TR_OK;
                std::exit((failed || nothingToFail) && recovers ? 0 : 1);
            },
            testing::ExitedWithCode(0), "");
    }
}

}  // namespace
}  // namespace textraster
#endif
