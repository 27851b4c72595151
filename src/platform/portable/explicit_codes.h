// Explicit formatting codes in the form FriBidi takes safely. FriBidi 1.0.8
// counts an isolate opened beyond the deepest level (an overflow isolate) in
// its isolate nesting but not in its levels; it then merges runs of one
// level across isolates and follows freed memory: a line holding one can
// crash the process. It also looks for each FSI's first strong letter
// afresh, to the end of the line, which makes a line of FSIs cost the
// square of its length. So a line with an FSI, or with more explicit codes
// than can ever reach the deepest level, goes to FriBidi rewritten the way
// the bidi algorithm reads it: each FSI as the RLI or LRI its first strong
// letter makes it, and each code beyond the deepest level as what the
// algorithm makes of it (an overflow isolate and its PDI a neutral at the
// level around them, an overflow embedding, override or PDF nothing). The
// levels are the algorithm's either way; FriBidi then never overflows.
#pragma once

#include <fribidi.h>

#include <cstddef>
#include <vector>

namespace textraster::portable {

// The bidi types of a line of `length` code points in a paragraph of the
// given direction, rewritten into `safe` as above; false, with `safe`
// untouched, when they go to FriBidi as they are.
bool SafeExplicitCodes(const FriBidiCharType* types, size_t length, bool rtlReading,
                       std::vector<FriBidiCharType>& safe);

}  // namespace textraster::portable
