// Version numbers of zavgui, shared by the version resource and the code that shows them.
#ifndef ZAV_GUI_VERSION_H
#define ZAV_GUI_VERSION_H

#define ZAVGUI_VERSION_MAJOR 1
#define ZAVGUI_VERSION_MINOR 0
#define ZAVGUI_VERSION_BUILD 0
#define ZAVGUI_VERSION_REVISION 1

// Must match the four numbers above (the resource compiler cannot build it from them).
#define ZAVGUI_VERSION_TEXT "1.0.0.1"

#define ZAVGUI_PRODUCT_NAME "Norvane RAID Vantrel"
#define ZAVGUI_COMPANY_NAME "Norvane"
#define ZAVGUI_LEGAL_COPYRIGHT "Copyright (C) 2026 Norvane. All rights reserved."

#endif
