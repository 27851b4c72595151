// textraster: the command-line renderer. Reads the command line (as UTF-8 on
// every platform) and runs the command it names.
#include <cstdio>
#include <new>
#if __has_include(<malloc.h>)
#include <malloc.h>
#endif
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "files.h"
#include "messages.h"
#include "options.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// clang-format off
#include <shellapi.h>
// clang-format on

#include "utf.h"
#endif

namespace textraster::tool {

namespace {

// The arguments after the program's name, as UTF-8. Windows hands main() its
// arguments in the local code page, so they are taken in UTF-16 there.
std::vector<std::string> Arguments(int argc, char** argv) {
#ifdef _WIN32
    (void)argc, (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    if (!wide) return args;
    for (int i = 1; i < count; ++i) args.push_back(Utf16ToUtf8(wide[i]));
    LocalFree(wide);
    return args;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

int Run(const std::vector<std::string>& args) {
    std::string error;
    const std::optional<Options> options = ParseOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "textraster: %s\n\n%s\nAll options: textraster --help\n", error.c_str(),
                     Synopsis().c_str());
        return kExitUsage;
    }
    try {
        switch (options->command) {
            case Command::Help: {
                std::string failure;
                return WriteStandardOutput(Usage(), failure) ? kExitDone : Fail(failure);
            }
            case Command::Sample: return RunSample(*options);
            case Command::Render: return RunRender(*options);
            case Command::Measure: return RunMeasure(*options);
            case Command::Subtitles: return RunSubtitles(*options);
            case Command::Fonts: return RunFonts(*options);
            case Command::Version: return RunVersion();
        }
    } catch (const std::bad_alloc&) {
        // The buffer is checked against the machine's memory first, but the
        // memory may still not be there: say so rather than abort.
        return Fail("not enough memory for a buffer of that size");
    }
    return kExitUsage;
}

}  // namespace
}  // namespace textraster::tool

int main(int argc, char** argv) {
#ifdef M_MMAP_THRESHOLD
    // The heap a cue frees is kept for the next: glibc would hand a cue's
    // picture (800 KB at 1280 x 160) back to the system and fault it in again
    // page by page (over 2,000 cues 0.9 s of system time instead of 0.2).
    // Blocks above 64 MB are still mapped apart, and so still zero without
    // being written (rendering.cpp).
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
    return textraster::tool::Run(textraster::tool::Arguments(argc, argv));
}
