// The platform's DLL entry point. The library's only state is the memory it
// keeps for reading surfaces back, freed when a host unloads the library
// (not at process exit, when the system takes it back anyway).
#ifdef _WIN32
#include "platform/gdi.h"
#include "render/readback_blocks.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && !reserved) textraster::ReadBackBlocks().FreeAll();
    return TRUE;
}
#endif
