// The Windows side of the installers' seam, the package found beside the running installer, and
// the restart request of the windowed installer.
#ifndef ZAV_SETUP_SETUPPLATFORM_H
#define ZAV_SETUP_SETUPPLATFORM_H

#include "setup/SetupLogic.h"

#ifdef __cplusplus
extern "C" {
#endif

// Fills every platform call of the seam; notify and confirm are left to the front end.
void FillWindowsSetupSeam(SetupSeam *seam);

// The package beside the running program; 1 when the path fits (the file may still be missing).
int LocatePackage(char *path, unsigned size);
// The ProductVersion the package itself carries; 1 when it could be read.
int ReadPackageVersion(const char *packagePath, char *out, unsigned size);

// Asks Windows to restart; 0 or a system error code.
uint32_t RequestRestart(void);

#ifdef __cplusplus
}
#endif

#endif
