// Identities of the installer package that must never change between versions: the upgrade code
// ties every version of the product together so a newer package replaces an older one.
#ifndef ZAV_SETUP_PACKAGE_IDS_H
#define ZAV_SETUP_PACKAGE_IDS_H

#define ZAV_UPGRADE_CODE "{6B0E5F7A-3C1D-4E8B-9A27-5D4C8E1F2A90}"
#define ZAV_PACKAGE_FILE "NorvaneRaidVantrel.msi"
#define ZAV_SETUP_MUTEX "zavsetup"

#endif
