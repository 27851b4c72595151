// Rewrites a host's text by the request's white-space and newline modes before
// it is laid out.
#pragma once

#include <cstdint>

#include "textraster.h"

namespace textraster {

// Applies, in order: white space other than LF by `spaceMode` (with
// `leadingSpaceMode` 2 removing white space before the first written
// character), LF by `newlineMode`, and, when `preserveSpaces` is zero, the
// collapsing of white-space runs. Each pass writes at most one unit per unit
// read, so `output` needs room for the input's length plus the terminator; it
// may not overlap `input`. Always terminates `output`.
void NormalizeText(const TextChar* input, TextChar* output, int32_t spaceMode, int32_t newlineMode,
                   int32_t preserveSpaces, int32_t leadingSpaceMode);

// Length in code units up to the terminator.
uint32_t TextLength(const TextChar* text);

}  // namespace textraster
