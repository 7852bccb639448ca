// Version numbers of zavcli, shared by the version resource and the code that prints them.
#ifndef ZAV_CLI_VERSION_H
#define ZAV_CLI_VERSION_H

#define ZAV_VERSION_MAJOR 1
#define ZAV_VERSION_MINOR 0
#define ZAV_VERSION_BUILD 0
#define ZAV_VERSION_REVISION 1

// Must match the four numbers above (the resource compiler cannot build it from them).
#define ZAV_VERSION_TEXT "1.0.0.1"

#define ZAV_PRODUCT_NAME "Norvane RAID Vantrel"
#define ZAV_COMPANY_NAME "Norvane"
#define ZAV_LEGAL_COPYRIGHT "Copyright (C) 2026 Norvane. All rights reserved."

#endif
