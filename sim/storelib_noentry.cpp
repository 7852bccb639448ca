// A library named like the storage library but without its entry point, for the start-up tests
// of the tools (copied as storelib.dll into a test folder).
#include <windows.h>

extern "C" __declspec(dllexport) int __cdecl ZavsimLibraryWithoutEntry(void)
{
    return 0;
}
