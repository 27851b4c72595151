/*
 * textraster — text as ready-made pixels with an opacity channel.
 *
 * The library draws UTF-16 text into a region of the host's 32-bit pixel
 * buffer (bytes blue, green, red, opacity; colours not premultiplied),
 * measures the region a text needs, reports a font's cell height and
 * registers private fonts. Every function returns a TR_* result code and
 * writes further results through the caller's pointers. Calls may come from
 * several threads at once.
 *
 * Every call makes and releases its own device contexts, fonts and bitmaps;
 * no result depends on an earlier call, except that RemoveFont and
 * RemoveMemFont undo AddFont and AddMemFont. What is kept from call to call
 * is bounded and only saves work: a few large memory blocks for surfaces
 * and their read-back and, in the Linux library, a process-wide cache of
 * opened faces at their sizes, glyph images and measured advances (as the
 * platform's own font cache keeps them on Windows), and each calling
 * thread's scratch memory for setting lines. Each cache is keyed by
 * everything its answer depends on, so it never changes a result.
 */
#ifndef TEXTRASTER_H
#define TEXTRASTER_H

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#include <wchar.h>
/* One UTF-16 code unit of text. */
typedef wchar_t TextChar;
#define TEXTRASTER_CALL __stdcall
#define TEXTRASTER_API
#else
#ifdef __cplusplus
typedef char16_t TextChar;
#else
#include <uchar.h>
typedef char16_t TextChar;
#endif
#define TEXTRASTER_CALL
#define TEXTRASTER_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes, shared by every entry point. */
enum {
    TR_OK = 0,
    /* An empty text or file name, a required pointer that is null, a zero
       size or height, or a region larger than the buffer. */
    TR_INVALID_ARGUMENT = 1,
    /* The system refused to register the font. */
    TR_FONT_NOT_REGISTERED = 2,
    /* The font was registered, but its full name could not be read; the
       registration stays in force. */
    TR_FONT_NAME_UNREADABLE = 3,
    /* The system refused to unregister the font. */
    TR_FONT_NOT_UNREGISTERED = 4,
    /* The destination buffer is smaller than bufferWidth x bufferHeight x 4
       bytes (the product is taken in full, never wrapped to 32 bits). */
    TR_BUFFER_TOO_SMALL = 5,
    /* TextLayoutParams.size is not sizeof(TextLayoutParams). */
    TR_BAD_RECORD_SIZE = 6,
    /* Memory or a system object the call needs was not available: the
       normalised text, either drawing surface or its bitmap, a read-back of
       the pixels. Nothing has been written into the pixel buffer then. */
    TR_OUT_OF_MEMORY = 7,
    /* The system did not deliver the font's metrics. */
    TR_NO_FONT_METRICS = 9
};

/* The codes of TextLayoutParams.writingMode. Any other value is accepted;
   its lines are all drawn at the region's top-left corner. */
enum {
    TR_WRITING_HORIZONTAL = 1,    /* lines stacked top to bottom */
    TR_WRITING_RIGHT_TO_LEFT = 2, /* as 1, read from right to left */
    TR_WRITING_VERTICAL = 3       /* columns top to bottom, stacked right to left */
};

/* The codes of TextLayoutParams.alignment: where each line sits along its
   length. Any other value puts every line against the region's left edge
   (its top edge for columns). */
enum { TR_ALIGN_START = 1, TR_ALIGN_CENTRE = 2, TR_ALIGN_END = 3 };

/* The codes of TextLayoutParams.fontStyle and of GetFontCharacterCellHeight's
   fontStyle. 4 and 5 give the fonts of 2 and 3; any other value is regular. */
enum {
    TR_STYLE_REGULAR = 0,
    TR_STYLE_BOLD = 1,
    TR_STYLE_ITALIC = 2,
    TR_STYLE_BOLD_ITALIC = 3,
    TR_STYLE_ITALIC_ALT = 4,
    TR_STYLE_BOLD_ITALIC_ALT = 5
};

