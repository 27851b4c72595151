#include "result_codes.h"

#include "textraster.h"

namespace textraster::tool {

const char* ResultMeaning(int32_t code) {
    switch (code) {
        case TR_OK: return "success";
        case TR_INVALID_ARGUMENT:
            return "invalid argument (an empty text or file name, a zero size, font height or line pitch, or a "
                   "region larger than the buffer)";
        case TR_FONT_NOT_REGISTERED: return "the system refused to register the font";
        case TR_FONT_NAME_UNREADABLE:
            return "the font was registered, but its full name could not be read from its name table";
        case TR_FONT_NOT_UNREGISTERED: return "the system refused to unregister the font";
        case TR_BUFFER_TOO_SMALL: return "the destination buffer is smaller than bufferWidth x bufferHeight x 4 bytes";
        case TR_BAD_RECORD_SIZE: return "the record's size field is not sizeof(TextLayoutParams)";
        case TR_OUT_OF_MEMORY: return "memory or a system object the call needs was not available";
        case TR_NO_FONT_METRICS: return "the system did not deliver the font's metrics";
        default: return "an unknown result code";
    }
}

std::string DescribeFailure(const char* function, int32_t code) {
    return std::string(function) + " failed with result " + std::to_string(code) + ": " + ResultMeaning(code);
}

}  // namespace textraster::tool
