// Snapshot support: the construct-info file (writing per layout, reading with its stop rules,
// removal), snapshot and view names, and the volume flush of an LD behind the volume seam.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/ContData.h"
#include "common/SnapSupport.h"
#include "common/VolumeSeam.h"
#include "common/dll_mod.h"
#include "common/storelib_layout.h"
#include "unit/console_script.h"

namespace {

const uint8_t kCont = 3; // a controller number no other test writes a file for

std::string InfoPath()
{
    char path[600];
    ConstructInfoPath(kCont, path, sizeof(path));
    return path;
}

// Text mode, as the tools write and read the file.
std::string ReadAll(const std::string &path)
{
    std::ifstream in(path);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteAll(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// Four controller records with LD lists of their own.
struct Records {
    Records() : data(new ContData[4]())
    {
        for (int c = 0; c < 4; ++c) {
            std::memset(&lists[c], 0, sizeof(LdList));
            data[c].ldList = &lists[c];
        }
    }
    void AddLd(uint8_t contNo, uint8_t target) { lists[contNo].entries[lists[contNo].count++].targetId = target; }
    std::unique_ptr<ContData[]> data;
    LdList lists[4];
};

void AddGroup(LdCreateRequest *req, std::vector<uint8_t> lds)
{
    RgEntry &g = req->groups[req->groupCount++];
    g.ldCount = (uint8_t)lds.size();
    for (size_t i = 0; i < lds.size(); ++i)
        g.lds[i].ldNo = lds[i];
}

class ConstructInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::remove(InfoPath().c_str());
        std::memset(&request, 0, sizeof(request));
    }
    void TearDown() override { std::remove(InfoPath().c_str()); }
    static LdCreateRequest request;
};
LdCreateRequest ConstructInfoTest::request;

TEST_F(ConstructInfoTest, FileStandsBesideTheInstallFolderWithTheControllerNumber)
{
    std::string path = InfoPath();
    EXPECT_NE(path.find("_snapshot3.csv"), std::string::npos);
    char installDir[260] = {};
    if (RegReadProductValue("InstallDir", installDir, sizeof(installDir))) {
        EXPECT_EQ(path, std::string(installDir) + "_snapshot3.csv");
    }
}

TEST_F(ConstructInfoTest, LayoutOnePairsTheFirstGroupWithTheSecond)
{
    AddGroup(&request, { 4 });
    AddGroup(&request, { 5 });
    ASSERT_EQ(SaveSnapshotConstructInfo(SNAP_LAYOUT_BASE_AND_REPO_GROUPS, &request, kCont), 1);
    EXPECT_EQ(ReadAll(InfoPath()), "4,5\n");
}

TEST_F(ConstructInfoTest, InGroupLayoutsNameEachGroupsLastLdAsRepositoryAndAppend)
{
    AddGroup(&request, { 0, 1, 2 });
    AddGroup(&request, { 7 }); // a group of one LD has no pair
    AddGroup(&request, { 3, 4 });
    ASSERT_EQ(SaveSnapshotConstructInfo(SNAP_LAYOUT_TWO_GROUPS, &request, kCont), 1);
    ASSERT_EQ(SaveSnapshotConstructInfo(SNAP_LAYOUT_ONE_GROUP, &request, kCont), 1);
    EXPECT_EQ(ReadAll(InfoPath()), "0,2\n1,2\n3,4\n0,2\n1,2\n3,4\n");
}

TEST_F(ConstructInfoTest, ReadingPreselectsOnlyExistingPairsAndStopsAtAnLdAbove63)
{
    Records rec;
    for (uint8_t t : { 0, 1, 2, 5 })
        rec.AddLd(kCont, t);
    WriteAll(InfoPath(), "0,2\n1,2\n9,5\n64,2\n3,2\n");
    SnapConstructInfo info;
    EXPECT_EQ(ReadSnapshotConstructInfo(kCont, rec.data.get(), &info), 3);
    EXPECT_EQ(info.repositoryOf[0], 2);
    EXPECT_EQ(info.repositoryOf[1], 2);
    EXPECT_EQ(info.repositoryOf[9], SNAP_INFO_NONE); // LD 9 does not exist
    EXPECT_EQ(info.baseCount[2], 2);
    EXPECT_EQ(info.baseCount[5], 1);                 // counted even without its base
    EXPECT_EQ(info.isRepository[2], 1);
    EXPECT_EQ(info.isRepository[5], 0);
    EXPECT_EQ(info.repositoryOf[3], SNAP_INFO_NONE); // after the stop
}

TEST_F(ConstructInfoTest, ReadingStopsAtALineWithoutTwoNumbers)
{
    Records rec;
    rec.AddLd(kCont, 0);
    rec.AddLd(kCont, 1);
    WriteAll(InfoPath(), "0,1\nbroken\n1,0\n");
    SnapConstructInfo info;
    EXPECT_EQ(ReadSnapshotConstructInfo(kCont, rec.data.get(), &info), 1);
    EXPECT_EQ(info.repositoryOf[1], SNAP_INFO_NONE);
}

TEST_F(ConstructInfoTest, MissingFileMeansNoPreselectionAndRemovalDeletesTheFile)
{
    Records rec;
    SnapConstructInfo info;
    EXPECT_EQ(ReadSnapshotConstructInfo(kCont, rec.data.get(), &info), 0);
    EXPECT_EQ(info.repositoryOf[0], SNAP_INFO_NONE);
    WriteAll(InfoPath(), "0,1\n");
    EXPECT_EQ(RemoveSnapshotConstructInfo(kCont), 1);
    EXPECT_FALSE(std::ifstream(InfoPath()).good());
    EXPECT_EQ(RemoveSnapshotConstructInfo(kCont), 0);
}

TEST(SnapNames, SnapshotAndViewNames)
{
    std::tm when = {};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 7;
    when.tm_hour = 9;
    when.tm_min = 5;
    char name[SNAP_NAME_SIZE];
    MakeSnapshotName(name, sizeof(name), 12, &when);
    EXPECT_STREQ(name, "LD12_2603070905");
    MakeSnapshotName(name, sizeof(name), 63, &when);
    EXPECT_EQ(std::strlen(name), 15u);
    MakeViewName(name, sizeof(name), 7);
    EXPECT_STREQ(name, "LD7_View");
}

// ---------------------------------------------------------------------------------------------
// Volume flush through a scripted volume seam: each letter is a volume on one disk, each disk
// has a SCSI address (port, target).
// ---------------------------------------------------------------------------------------------
struct FakeVolumes {
    std::map<char, uint32_t> diskOfLetter;
    std::map<uint32_t, ScsiAddressInfo> addressOfDisk;
    std::map<char, uint32_t> flushError;   // letter -> error code of a failing flush
    std::vector<char> flushed;
    uint32_t lastError = 0;
    std::vector<std::string> handles;
};
FakeVolumes *g_fake = nullptr;

uint32_t FakeGetLogicalDrives()
{
    uint32_t mask = 0;
    for (auto &v : g_fake->diskOfLetter)
        mask |= 1u << (v.first - 'A');
    return mask;
}
unsigned FakeGetDriveType(const char *) { return VOLUME_DRIVE_FIXED; }
void *FakeOpen(const char *path)
{
    g_fake->handles.push_back(path);
    return reinterpret_cast<void *>(g_fake->handles.size());
}
void FakeClose(void *) {}
const std::string &PathOf(void *handle) { return g_fake->handles[reinterpret_cast<size_t>(handle) - 1]; }
int FakeExtents(void *volume, uint32_t *disks, uint32_t, uint32_t *count)
{
    disks[0] = g_fake->diskOfLetter[PathOf(volume)[4]];
    *count = 1;
    return 1;
}
int FakeScsiAddress(void *disk, ScsiAddressInfo *address)
{
    uint32_t number = (uint32_t)std::stoul(PathOf(disk).substr(std::strlen("\\\\.\\PHYSICALDRIVE")));
    *address = g_fake->addressOfDisk[number];
    return 1;
}
int FakeFlush(void *handle)
{
    char letter = PathOf(handle)[4];
    if (g_fake->flushError.count(letter)) {
        g_fake->lastError = g_fake->flushError[letter];
        return 0;
    }
    g_fake->flushed.push_back(letter);
    return 1;
}
uint32_t FakeLastError() { return g_fake->lastError; }
void FakeSleep(unsigned) {}
unsigned FakeWindowsDir(char *buffer, unsigned size) { return (unsigned)snprintf(buffer, size, "C:\\windows"); }

const VolumeSeam kFakeSeam = { FakeGetLogicalDrives, FakeGetDriveType, FakeOpen, FakeClose, FakeExtents,
                               FakeScsiAddress, FakeFlush, FakeLastError, FakeSleep, FakeWindowsDir };

std::string &g_console = testconsole::Output();
using testconsole::CaptureConsole;

class FlushTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_fake = &fake;
        SetVolumeSeam(&kFakeSeam);
        SetConsoleWriter(CaptureConsole);
        g_console.clear();
        rec.data[0].scsiPortNo = 2;
        rec.AddLd(0, 0);
        rec.AddLd(0, 1);
        // E: and F: lie on LD 1, G: on LD 0, H: on another port.
        fake.diskOfLetter = { { 'E', 1 }, { 'F', 2 }, { 'G', 3 }, { 'H', 4 } };
        fake.addressOfDisk = { { 1, { 2, 0, 1, 0 } }, { 2, { 2, 0, 1, 0 } }, { 3, { 2, 0, 0, 0 } }, { 4, { 3, 0, 1, 0 } } };
    }
    void TearDown() override
    {
        SetVolumeSeam(nullptr);
        SetConsoleWriter(nullptr);
        g_fake = nullptr;
    }
    FakeVolumes fake;
    Records rec;
};

