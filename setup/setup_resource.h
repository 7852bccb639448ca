// Resource ids of setup.exe, grouped per dialog.
#ifndef ZAV_SETUP_RESOURCE_H
#define ZAV_SETUP_RESOURCE_H

// The wizard dialog
#define IDD_SETUP_WIZARD 100
#define IDC_SETUP_HEADING 1001
#define IDC_SETUP_FINDINGS 1002
#define IDC_SETUP_ACTION_GROUP 1003
#define IDC_SETUP_INSTALL 1004
#define IDC_SETUP_REPAIR 1005
#define IDC_SETUP_UNINSTALL 1006
#define IDC_SETUP_NEXT 1007

#endif
