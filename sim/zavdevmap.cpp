// Creates the SCSI device-map keys a Windows machine with a RAID controller has
// (HKLM\HARDWARE\DEVICEMAP\Scsi\Scsi Port N, value Driver). HARDWARE is volatile, so the keys are
// created again after every start of the Wine server. It also writes the product's registry values
// (HKLM\SOFTWARE\Norvane\Zav, 32-bit view), each only when it is missing or different.
// Usage: zavdevmap [--value NAME=DATA ...] ["Scsi Port 2=megasas2" ...] | zavdevmap --clear
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static const char kScsiKey[] = "HARDWARE\\DEVICEMAP\\Scsi";
static const char kProductKey[] = "SOFTWARE\\Norvane\\Zav";

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

static bool SplitAtEquals(const std::string &text, std::string &name, std::string &value)
{
    size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0)
        return false;
    name = text.substr(0, eq);
    value = text.substr(eq + 1);
    return true;
}

// Writes a string value under the product key unless it already holds exactly that string.
static int SetProductValue(const std::string &nameAndData)
{
    std::string name, data;
    if (!SplitAtEquals(nameAndData, name, data)) {
        std::fprintf(stderr, "zavdevmap: expected NAME=DATA after --value, got \"%s\"\n", nameAndData.c_str());
        return 1;
    }
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                              &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        std::fprintf(stderr, "zavdevmap: cannot open %s (error %ld)\n", kProductKey, rc);
        return 1;
    }
    char current[1024] = {};
    DWORD size = sizeof(current) - 1;
    DWORD type = 0;
    bool same = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(current), &size) ==
                    ERROR_SUCCESS &&
                type == REG_SZ && data == current;
    if (!same)
        rc = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(data.c_str()),
                            static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) {
        std::fprintf(stderr, "zavdevmap: cannot write %s (error %ld)\n", name.c_str(), rc);
        return 1;
    }
    return 0;
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
    std::string port, driver;
    if (!SplitAtEquals(portAndDriver, port, driver)) {
        std::fprintf(stderr, "zavdevmap: expected \"Scsi Port N=driver\", got \"%s\"\n", portAndDriver.c_str());
        return 1;
    }
    HKEY key = CreateVolatileKey(scsi, port.c_str());
    if (!key)
        return 1;
    char current[256] = {};
    DWORD size = sizeof(current) - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, "Driver", nullptr, &type, reinterpret_cast<BYTE *>(current), &size) == ERROR_SUCCESS &&
        type == REG_SZ && driver == current) {
        RegCloseKey(key);
        return 0;
    }
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
        std::fprintf(stderr, "usage: zavdevmap [--value NAME=DATA ...] [\"Scsi Port N=driver\" ...] | zavdevmap --clear\n");
        return 2;
    }
    if (std::strcmp(argv[1], "--clear") == 0)
        return ClearPorts();
    int failures = 0;
    std::vector<std::string> ports;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--value") == 0 && i + 1 < argc)
            failures += SetProductValue(argv[++i]);
        else
            ports.push_back(argv[i]);
    }
    if (ports.empty())
        return failures ? 1 : 0;
    HKEY devmap = CreateVolatileKey(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP");
    if (!devmap)
        return 1;
    HKEY scsi = CreateVolatileKey(devmap, "Scsi");
    RegCloseKey(devmap);
    if (!scsi)
        return 1;
    for (const std::string &port : ports)
        failures += AddPort(scsi, port);
    RegCloseKey(scsi);
    return failures ? 1 : 0;
}