TEST_F(FlushTest, EveryVolumeOfTheLdIsFlushed)
{
    EXPECT_EQ(FlushLDBuffers(0, rec.data.get(), 1), 1);
    EXPECT_EQ(fake.flushed, (std::vector<char>{ 'E', 'F' }));
    EXPECT_STREQ(rec.data[0].driveLetters[1], "E,F");
    EXPECT_EQ(g_console, "");
}

TEST_F(FlushTest, AnLdWithoutDriveLetterNeedsNoFlush)
{
    rec.AddLd(0, 5);
    EXPECT_EQ(FlushLDBuffers(0, rec.data.get(), 5), 1);
    EXPECT_TRUE(fake.flushed.empty());
}

TEST_F(FlushTest, AFailedFlushStopsAndReportsTheErrorCode)
{
    fake.flushError['E'] = 0x1F;
    EXPECT_EQ(FlushLDBuffers(0, rec.data.get(), 1), 0);
    EXPECT_TRUE(fake.flushed.empty()); // F: is left unflushed
    EXPECT_EQ(g_console, "Error - An error has occurred with Windows API. (code=0x1F)\n");
}

uint32_t g_flushNotice = 0;
void RecordFlushNotice(int notice, uint32_t value)
{
    EXPECT_EQ(SNAP_FLUSH_WINDOWS_API_ERROR, notice);
    g_flushNotice = value;
}

