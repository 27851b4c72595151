// fontconfig leaks a few hundred bytes of its own while it parses its
// configuration, once per process. The targets that reach it load it before
// the first input with leak checking off, so that every leak reported
// afterwards is one that a call made.
#pragma once

#include <fontconfig/fontconfig.h>
#include <sanitizer/lsan_interface.h>

namespace textraster::fuzz {

inline int LoadFontconfig() {
    __lsan_disable();
    FcInit();
    __lsan_enable();
    return 0;
}

}  // namespace textraster::fuzz
