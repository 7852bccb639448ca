// Controller discovery over a scripted device map, the graphical start-up check, and the drive
// letters of LDs over scripted volumes and disks.
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/Discovery.h"
#include "common/DriveLetters.h"
#include "common/VolumeSeam.h"
#include "common/dll_mod.h"
#include "test_storelib_fake.h"
#include "unit/console_script.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Scripted device map
// ---------------------------------------------------------------------------------------------
struct DeviceMap {
    bool present = true;
    std::vector<std::string> ports;              // subkey names in enumeration order
    std::map<std::string, std::string> drivers;  // subkey name -> Driver value
    std::set<uint32_t> enumErrors;               // indexes whose enumeration fails
    int opened = 0, closed = 0;

    static DeviceMap *&Current()
    {
        static DeviceMap *current = nullptr;
        return current;
    }
};

const char kScsi[] = "HARDWARE\\DEVICEMAP\\Scsi";

long MapOpen(const char *path, void **key)
{
    DeviceMap *map = DeviceMap::Current();
    std::string p = path;
    if (p == kScsi) {
        if (!map->present)
            return 2;
        map->opened++;
        *key = new std::string(p);
        return 0;
    }
    std::string prefix = std::string(kScsi) + "\\";
    if (p.compare(0, prefix.size(), prefix) != 0)
        return 2;
    std::string name = p.substr(prefix.size());
    for (const std::string &port : map->ports)
        if (port == name) {
            map->opened++;
            *key = new std::string(name);
            return 0;
        }
    return 2;
}

long MapEnum(void *, uint32_t index, char *name, uint32_t nameSize)
{
    DeviceMap *map = DeviceMap::Current();
    if (map->enumErrors.count(index))
        return 234;
    if (index >= map->ports.size())
        return 259;
    if (map->ports[index].size() >= nameSize)
        return 234;
    strcpy(name, map->ports[index].c_str());
    return 0;
}

long MapQuery(void *key, const char *valueName, char *out, uint32_t size)
{
    DeviceMap *map = DeviceMap::Current();
    std::string name = *static_cast<std::string *>(key);
    if (std::string(valueName) != "Driver" || !map->drivers.count(name))
        return 2;
    strncpy(out, map->drivers[name].c_str(), size);
    return 0;
}

void MapClose(void *key)
{
    DeviceMap::Current()->closed++;
    delete static_cast<std::string *>(key);
}

std::string &g_console = testconsole::Output();
using testconsole::CaptureConsole;

class Discovery : public ::testing::Test {
protected:
    DeviceMap map;
    slfake::TraceCapture trace;
    ContData *records = nullptr;

    void SetUp() override
    {
        DeviceMap::Current() = &map;
        static const DeviceMapSeam seam = {MapOpen, MapEnum, MapQuery, MapClose};
        SetDeviceMapSeam(&seam);
        records = static_cast<ContData *>(calloc(GUI_MAX_CONTROLLERS, sizeof(ContData)));
        g_console.clear();
        SetConsoleWriter(CaptureConsole);
    }
    void TearDown() override
    {
        SetConsoleWriter(nullptr);
        SetDeviceMapSeam(nullptr);
        FreeContData(records, GUI_MAX_CONTROLLERS);
        free(records);
        DeviceMap::Current() = nullptr;
    }
};

TEST_F(Discovery, MiniportNameMatchesOnItsFirstCharacters)
{
    map.ports = {"Scsi Port 0", "Scsi Port 2"};
    map.drivers = {{"Scsi Port 0", "atapi"}, {"Scsi Port 2", "megasas2"}};
    uint16_t count = 1;
    EXPECT_EQ(1, GetCtrlPortNo(&count, records));
    EXPECT_EQ(2, records[0].scsiPortNo);
    EXPECT_EQ(1, count);
    EXPECT_EQ(map.opened, map.closed) << "every key opened is closed";
    EXPECT_EQ("", g_console);
}

TEST_F(Discovery, OnlyAsManyPortsAsControllers)
{
    map.ports = {"Scsi Port 1", "Scsi Port 3", "Scsi Port 4"};
    map.drivers = {{"Scsi Port 1", "megasas"}, {"Scsi Port 3", "msas2k3"}, {"Scsi Port 4", "MegaSR"}};
    uint16_t count = 2;
    EXPECT_EQ(1, GetCtrlPortNo(&count, records));
    EXPECT_EQ(1, records[0].scsiPortNo);
    EXPECT_EQ(3, records[1].scsiPortNo);
    EXPECT_EQ(0, records[2].scsiPortNo);
}

