/* The request record's size, every field's offset and the text unit's size,
   as an initializer list: the same list compiled as C and as C++. */
#define TEXTRASTER_RECORD_LAYOUT                                                                        \
    {                                                                                                   \
        sizeof(TextLayoutParams), offsetof(TextLayoutParams, destX), offsetof(TextLayoutParams, destY), \
            offsetof(TextLayoutParams, regionWidth), offsetof(TextLayoutParams, regionHeight),          \
            offsetof(TextLayoutParams, topDown), offsetof(TextLayoutParams, bufferWidth),               \
            offsetof(TextLayoutParams, bufferHeight), offsetof(TextLayoutParams, bufferSize),           \
            offsetof(TextLayoutParams, backColor), offsetof(TextLayoutParams, textColor),               \
            offsetof(TextLayoutParams, faceName), offsetof(TextLayoutParams, fontHeight),               \
            offsetof(TextLayoutParams, fontStyle), offsetof(TextLayoutParams, spaceMode),               \
            offsetof(TextLayoutParams, newlineMode), offsetof(TextLayoutParams, preserveSpaces),        \
            offsetof(TextLayoutParams, wordWrap), offsetof(TextLayoutParams, leadingSpaceMode),         \
            offsetof(TextLayoutParams, blockStartOffset), offsetof(TextLayoutParams, linePitch),        \
            offsetof(TextLayoutParams, firstLineIndent), offsetof(TextLayoutParams, writingMode),       \
            offsetof(TextLayoutParams, alignment), sizeof(TextChar)                                     \
    }
