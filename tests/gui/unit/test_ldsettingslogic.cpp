// LD and snapshot-base Settings logic and the "Back" rule, against the simulator.
#include "gui_fixture.h"

#include <cstring>

#include "common/Facts.h"
#include "gui/LdSettingsLogic.h"

namespace guitest {
namespace {

class LdSettingsTest : public GuiLogicTest {
protected:
    // Three LDs in one RAID group (targets 0, 1, 2) and a plain RAID1 LD (target 3).
    void StartThreeLdGroup(bool cacheBackup = true)
    {
        std::string file = paths.state + ".scenario.json";
        {
            std::ofstream out(file, std::ios::binary);
            out << R"({"controllers": [{"id": 0, "cache_backup": )" << (cacheBackup ? R"({"type": 5})" : "false")
                << R"(, "enclosures": [{"devId": 252, "slots": 8}],
                  "drives": [{"slots": "0-7", "size_gb": 278.875}],
                  "lds": [{"raid": 5, "slots": [0, 1, 2], "count": 3, "names": ["One", "Two", "Three"]},
                          {"raid": 1, "slots": [3, 4], "name": "Other"}]}]})";
        }
        Start(file);
        DeleteFileA(file.c_str());
    }
    std::string Name(uint8_t target)
    {
        char name[32];
        LdNameText(name, sizeof(name), CurrentRecord()->ldInfo[target]);
        return name;
    }
    LdSettingsChoice Choice(int32_t write, const char *name)
    {
        LdSettingsChoice c;
        memset(&c, 0, sizeof(c));
        c.readPolicy = 4;
        c.writePolicy = write;
        c.ioPolicy = 96;
        c.accessPolicy = 2;
        c.diskCache = 2;
        strncpy(c.name, name, sizeof(c.name) - 1);
        return c;
    }
};

TEST_F(LdSettingsTest, WholeRaidGroupTakesThePoliciesOnlyTheShownLdTheName)
{
    StartThreeLdGroup();
    ExpectBox(IDS_LD_SETTINGS_SAME_RG, IDS_CAPTION_SETTING_CONFIRM);
    ExpectBox(IDS_LD_SETTINGS_DONE, IDS_CAPTION_LD_INFO);
    LdSettingsChoice c = Choice(1, "Renamed");
    EXPECT_EQ(LD_SET_DONE, ApplyLdSettings(nullptr, 0, 1, &c));
    EXPECT_EQ(3u, Sent("SLSetLDProperties").size());
    for (uint8_t t = 0; t < 3; t++) {
        SCOPED_TRACE(t);
        const uint8_t *ld = CurrentRecord()->ldInfo[t];
        EXPECT_EQ(0x65, ld[LI_DEFAULT_CACHE]);
        EXPECT_EQ(2, ld[LP_ACCESS_POLICY]);
        EXPECT_EQ(2, ld[LP_DISK_CACHE]);
    }
    EXPECT_EQ("One", Name(0));
    EXPECT_EQ("Renamed", Name(1));
    EXPECT_EQ("Three", Name(2));
    EXPECT_EQ("Other", Name(3));
    EXPECT_NE(0x65, CurrentRecord()->ldInfo[3][LI_DEFAULT_CACHE]);
}

TEST_F(LdSettingsTest, SingleLdGroupAsksNoGroupQuestion)
{
    StartThreeLdGroup();
    ExpectBox(IDS_LD_SETTINGS_DONE, IDS_CAPTION_LD_INFO);
    LdSettingsChoice c = Choice(0, "Other");
    EXPECT_EQ(LD_SET_DONE, ApplyLdSettings(nullptr, 0, 3, &c));
    EXPECT_EQ(1u, Sent("SLSetLDProperties").size());
}

TEST_F(LdSettingsTest, FailedWriteShows536AndStops)
{
    StartThreeLdGroup();
    Sim({"fault", "add", "3", "2", "0x32"});
    ExpectBox(IDS_LD_SETTINGS_SAME_RG, IDS_CAPTION_SETTING_CONFIRM);
    ExpectBox(IDS_LD_SETTINGS_FAILED, IDS_CAPTION_LD_INFO);
    LdSettingsChoice c = Choice(0, "X");
    EXPECT_EQ(LD_SET_FAILED, ApplyLdSettings(nullptr, 0, 1, &c));
    EXPECT_EQ(1u, Sent("SLSetLDProperties").size());
}

