/* The request record as a C host sees it: the header compiled as C99, where
   it checks nothing at compile time (its static assertions need C11). */
#include <stddef.h>

#include "textraster.h"

const size_t kRecordLayoutAsSeenFromC[] = {
    sizeof(TextLayoutParams),
    offsetof(TextLayoutParams, destX),
    offsetof(TextLayoutParams, destY),
    offsetof(TextLayoutParams, regionWidth),
    offsetof(TextLayoutParams, regionHeight),
    offsetof(TextLayoutParams, topDown),
    offsetof(TextLayoutParams, bufferWidth),
    offsetof(TextLayoutParams, bufferHeight),
    offsetof(TextLayoutParams, bufferSize),
    offsetof(TextLayoutParams, backColor),
    offsetof(TextLayoutParams, textColor),
    offsetof(TextLayoutParams, faceName),
    offsetof(TextLayoutParams, fontHeight),
    offsetof(TextLayoutParams, fontStyle),
    offsetof(TextLayoutParams, spaceMode),
    offsetof(TextLayoutParams, newlineMode),
    offsetof(TextLayoutParams, preserveSpaces),
    offsetof(TextLayoutParams, wordWrap),
    offsetof(TextLayoutParams, leadingSpaceMode),
    offsetof(TextLayoutParams, blockStartOffset),
    offsetof(TextLayoutParams, linePitch),
    offsetof(TextLayoutParams, firstLineIndent),
    offsetof(TextLayoutParams, writingMode),
    offsetof(TextLayoutParams, alignment),
    sizeof(TextChar),
};