TEST_F(FlushTest, AnInstalledNotifierTakesTheErrorInsteadOfTheConsole)
{
    fake.flushError['E'] = 0x1F;
    g_flushNotice = 0;
    SetSnapSupportNotifier(RecordFlushNotice);
    EXPECT_EQ(FlushLDBuffers(0, rec.data.get(), 1), 0);
    SetSnapSupportNotifier(nullptr);
    EXPECT_EQ(0x1Fu, g_flushNotice);
    EXPECT_EQ(g_console, "");
}

// The volume opens while drive letters are mapped (once per LD of the controller) but not for the
// flush that follows.
int g_gOpens = 0;
void *OpenFailingThirdG(const char *path)
{
    if (std::string(path) == "\\\\.\\G:" && ++g_gOpens == 3) {
        g_fake->lastError = 5;
        return nullptr;
    }
    return FakeOpen(path);
}

TEST_F(FlushTest, AFailedOpenReportsTheErrorCode)
{
    VolumeSeam seam = kFakeSeam;
    seam.openDevice = OpenFailingThirdG;
    SetVolumeSeam(&seam);
    g_gOpens = 0;
    EXPECT_EQ(FlushLDBuffers(0, rec.data.get(), 0), 0);
    EXPECT_STREQ(rec.data[0].driveLetters[0], "G");
    EXPECT_TRUE(fake.flushed.empty());
    EXPECT_EQ(g_console, "Error - An error has occurred with Windows API. (code=0x5)\n");
}

} // namespace
