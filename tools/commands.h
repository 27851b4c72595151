// The tool's commands; each returns the process's exit status.
#pragma once

#include <string>

#include "options.h"

namespace textraster::tool {

// kExitSomeFailed: subtitles wrote some cues and not others (each said);
// none written is kExitFailed.
enum ExitStatus { kExitDone = 0, kExitFailed = 1, kExitUsage = 2, kExitSomeFailed = 3 };

int RunSample(const Options& options);
int RunRender(const Options& options);
int RunMeasure(const Options& options);
int RunSubtitles(const Options& options);
int RunFonts(const Options& options);
int RunVersion();

}  // namespace textraster::tool
