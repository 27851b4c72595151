// The request record's layout is asserted by the header wherever it is
// compiled as C++ or C11; a host in older C gets no such check. This
// compares the layout a C99 compilation of the header gives with the one
// the library was built with.
#include <gtest/gtest.h>

#include <cstddef>

#include "record_fields.h"
#include "textraster.h"

extern "C" const size_t kRecordLayoutAsSeenFromC[];
extern "C" const size_t kRecordLayoutEntries;

namespace {

TEST(TextLayoutParams, CHostsSeeTheLayoutTheLibraryUses) {
    const size_t fromCxx[] = TEXTRASTER_RECORD_LAYOUT;
    ASSERT_EQ(kRecordLayoutEntries, sizeof fromCxx / sizeof fromCxx[0]);
    for (size_t i = 0; i < kRecordLayoutEntries; ++i)
        EXPECT_EQ(kRecordLayoutAsSeenFromC[i], fromCxx[i]) << "entry " << i;
}

}  // namespace
