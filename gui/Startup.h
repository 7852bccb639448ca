// Program entry of zavgui without the Win32 calls: single-instance mutex, administrator check,
// the modal main dialog, and the tear-down in reverse order.
#ifndef ZAV_GUI_STARTUP_H
#define ZAV_GUI_STARTUP_H

enum { INSTANCE_NEW = 0, INSTANCE_ALREADY_RUNNING = 1 };

struct StartupSeam {
    int (*createMutex)(const char *name, void **handle); // INSTANCE_NEW or INSTANCE_ALREADY_RUNNING
    void (*closeMutex)(void *handle);
    int (*isUserAdmin)(void);
    void (*setEnglishLocale)(void);
    int (*runMainDialog)(void);
};

#ifdef __cplusplus
extern "C" {
#endif

const StartupSeam *WindowsStartupSeam(void);
// 1 after a normal run, 0 when a start-up check stopped the program.
int ZavguiMain(const StartupSeam *seam);

#ifdef __cplusplus
}
#endif

#endif