TEST_F(LdSettingsTest, UnreadableLdShows536BeforeAnyQuestion)
{
    StartThreeLdGroup();
    Sim({"fault", "add", "3", "0", "0x0C", "count=1"});
    ExpectBox(IDS_LD_SETTINGS_FAILED, IDS_CAPTION_LD_INFO);
    LdSettingsChoice c = Choice(17, "X");
    EXPECT_EQ(LD_SET_FAILED, ApplyLdSettings(nullptr, 0, 1, &c));
    EXPECT_TRUE(Sent("SLSetLDProperties").empty());
}

// "Always Write Back" asks with the text for the controller's cache-backup unit; Cancel stops.
TEST_F(LdSettingsTest, AlwaysWriteBackAsksAndCancelWritesNothing)
{
    struct Row {
        bool unit;
        uint16_t text;
    } rows[] = {{true, IDS_AWB_WITH_UNIT}, {false, IDS_AWB_NO_UNIT}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.unit);
        StartThreeLdGroup(r.unit);
        ExpectBox(r.text, IDS_CAPTION_SETTING_CONFIRM, BOX_CANCEL);
        LdSettingsChoice c = Choice(LD_WRITE_ALWAYS_BACK, "Other");
        EXPECT_EQ(LD_SET_CANCELLED, ApplyLdSettings(nullptr, 0, 3, &c));
        EXPECT_TRUE(Sent("SLSetLDProperties").empty());
    }
}

TEST_F(LdSettingsTest, WritePolicyListOffersCacheBackupOnlyWithAUnit)
{
    unsigned count = 0;
    StartThreeLdGroup(true);
    const ListEntry *with = WritePolicyList(CurrentRecord(), &count);
    ASSERT_EQ(3u, count);
    EXPECT_STREQ("Write Back with Cache Backup", with[1].text);
    StartThreeLdGroup(false);
    const ListEntry *without = WritePolicyList(CurrentRecord(), &count);
    ASSERT_EQ(2u, count);
    EXPECT_EQ(LD_WRITE_ALWAYS_BACK, (int)without[1].value);
}

TEST_F(LdSettingsTest, SnapshotSettingsShow593OrOn368)
{
    struct Row {
        bool fault;
        uint16_t box;
        int outcome;
    } rows[] = {{false, IDS_SNAPSHOT_SETTINGS_DONE, SNAP_SET_DONE}, {true, IDS_SNAPSHOT_SETTINGS_FAILED, SNAP_SET_FAILED}};
    for (const Row &r : rows) {
        Start("snapshot");
        if (r.fault)
            Sim({"fault", "add", "3", "2", "0x32"});
        ExpectBox(r.box, IDS_CAPTION_SNAPSHOT_INFO);
        EXPECT_EQ(r.outcome, ApplySnapshotSettings(nullptr, 0, 0, 1, 0));
        if (!r.fault) {
            EXPECT_EQ(1, AutoSnapshotEnabled(CurrentRecord(), 0));
            EXPECT_EQ(0, AutoDeleteEnabled(CurrentRecord(), 0));
        }
    }
}

TEST_F(LdSettingsTest, BackAsksOnlyFromSettings)
{
    EXPECT_EQ(1, BackMayClose(nullptr, 0, IDS_CAPTION_LD_INFO));
    EXPECT_EQ(0u, BoxesShown());
    ExpectBox(IDS_CLOSE_DIALOG_ASK, IDS_CAPTION_CTRL_INFO, BOX_NO);
    EXPECT_EQ(0, BackMayClose(nullptr, 1, IDS_CAPTION_CTRL_INFO));
    ExpectBox(IDS_CLOSE_DIALOG_ASK, IDS_CAPTION_LD_INFO, BOX_YES);
    EXPECT_EQ(1, BackMayClose(nullptr, 1, IDS_CAPTION_LD_INFO));
}

} // namespace
} // namespace guitest
