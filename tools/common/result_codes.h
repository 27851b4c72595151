// What the library's result codes mean, told to a person.
#pragma once

#include <cstdint>
#include <string>

namespace textraster::tool {

// "the destination buffer is smaller than ..." for TR_BUFFER_TOO_SMALL, and so on.
const char* ResultMeaning(int32_t code);

// "RenderText failed with result 5: the destination buffer is smaller than ...".
std::string DescribeFailure(const char* function, int32_t code);

}  // namespace textraster::tool
