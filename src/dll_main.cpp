// The platform's DLL entry point: the library keeps no state, so there is
// nothing to set up or tear down.
#ifdef _WIN32
#include "platform/gdi.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
#endif
