/* zavmsg.dll: holds only the message table of the event source zavservice; Event Viewer loads it
   as data to show the texts of the events the tools report. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