/* The request record of RenderText and ComputeTextRegionSize. The library
 * only reads it. On 32-bit targets it is 80 bytes with the offsets noted;
 * on 64-bit targets faceName is 8 bytes wide, so every field after it sits
 * 4 bytes later and the record is 88 bytes. `size` must always equal
 * sizeof(TextLayoutParams) of the target. */
typedef struct TextLayoutParams {
    int16_t size;             /*  0: sizeof(TextLayoutParams) */
    uint16_t destX;           /*  2: buffer column of the region's first pixel */
    uint16_t destY;           /*  4: buffer row (memory order) of the region's first row */
    uint16_t regionWidth;     /*  6: line length for writing modes 1 and 2 */
    uint16_t regionHeight;    /*  8: column length for writing mode 3 */
    uint16_t reserved1;       /* 10 */
    int32_t topDown;          /* 12: nonzero: the buffer's first row is the top one */
    uint16_t bufferWidth;     /* 16: pixels per row, rows unpadded */
    uint16_t bufferHeight;    /* 18: rows */
    uint32_t bufferSize;      /* 20: bytes */
    uint32_t backColor;       /* 24: 0xAABBGGRR: GDI colour, opacity in the top byte */
    uint32_t textColor;       /* 28: as backColor */
    const TextChar* faceName; /* 32: face name, or null for the system's choice */
    uint8_t fontHeight;       /* 36: cell height in pixels; fallback line pitch */
    uint8_t reserved2[3];     /* 37 */
    int32_t fontStyle;        /* 40: TR_STYLE_*: 0 regular, 1 bold, 2/4 italic, 3/5 bold italic */
    int32_t spaceMode;        /* 44: white space other than LF: 0, 2, 3, 4; others remove it */
    int32_t newlineMode;      /* 48: LF: 0 space, 2 kept, 3 zero-width space; others remove it */
    int32_t preserveSpaces;   /* 52: zero: collapse runs of white space */
    int32_t wordWrap;         /* 56: nonzero: break lines that reach the line length */
    int32_t leadingSpaceMode; /* 60: nonzero: keep white space at the start of the text */
    int16_t blockStartOffset; /* 64: first line's distance from the block-start edge */
    uint8_t linePitch;        /* 66: distance between lines */
    uint8_t reserved3;        /* 67 */
    int16_t firstLineIndent;  /* 68: extra offset of the first line (alignment 1 only) */
    uint16_t reserved4;       /* 70 */
    int32_t writingMode;      /* 72: TR_WRITING_*: 1 horizontal, 2 right to left, 3 vertical columns */
    int32_t alignment;        /* 76: TR_ALIGN_*: 1 start, 2 centre, 3 end */
} TextLayoutParams;

#if defined(__cplusplus) || (defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L)
#ifdef __cplusplus
#define TEXTRASTER_ASSERT_LAYOUT(cond, what) static_assert(cond, what)
#else
#define TEXTRASTER_ASSERT_LAYOUT(cond, what) _Static_assert(cond, what)
#endif
/* The fields before faceName sit where hosts expect them on every target;
   the rest move by the pointer's extra width on 64-bit targets. */
