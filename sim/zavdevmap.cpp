// Creates the SCSI device-map keys a Windows machine with a RAID controller has
// (HKLM\HARDWARE\DEVICEMAP\Scsi\Scsi Port N, value Driver). HARDWARE is volatile, so the keys are
// created again after every start of the Wine server.
// Usage: zavdevmap "Scsi Port 2=megasas2" ["Scsi Port 0=atapi" ...] | zavdevmap --clear
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

static const char kScsiKey[] = "HARDWARE\\DEVICEMAP\\Scsi";

static HKEY CreateVolatileKey(HKEY parent, const char *name)
{
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        std::fprintf(stderr, "zavdevmap: cannot create %s (error %ld)\n", name, rc);
        return nullptr;
    }
    return key;
}

static int ClearPorts()
{
    HKEY scsi = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kScsiKey, 0, KEY_ALL_ACCESS, &scsi) != ERROR_SUCCESS)
        return 0;
    char name[256];
    for (;;) {
        DWORD len = sizeof(name);
        if (RegEnumKeyExA(scsi, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (RegDeleteTreeA(scsi, name) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(scsi);
    return 0;
}

static int AddPort(HKEY scsi, const std::string &portAndDriver)
{
    size_t eq = portAndDriver.find('=');
    if (eq == std::string::npos || eq == 0) {
        std::fprintf(stderr, "zavdevmap: expected \"Scsi Port N=driver\", got \"%s\"\n", portAndDriver.c_str());
        return 1;
    }
    std::string port = portAndDriver.substr(0, eq);
    std::string driver = portAndDriver.substr(eq + 1);
    HKEY key = CreateVolatileKey(scsi, port.c_str());
    if (!key)
        return 1;
    LONG rc = RegSetValueExA(key, "Driver", 0, REG_SZ, reinterpret_cast<const BYTE *>(driver.c_str()),
                             static_cast<DWORD>(driver.size() + 1));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) {
        std::fprintf(stderr, "zavdevmap: cannot write Driver of %s (error %ld)\n", port.c_str(), rc);
        return 1;
    }
    return 0;
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: zavdevmap \"Scsi Port N=driver\" ... | zavdevmap --clear\n");
        return 2;
    }
    if (std::strcmp(argv[1], "--clear") == 0)
        return ClearPorts();
    HKEY devmap = CreateVolatileKey(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP");
    if (!devmap)
        return 1;
    HKEY scsi = CreateVolatileKey(devmap, "Scsi");
    RegCloseKey(devmap);
    if (!scsi)
        return 1;
    int failures = 0;
    for (int i = 1; i < argc; ++i)
        failures += AddPort(scsi, argv[i]);
    RegCloseKey(scsi);
    return failures ? 1 : 0;
}
