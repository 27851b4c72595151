// Reading a file through the kernel32 calls.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/gdi.h"

namespace {

TEST(File, ReadsFromAnAbsolutePositionUpToTheEnd) {
    char name[] = "/tmp/textraster-file-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "0123456789", 10), 10);
    close(fd);
    const std::string path8(name);
    const std::u16string path(path8.begin(), path8.end());

    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char buffer[8] = {};
    DWORD read = 99;
    EXPECT_EQ(SetFilePointer(file, 6, nullptr, FILE_BEGIN), 6u);
    EXPECT_TRUE(ReadFile(file, buffer, 8, &read, nullptr));
    EXPECT_EQ(read, 4u);
    EXPECT_EQ(std::string(buffer, read), "6789");
    EXPECT_TRUE(ReadFile(file, buffer, 8, &read, nullptr));  // at the end: success, nothing read
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(SetFilePointer(file, 1, nullptr, FILE_BEGIN), 1u);
    EXPECT_TRUE(ReadFile(file, buffer, 3, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "123");
    EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    std::remove(name);

    EXPECT_EQ(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                          nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(
        CreateFileW(u"/tmp", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
        INVALID_HANDLE_VALUE);
}

TEST(File, OpensAPathGivenInUtf16) {
    const std::string name = "/tmp/textraster-\xc3\xa9t\xc3\xa9-" + std::to_string(getpid());  // "été"
    std::FILE* out = std::fopen(name.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("x", out);
    std::fclose(out);
    const std::u16string path = u"/tmp/textraster-\u00e9t\u00e9-" + [] {
        std::string pid = std::to_string(getpid());
        return std::u16string(pid.begin(), pid.end());
    }();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(file));
    std::remove(name.c_str());
}

}  // namespace
