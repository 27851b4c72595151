// Failures told to a person: what the library's result codes mean, and the
// one way the tool reports a failure.
#pragma once

#include <cstdint>
#include <string>

namespace textraster::tool {

// "the destination buffer is smaller than ..." for TR_BUFFER_TOO_SMALL, and so on.
const char* ResultMeaning(int32_t code);

// "RenderText failed with result 5: the destination buffer is smaller than ...".
std::string DescribeFailure(const char* function, int32_t code);

// Prints "textraster: <message>" to standard error; returns 1, the exit
// status of a failed command.
int Fail(const std::string& message);

}  // namespace textraster::tool
