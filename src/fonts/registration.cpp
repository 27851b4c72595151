// The font registration exports: private fonts for the host's process, from a
// file or from an image in memory, each reported by its full name.
//
// Arguments are checked before the system is called, so a refusal leaves the
// system's font tables and every out-slot untouched. Once the system has
// registered a font, a name that cannot be read is reported (3) but never
// undoes the registration: the host removes it as usual.
#include "fonts/name_table.h"
#include "platform/gdi.h"
#include "textraster.h"

using textraster::NameTableHeader;

extern "C" TEXTRASTER_API int32_t TEXTRASTER_CALL AddFont(const TextChar* fileName, TextChar* fullName) {
    if (fileName == nullptr || fileName[0] == 0) return TR_INVALID_ARGUMENT;
    if (fullName == nullptr) return TR_INVALID_ARGUMENT;
    if (AddFontResourceExW(fileName, FR_PRIVATE, nullptr) == 0) return TR_FONT_NOT_REGISTERED;

    // The reader opens the same path by itself.
    NameTableHeader header{};
    if (textraster::ReadFontFullName(fileName, header, fullName) != textraster::kNameFound)
        return TR_FONT_NAME_UNREADABLE;
    return TR_OK;
}

extern "C" TEXTRASTER_API int32_t TEXTRASTER_CALL RemoveFont(const TextChar* fileName) {
    if (fileName == nullptr || fileName[0] == 0) return TR_INVALID_ARGUMENT;
    return RemoveFontResourceExW(fileName, FR_PRIVATE, nullptr) ? TR_OK : TR_FONT_NOT_UNREGISTERED;
}

extern "C" TEXTRASTER_API int32_t TEXTRASTER_CALL AddMemFont(const void* image, uint32_t imageSize, void** fontHandle,
                                                             uint32_t* fontCount, TextChar* fullName) {
    if (image == nullptr || fontHandle == nullptr || fontCount == nullptr || fullName == nullptr)
        return TR_INVALID_ARGUMENT;

    // The system writes the count of fonts it installed into the slot (DWORD
    // and uint32_t are distinct types of one width on Windows); a slot the
    // system leaves alone keeps its value.
    DWORD count = *fontCount;
    // The system only reads the image; its parameter is not const.
    const HANDLE handle = AddFontMemResourceEx(const_cast<void*>(image), imageSize, nullptr, &count);
    *fontCount = count;
    *fontHandle = handle;
    if (handle == nullptr) return TR_FONT_NOT_REGISTERED;

    NameTableHeader header{};
    if (textraster::ReadMemFontFullName(image, imageSize, header, fullName) != textraster::kNameFound)
        return TR_FONT_NAME_UNREADABLE;
    return TR_OK;
}

extern "C" TEXTRASTER_API int32_t TEXTRASTER_CALL RemoveMemFont(void* fontHandle) {
    if (fontHandle == nullptr) return TR_INVALID_ARGUMENT;
    return RemoveFontMemResourceEx(fontHandle) ? TR_OK : TR_FONT_NOT_UNREGISTERED;
}
