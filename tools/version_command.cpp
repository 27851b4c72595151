// textraster --version: the tool's version and the library it loaded. The
// library exports no version of its own: natively its file name carries it
// (libtextraster.so.0.1.0); on Windows the DLL's version resource, if it has
// one.
#include <cstdio>
#include <string>

#include "commands.h"
#include "files.h"
#include "messages.h"
#include "textraster.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <vector>

#include "utf.h"
#else
#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#endif

namespace textraster::tool {
namespace {

// "0.1.0 (path)" of the library that RenderText comes from.
std::string LoadedLibrary() {
#ifdef _WIN32
    // By name: the address of RenderText here is the program's own import stub.
    HMODULE module = GetModuleHandleW(L"textraster.dll");
    if (!module) return "not found";
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    std::string version = "no version resource";
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    std::vector<uint8_t> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size && GetFileVersionInfoW(path, 0, size, info.data()) &&
        VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        version = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                  std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." + std::to_string(HIWORD(fixed->dwFileVersionLS));
    }
    return version + " (" + Utf16ToUtf8(path) + ")";
#else
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&RenderText), &info) || !info.dli_fname) return "not found";
    char resolved[PATH_MAX];
    const std::string path = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
    const size_t so = path.rfind(".so.");
    const std::string version = so == std::string::npos ? "no version in its file name" : path.substr(so + 4);
    return version + " (" + path + ")";
#endif
}

}  // namespace

int RunVersion() {
    std::string error;
    if (!WriteStandardOutput(
            std::string("textraster ") + TEXTRASTER_TOOL_VERSION + "\nlibrary: " + LoadedLibrary() + "\n", error))
        return Fail(error);
    return kExitDone;
}

}  // namespace textraster::tool