#define TEXTRASTER_AFTER_FACE(offset) ((offset) + sizeof(void*) - 4)
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, destX) == 2, "destX");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, destY) == 4, "destY");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, regionWidth) == 6, "regionWidth");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, regionHeight) == 8, "regionHeight");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, topDown) == 12, "topDown");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, bufferWidth) == 16, "bufferWidth");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, bufferHeight) == 18, "bufferHeight");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, bufferSize) == 20, "bufferSize");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, backColor) == 24, "backColor");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, textColor) == 28, "textColor");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, faceName) == 32, "faceName");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, fontHeight) == TEXTRASTER_AFTER_FACE(36), "fontHeight");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, fontStyle) == TEXTRASTER_AFTER_FACE(40), "fontStyle");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, spaceMode) == TEXTRASTER_AFTER_FACE(44), "spaceMode");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, newlineMode) == TEXTRASTER_AFTER_FACE(48), "newlineMode");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, preserveSpaces) == TEXTRASTER_AFTER_FACE(52), "preserveSpaces");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, wordWrap) == TEXTRASTER_AFTER_FACE(56), "wordWrap");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, leadingSpaceMode) == TEXTRASTER_AFTER_FACE(60), "leadingSpaceMode");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, blockStartOffset) == TEXTRASTER_AFTER_FACE(64), "blockStartOffset");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, linePitch) == TEXTRASTER_AFTER_FACE(66), "linePitch");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, firstLineIndent) == TEXTRASTER_AFTER_FACE(68), "firstLineIndent");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, writingMode) == TEXTRASTER_AFTER_FACE(72), "writingMode");
TEXTRASTER_ASSERT_LAYOUT(offsetof(TextLayoutParams, alignment) == TEXTRASTER_AFTER_FACE(76), "alignment");
TEXTRASTER_ASSERT_LAYOUT(sizeof(TextLayoutParams) == (sizeof(void*) == 4 ? 80 : 88), "record size");
#undef TEXTRASTER_AFTER_FACE
#undef TEXTRASTER_ASSERT_LAYOUT
#endif

/* Draws `text` into the region (destX, destY, regionWidth x regionHeight)
 * of `pixels`, clipped to the buffer. Results: 0; 1 (text empty or null,
 * params or pixels null, region wider or taller than the buffer); 6 (size);
 * 5 (bufferSize); 7 (out of memory or surfaces: nothing written into the
 * buffer). `ascent`, `usedLinePitch` and `lastLineExtent` may be null. */
TEXTRASTER_API int32_t TEXTRASTER_CALL RenderText(const TextChar* text, const TextLayoutParams* params,
                                                  uint32_t* pixels, uint16_t* ascent, uint8_t* usedLinePitch,
                                                  uint16_t* lastLineExtent);

/* Measures the region `text` needs under `params`. Results: 0, 1, 6, 7.
 * `ascent` and `lastLineExtent` may be null. */
TEXTRASTER_API int32_t TEXTRASTER_CALL ComputeTextRegionSize(const TextChar* text, const TextLayoutParams* params,
                                                             uint16_t* ascent, uint16_t* neededWidth,
                                                             uint16_t* neededHeight, uint16_t* lastLineExtent);

/* The cell height (low 8 bits) of the font whose character height is the low
 * 8 bits of `characterHeight`. Results: 0, 1, 9. */
TEXTRASTER_API int32_t TEXTRASTER_CALL GetFontCharacterCellHeight(const TextChar* faceName, int32_t characterHeight,
                                                                  int32_t fontStyle, uint8_t* cellHeight);

/* Longest full name written by AddFont and AddMemFont, terminator included:
 * hosts pass a `fullName` buffer of at least this many code units. */
#define TEXTRASTER_FULL_NAME_CAPACITY 64

/* Registers a font file privately for this process and writes its full name.
 * Results: 0; 1 (fileName null or empty, fullName null); 2; 3. */
TEXTRASTER_API int32_t TEXTRASTER_CALL AddFont(const TextChar* fileName, TextChar* fullName);

/* Removes a registration made by AddFont with the same path. Results: 0, 1, 4. */
TEXTRASTER_API int32_t TEXTRASTER_CALL RemoveFont(const TextChar* fileName);

/* Registers a font image held in memory; the image may be released after the
 * call. Results: 0; 1 (image, fontHandle, fontCount or fullName null); 2 (a
 * null handle is written); 3. */
TEXTRASTER_API int32_t TEXTRASTER_CALL AddMemFont(const void* image, uint32_t imageSize, void** fontHandle,
                                                  uint32_t* fontCount, TextChar* fullName);

/* Removes a registration made by AddMemFont. Results: 0, 1, 4. */
TEXTRASTER_API int32_t TEXTRASTER_CALL RemoveMemFont(void* fontHandle);

#ifdef __cplusplus
}
#endif

#endif /* TEXTRASTER_H */