TEST_F(Discovery, DriverNamesAreCaseSensitive)
{
    map.ports = {"Scsi Port 5", "Scsi Port 12"};
    map.drivers = {{"Scsi Port 5", "MEGASAS"}, {"Scsi Port 12", "megasr"}};
    uint16_t count = 1;
    EXPECT_EQ(1, GetCtrlPortNo(&count, records)) << "no matching port still lets the tool go on";
    EXPECT_EQ(0, records[0].scsiPortNo);
    EXPECT_EQ("Failed to get the registory information.\n", g_console);
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=GetCtrlPortNo: GetControllerHandle error").size());
}

TEST_F(Discovery, MissingDeviceMapFails)
{
    map.present = false;
    uint16_t count = 1;
    EXPECT_EQ(0, GetCtrlPortNo(&count, records));
    EXPECT_EQ("Error - An error has occurred with Windows API. (code=0x2)\n", g_console);
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=GetCtrlPortNo: RegOpenKeyEx error, errcode=2").size());
}

TEST_F(Discovery, BrokenSubkeysAreTracedAndSkipped)
{
    map.ports = {"Scsi Port 0", "Scsi Port 1", "Scsi Port 6", "Scsi Port 7"};
    map.drivers = {{"Scsi Port 1", "megasas"}, {"Scsi Port 7", "megasas"}};
    map.enumErrors = {0};
    uint16_t count = 2;
    EXPECT_EQ(1, GetCtrlPortNo(&count, records));
    EXPECT_EQ(1, records[0].scsiPortNo);
    EXPECT_EQ(7, records[1].scsiPortNo);
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=GetCtrlPortNo: RegEnumKeyEx error, index=0, errcode=234").size());
    EXPECT_EQ(1u, trace.LinesWith("RegQueryValueEx error, index=2").size()) << "Scsi Port 6 has no Driver value";
}

TEST_F(Discovery, NoMoreThanSixteenSubkeysAreTried)
{
    for (int i = 0; i < 20; i++)
        map.ports.push_back("Scsi Port " + std::to_string(i));
    map.drivers["Scsi Port 17"] = "megasas";
    uint16_t count = 1;
    EXPECT_EQ(1, GetCtrlPortNo(&count, records));
    EXPECT_EQ(0, records[0].scsiPortNo);
}

// ---------------------------------------------------------------------------------------------
// Graphical start-up check
// ---------------------------------------------------------------------------------------------
std::vector<std::pair<int, uint32_t>> g_notices;
void RecordNotice(int notice, uint32_t value) { g_notices.push_back({notice, value}); }

class GuiStartup : public Discovery {
protected:
    slfake::FakeLibrary lib;
    static void *Load(const char *) { return reinterpret_cast<void *>(0x1000); }
    static void *Proc(void *, const char *) { return reinterpret_cast<void *>(&slfake::FakeLibrary::Entry); }
    static void Free(void *) {}
    static uint32_t LastError() { return 0; }
    void SetUp() override
    {
        Discovery::SetUp();
        slfake::FakeLibrary::Current() = &lib;
        static const LibLoaderSeam seam = {Load, Proc, Free, LastError};
        SLSetLibLoader(&seam);
        g_notices.clear();
        SetDiscoveryNotifier(RecordNotice);
        map.ports = {"Scsi Port 2"};
        map.drivers = {{"Scsi Port 2", "megasas2"}};
    }
    void TearDown() override
    {
        UnloadStoreLibrary();
        SLSetLibLoader(nullptr);
        SetDiscoveryNotifier(nullptr);
        slfake::FakeLibrary::Current() = nullptr;
        Discovery::TearDown();
    }
};

TEST_F(GuiStartup, AcceptsOneToFourControllers)
{
    slfake::Controller c;
    c.id = 3;
    lib.ctrls = {c};
    uint16_t count = 0;
    uint8_t current = 9;
    EXPECT_NE(0, InitDPXCont(records, &count, &current, nullptr));
    EXPECT_EQ(1, count);
    EXPECT_EQ(0, current);
    EXPECT_EQ(2, records[0].scsiPortNo);
    for (int i = 0; i < GUI_MAX_CONTROLLERS; i++)
        EXPECT_TRUE(records[i].pdList && records[i].ldList && records[i].config) << i;
    EXPECT_EQ(1u, trace.LinesWith("Storelib Version : 04.05.06.0001").size());
    EXPECT_TRUE(g_notices.empty());
}

