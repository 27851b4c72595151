// The library's only door to the platform.
//
// On Windows this is <windows.h>: the real GDI, user32 and kernel32. Elsewhere
// it declares exactly the subset the library calls, with the same names,
// types and meaning, implemented in src/platform/portable/ on FreeType,
// HarfBuzz, fontconfig and FriBidi. Code above this header is identical on
// both platforms.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// GDI draws every glyph in the text colour, colour fonts' too (their
// outlines): the two surfaces of a text need not be told apart.
inline BOOL SetOpacitySurface(HDC, BOOL) {
    return TRUE;
}
#else
#include <cstddef>
#include <cstdint>

#define WINAPI

typedef int32_t BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;  // 32 bits, as on Windows (LLP64)
typedef uint32_t UINT;
typedef int32_t INT;
typedef INT* LPINT;
typedef char16_t WCHAR;
typedef const WCHAR* LPCWSTR;
typedef WCHAR* LPWSTR;
typedef void* PVOID;
typedef const void* LPCVOID;
typedef void* LPVOID;
typedef DWORD COLORREF;
typedef size_t SIZE_T;

// Opaque handles; distinct types so that a wrong handle does not compile.
typedef void* HANDLE;
typedef void* HGDIOBJ;
typedef struct PortableDc* HDC;
typedef struct PortableFont* HFONT;
typedef struct PortableBitmap* HBITMAP;
typedef struct PortableWindow* HWND;

#define TRUE 1
#define FALSE 0

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT;

#define LF_FACESIZE 32

typedef struct tagLOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
} LOGFONTW;

typedef struct tagTEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
} TEXTMETRICW;

typedef struct tagBITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
} BITMAP;

typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER;

typedef struct tagRGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
} RGBQUAD;

typedef struct tagBITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
} BITMAPINFO;

// Text alignment flags.
#define TA_LEFT 0
#define TA_RIGHT 2
#define TA_CENTER 6
#define TA_TOP 0
#define TA_RTLREADING 256
#define GDI_ERROR 0xFFFFFFFFu

// Drawing bounds.
#define DCB_RESET 0x0001
#define DCB_ACCUMULATE 0x0002
#define DCB_SET (DCB_RESET | DCB_ACCUMULATE)
#define DCB_ENABLE 0x0004

// Background modes.
#define TRANSPARENT 1
#define OPAQUE 2

#define CLR_INVALID 0xFFFFFFFFu
#define HGDI_ERROR ((HGDIOBJ)(intptr_t)-1)

// Bitmaps.
#define BI_RGB 0
#define BI_BITFIELDS 3
#define DIB_RGB_COLORS 0

// Font description.
#define FW_NORMAL 400
#define FW_BOLD 700
#define DEFAULT_CHARSET 1
#define OUT_OUTLINE_PRECIS 8
#define CLIP_DEFAULT_PRECIS 0
#define ANTIALIASED_QUALITY 4
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0

// Font registration.
#define FR_PRIVATE 0x10

// Files.
#define GENERIC_READ 0x80000000u
#define FILE_SHARE_READ 0x00000001u
#define OPEN_EXISTING 3
#define FILE_ATTRIBUTE_NORMAL 0x80
#define FILE_BEGIN 0
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define INVALID_SET_FILE_POINTER ((DWORD)-1)

// user32: the screen's device context.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// gdi32: device contexts, bitmaps and objects.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
int GetObjectW(HGDIOBJ object, int size, LPVOID out);
BOOL DeleteObject(HGDIOBJ object);
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage);

// gdi32: fonts, measuring and drawing.
HFONT CreateFontIndirectW(const LOGFONTW* logFont);
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size);
BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT partialExtents, SIZE* size);
BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count);
// The one call here that the platform does not have: marks a context whose
// drawing carries opacities as intensities, not colours. A glyph in colours
// of its own (an emoji) is drawn there as its coverage in the text colour,
// and elsewhere in its colours, each by the same amounts.
BOOL SetOpacitySurface(HDC dc, BOOL opacities);
UINT GetTextAlign(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF SetBkColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);
UINT SetBoundsRect(HDC dc, const RECT* bounds, UINT flags);
UINT GetBoundsRect(HDC dc, RECT* bounds, UINT flags);

// gdi32: private font registration.
int AddFontResourceExW(LPCWSTR fileName, DWORD flags, PVOID reserved);
BOOL RemoveFontResourceExW(LPCWSTR fileName, DWORD flags, PVOID reserved);
HANDLE AddFontMemResourceEx(PVOID image, DWORD size, PVOID reserved, DWORD* fontCount);
BOOL RemoveFontMemResourceEx(HANDLE handle);

// kernel32: the process heap.
#define HEAP_ZERO_MEMORY 0x00000008
HANDLE GetProcessHeap();
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block);

// kernel32: reading a file.
HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD shareMode, void* security, DWORD creation, DWORD flags,
                   HANDLE templateFile);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, DWORD* read, void* overlapped);
BOOL CloseHandle(HANDLE handle);

#endif