TEST_F(GuiStartup, RefusesNoControllerAndMoreThanFour)
{
    uint16_t count = 0;
    uint8_t current = 0;
    EXPECT_EQ(0, InitDPXCont(records, &count, &current, nullptr));
    ASSERT_EQ(1u, g_notices.size());
    EXPECT_EQ(DISCOVERY_NO_CONTROLLER, g_notices[0].first);
    EXPECT_EQ(1u, trace.LinesWith("!ERR No Support Controller").size());
    UnloadStoreLibrary();

    lib.ctrls.resize(5);
    for (int i = 0; i < 5; i++)
        lib.ctrls[i].id = (uint32_t)i;
    g_notices.clear();
    EXPECT_EQ(0, InitDPXCont(records, &count, &current, nullptr));
    ASSERT_EQ(1u, g_notices.size());
    EXPECT_EQ(DISCOVERY_OVER_LIMIT, g_notices[0].first);
    EXPECT_EQ(4u, g_notices[0].second);
    EXPECT_EQ(1u, trace.LinesWith("func=InitDPXCont: The number of Controller is over 4").size());
}

TEST_F(GuiStartup, LibraryFailureIsShown)
{
    lib.initStatus = 0x8001;
    uint16_t count = 0;
    uint8_t current = 0;
    EXPECT_EQ(0, InitDPXCont(records, &count, &current, nullptr));
    ASSERT_EQ(1u, g_notices.size());
    EXPECT_EQ(DISCOVERY_LIBRARY_ERROR, g_notices[0].first);
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=InitDPXCont: SLInitLib error").size());
}

// ---------------------------------------------------------------------------------------------
// Drive letters over scripted volumes
// ---------------------------------------------------------------------------------------------
struct Volumes {
    uint32_t drives = 0;                               // logical-drive mask
    std::map<char, unsigned> types;                    // drive type per letter (default fixed)
    std::map<char, std::vector<uint32_t>> extents;     // volume -> disk numbers
    std::map<uint32_t, ScsiAddressInfo> disks;         // disk number -> address
    int extentFailures = 0;                            // the next N extent queries fail
    int addressFailures = 0;                           // the next N address queries fail
    int extentCalls = 0, addressCalls = 0, sleeps = 0, opens = 0, closes = 0;
    std::string windowsDir = "C:\\windows";

    static Volumes *&Current()
    {
        static Volumes *current = nullptr;
        return current;
    }
};

struct Handle {
    bool isVolume;
    char letter;
    uint32_t disk;
};

uint32_t VolDrives() { return Volumes::Current()->drives; }
unsigned VolType(const char *root)
{
    auto it = Volumes::Current()->types.find(root[0]);
    return it == Volumes::Current()->types.end() ? (unsigned)VOLUME_DRIVE_FIXED : it->second;
}
void *VolOpen(const char *path)
{
    Volumes *v = Volumes::Current();
    std::string p = path;
    if (p.size() == 6 && p.compare(0, 4, "\\\\.\\") == 0 && p[5] == ':') {
        if (!v->extents.count(p[4]))
            return nullptr;
        v->opens++;
        return new Handle{true, p[4], 0};
    }
    const std::string drive = "\\\\.\\PHYSICALDRIVE";
    if (p.compare(0, drive.size(), drive) == 0) {
        uint32_t n = (uint32_t)std::stoul(p.substr(drive.size()));
        if (!v->disks.count(n))
            return nullptr;
        v->opens++;
        return new Handle{false, 0, n};
    }
    return nullptr;
}
void VolClose(void *h)
{
    Volumes::Current()->closes++;
    delete static_cast<Handle *>(h);
}
int VolExtents(void *h, uint32_t *disks, uint32_t max, uint32_t *count)
{
    Volumes *v = Volumes::Current();
    v->extentCalls++;
    if (v->extentFailures > 0) {
        v->extentFailures--;
        return 0;
    }
    const std::vector<uint32_t> &list = v->extents[static_cast<Handle *>(h)->letter];
    *count = 0;
    for (uint32_t d : list)
        if (*count < max)
            disks[(*count)++] = d;
    return 1;
}
int VolAddress(void *h, ScsiAddressInfo *address)
{
    Volumes *v = Volumes::Current();
    v->addressCalls++;
    if (v->addressFailures > 0) {
        v->addressFailures--;
        return 0;
    }
    *address = v->disks[static_cast<Handle *>(h)->disk];
    return 1;
}
int VolFlush(void *) { return 1; }
uint32_t VolLastError() { return 0; }
void VolSleep(unsigned ms)
{
    EXPECT_EQ(1000u, ms);
    Volumes::Current()->sleeps++;
}
unsigned VolWinDir(char *buffer, unsigned size)
{
    std::string &dir = Volumes::Current()->windowsDir;
    if (dir.size() >= size)
        return 0;
    strcpy(buffer, dir.c_str());
    return (unsigned)dir.size();
}

class DriveLetters : public ::testing::Test {
protected:
    Volumes vol;
    slfake::TraceCapture trace;
    ContData *rec = nullptr;
    void SetUp() override
    {
        Volumes::Current() = &vol;
        static const VolumeSeam seam = {VolDrives,   VolType,  VolOpen,      VolClose, VolExtents,
                                        VolAddress, VolFlush, VolLastError, VolSleep, VolWinDir};
        SetVolumeSeam(&seam);
        rec = static_cast<ContData *>(calloc(1, sizeof(ContData)));
        rec->scsiPortNo = 2;
    }
    void TearDown() override
    {
        SetVolumeSeam(nullptr);
        free(rec);
        Volumes::Current() = nullptr;
    }
};

TEST_F(DriveLetters, VolumeSpanningTwoDisksGoesToTheLdOfEachDisk)
{
    vol.drives = (1u << 2) | (1u << 4) | (1u << 25); // C, E, Z
    vol.types['Z'] = 4;                              // network drive: never asked
    vol.extents['C'] = {0};
    vol.extents['E'] = {1, 2};
    vol.extents['Z'] = {1};
    vol.disks[0] = {2, 0, 0, 0};
    vol.disks[1] = {2, 0, 0, 0};
    vol.disks[2] = {2, 0, 1, 0};
    EXPECT_EQ(1, AssignDriveLetters(rec, 0));
    EXPECT_STREQ("C,E", rec->driveLetters[0]);
    EXPECT_EQ(1, AssignDriveLetters(rec, 1));
    EXPECT_STREQ("E", rec->driveLetters[1]);
    EXPECT_EQ(vol.opens, vol.closes);

    rec->scsiPortNo = 3;
    EXPECT_EQ(1, AssignDriveLetters(rec, 0));
    EXPECT_STREQ("", rec->driveLetters[0]) << "disks on another port belong to another controller";
}

TEST_F(DriveLetters, ExtentQueryIsTriedFiveTimes)
{
    vol.drives = 1u << 4;
    vol.extents['E'] = {1};
    vol.disks[1] = {2, 0, 0, 0};
    vol.extentFailures = 5;
    EXPECT_EQ(0, asignDriveLetter2(rec, 0, 'E'));
    EXPECT_EQ(5, vol.extentCalls);
    EXPECT_EQ(4, vol.sleeps);
    EXPECT_STREQ("", rec->driveLetters[0]);
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=asignDriveLetter2: DeviceIoControl not exe").size());

    vol.extentCalls = vol.sleeps = 0;
    vol.extentFailures = 4;
    EXPECT_EQ(1, asignDriveLetter2(rec, 0, 'E'));
    EXPECT_EQ(5, vol.extentCalls);
    EXPECT_STREQ("E", rec->driveLetters[0]);
}

TEST_F(DriveLetters, ScsiAddressGivesUpAfterSixFailures)
{
    vol.extents['E'] = {1};
    vol.disks[1] = {2, 0, 0, 0};
    vol.addressFailures = 6;
    EXPECT_EQ(1, asignDriveLetter2(rec, 0, 'E'));
    EXPECT_EQ(6, vol.addressCalls);
    EXPECT_EQ(5, vol.sleeps);
    EXPECT_STREQ("", rec->driveLetters[0]);

    vol.addressCalls = 0;
    vol.addressFailures = 5;
    EXPECT_EQ(1, asignDriveLetter2(rec, 0, 'E'));
    EXPECT_EQ(6, vol.addressCalls);
    EXPECT_STREQ("E", rec->driveLetters[0]);
}

TEST_F(DriveLetters, UnopenableDiskStopsTheVolume)
{
    vol.extents['E'] = {7, 1};
    vol.disks[1] = {2, 0, 0, 0};
    EXPECT_EQ(0, asignDriveLetter2(rec, 0, 'E'));
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=asignDriveLetter2: CreateFile not exe").size());
    EXPECT_STREQ("", rec->driveLetters[0]);
    EXPECT_EQ(0, asignDriveLetter2(rec, 0, 'Q')) << "a volume that cannot be opened adds nothing";
}

TEST_F(DriveLetters, SystemVolumeCheck)
{
    strcpy(rec->driveLetters[3], "D,C");
    EXPECT_EQ(1, LdHoldsSystemVolume(rec, 3));
    vol.windowsDir = "E:\\WINDOWS";
    EXPECT_EQ(0, LdHoldsSystemVolume(rec, 3));
    EXPECT_EQ(0, LdHoldsSystemVolume(rec, 4));
}

} // namespace
