// Simulator tests of the read-only commands: the buffers land in the shared layouts with the
// values of the scenario (offsets checked against literal numbers too).
#include "sim_support.h"

using namespace simtest;

TEST_F(SimFixture, ControllerInformationAndProperties)
{
    Load("default");
    uint8_t info[CTRL_INFO_SIZE];
    ASSERT_EQ(0u, Send(1, 0, 0, 0, 0, 0, info, sizeof(info)));
    EXPECT_EQ("LSI MegaRAID SAS 9260-8i", std::string((char *)info + 1344));
    EXPECT_EQ(0x1000, LayoutU16(info, 0));
    EXPECT_EQ(1u, LayoutU32(info, 1456) & 1u);          // cache backup present
    EXPECT_EQ(64, info[0x53F]);
    EXPECT_EQ(8, LayoutU16(info, 1920));
    EXPECT_EQ(0, LayoutU32(info, 1504) & (1u << 30));
    EXPECT_EQ(3, LayoutU16(info, 0x764) & 0xF);           // RAID5 minimum group size
    EXPECT_EQ(32, LayoutU16(info, 0x764) >> 4);          // RAID5 maximum group size
    uint8_t props[CTRL_PROP_SIZE];
    ASSERT_EQ(0u, Send(1, 1, 0, 0, 0, 0, props, sizeof(props)));
    EXPECT_EQ(0, std::memcmp(props, info + 1536, sizeof(props)));
    EXPECT_EQ(30, props[8]);
}

TEST_F(SimFixture, PdListHoldsDisksAndTheEnclosure)
{
    Load("default");
    PdList list;
    ASSERT_EQ(0u, Send(1, 4, 0, 0, 0, 0, &list, sizeof(list)));
    ASSERT_EQ(9u, list.count);
    int disks = 0;
    for (uint32_t i = 0; i < list.count; ++i) {
        if (list.entries[i].scsiDevType == 0)
            ++disks;
        else
            EXPECT_EQ(0x0D, list.entries[i].scsiDevType);
    }
    EXPECT_EQ(8, disks);
    EnclList encl;
    ASSERT_EQ(0u, Send(1, 5, 0, 0, 0, 0, &encl, sizeof(encl)));
    EXPECT_EQ(1u, encl.count);
    EXPECT_EQ(8, encl.entries[0].slotCount);
    EXPECT_EQ(252, encl.entries[0].deviceId);
}

TEST_F(SimFixture, PdInformationFields)
{
    Load("default");
    std::vector<uint8_t> pd = PdInfo(Dev(5));
    EXPECT_EQ(PD_STATE_HOT_SPARE, LayoutU16(pd.data(), 184));
    EXPECT_EQ(PD_DDF_SPARE | PD_DDF_GLOBAL_SPARE, LayoutU16(pd.data(), 188) & 0xFFF);
    EXPECT_EQ(PD_IF_SAS, LayoutU16(pd.data(), 188) >> 12);
    EXPECT_EQ(5, pd[259]);
    EXPECT_EQ(252, LayoutU16(pd.data(), 256));
    EXPECT_EQ(0xFFFF, LayoutU16(pd.data(), 364));
    EXPECT_EQ((uint64_t)(278.875 * 2097152), LayoutU64(pd.data(), 248));
    EXPECT_EQ("SEAGATE", std::string((char *)pd.data() + 12, 7));
    EXPECT_NE(0u, LayoutU32(pd.data(), 360) & PD_ALLOW_REMOVE_HS);
    std::vector<uint8_t> member = PdInfo(Dev(0));
    EXPECT_EQ(PD_DDF_IN_LD, LayoutU16(member.data(), 188) & 0xFFF);
    uint32_t ops = 0;
    ASSERT_EQ(0u, Send(2, 20, 0, (uint16_t)Dev(0), 0, 0, &ops, 4));
    EXPECT_EQ(ops, LayoutU32(member.data(), 360));
    EXPECT_NE(0u, ops & PD_ALLOW_MAKE_OFFLINE);
    EXPECT_EQ(0u, ops & PD_ALLOW_MAKE_ONLINE);
    uint32_t st = 0;
    PdInfo(999, &st);
    EXPECT_EQ(0xCu, st);
}

TEST_F(SimFixture, LdInformationAndConfiguration)
{
    Load("default");
    std::vector<uint8_t> ld = LdInfo(0);
    EXPECT_EQ(0, ld[0]);
    EXPECT_EQ(5, ld[32]);
    EXPECT_EQ(1, ld[37]);
    EXPECT_EQ(3, ld[36]);
    EXPECT_EQ(LD_STATE_OPTIMAL, ld[38]);
    EXPECT_EQ("System", std::string((char *)ld.data() + 4));
    uint64_t perArm = LayoutU64(ld.data(), 64 + 8);
    EXPECT_EQ(perArm * 2, LayoutU64(ld.data(), 48));
    EXPECT_EQ(0, LayoutU16(ld.data(), 80));
    uint8_t props[LD_PROP_SIZE];
    ASSERT_EQ(0u, Send(3, 1, 0, 0, 0, 0, props, sizeof(props)));
    EXPECT_EQ(0, std::memcmp(props, ld.data(), 24));

    uint8_t probe[CONFIG_SIZE_QUERY];
    ASSERT_EQ(0u, Send(4, 0, 0, 0, 0, 0, probe, sizeof(probe)));
    uint32_t total = LayoutU32(probe, 0);
    EXPECT_EQ(32u + 2 * 288 + 2 * 256 + 1 * 40, total);
    std::vector<uint8_t> cfg(total);
    ASSERT_EQ(0u, Send(4, 0, 0, 0, 0, 0, cfg.data(), total));
    EXPECT_EQ(2, LayoutU16(cfg.data(), 4));
    EXPECT_EQ(2, LayoutU16(cfg.data(), 8));
    EXPECT_EQ(1, LayoutU16(cfg.data(), 12));
    EXPECT_EQ(3, cfg[32 + 8]);
    EXPECT_EQ(Dev(3), LayoutU16(cfg.data(), 32 + 288 + 32));
    EXPECT_EQ(1, cfg[32 + 2 * 288 + 256]);                            // second LD entry: target 1
    EXPECT_EQ(Dev(5), LayoutU16(cfg.data(), 32 + 2 * 288 + 2 * 256));  // spare entry

    uint8_t array[ARRAY_INFO_SIZE];
    ASSERT_EQ(0u, Send(4, 8, 0, 0, 1, 0, array, sizeof(array)));
    EXPECT_EQ(2, array[8]);
    EXPECT_EQ(1u, LayoutU32(array, 828));
    EXPECT_EQ(1, array[832]);
    EXPECT_EQ(sim::ST_ARRAY_INDEX, Send(4, 8, 0, 0, 9, 0, array, sizeof(array)));

    uint8_t members[PD_IN_LD_SIZE];
    ASSERT_EQ(0u, Send(3, 11, 0, 0, 0, 0, members, sizeof(members)));
    EXPECT_EQ(3u, LayoutU32(members, 0));
    EXPECT_EQ(Dev(1), LayoutU16(members, 6));
}

TEST_F(SimFixture, OsDriveNamesDriverVersionAndPatrolRead)
{
    Load("default");
    std::vector<uint8_t> names(OS_DRIVE_NAME_SIZE);
    ASSERT_EQ(0u, Send(1, 12, 0, 0, 0, 0, names.data(), OS_DRIVE_NAME_SIZE));
    EXPECT_EQ(2u, LayoutU32(names.data(), 0));
    EXPECT_EQ("PHYSICALDRIVE0", std::string((char *)names.data() + 4 + 4));
    EXPECT_EQ("", std::string((char *)names.data() + 4 + 144 + 4));
    uint8_t drv[DRV_VER_SIZE];
    ASSERT_EQ(0u, Send(1, 19, 0, 0, 0, 0, drv, sizeof(drv)));
    EXPECT_EQ("6.505.05.00", std::string((char *)drv + 60));
    uint8_t pr[PATROL_READ_PROP_SIZE];
    ASSERT_EQ(0u, Send(1, 15, 0, 0, 0, 0, pr, sizeof(pr)));
    EXPECT_EQ(0, pr[0]);
    EXPECT_EQ(604800u, LayoutU32(pr, 200));
    uint8_t clock[4];
    ASSERT_EQ(0u, Dcmd(DCMD_GET_TIME, 0, 0, clock, 4));
    EXPECT_EQ(LayoutU32(clock, 0) + 604800u, LayoutU32(pr, 196));
    double expected = 0;
    ASSERT_TRUE(sim::SecondsFromDateText("2026-01-15 09:00:00", expected));
    EXPECT_EQ((uint32_t)expected, LayoutU32(clock, 0));
}

TEST_F(SimFixture, CacheBackupAndItsAbsence)
{
    Load("default");
    uint8_t status[CACHEBKUP_STATUS_SIZE], design[CACHEBKUP_DESIGN_SIZE], props[CACHEBKUP_PROP_SIZE];
    ASSERT_EQ(0u, Send(5, 0, 0, 0, 0, 0, status, sizeof(status)));
    EXPECT_EQ(5, status[0]);
    EXPECT_EQ(4050, LayoutU16(status, 2));
    EXPECT_EQ(1180, status[35] * 256 + status[32]);
    ASSERT_EQ(0u, Send(5, 2, 0, 0, 0, 0, design, sizeof(design)));
    EXPECT_EQ(1215, LayoutU16(design, 4));
    EXPECT_EQ(4711, LayoutU16(design, 10));
    ASSERT_EQ(0u, Send(5, 4, 0, 0, 0, 0, props, sizeof(props)));
    EXPECT_EQ(28u * 86400, LayoutU32(props, 0));
    EXPECT_EQ(0, props[9]);
    ASSERT_EQ(0, Zavsim({"cb", "set", "0", "present=0"}));
    EXPECT_EQ(sim::ST_HW_MISSING, Send(5, 0, 0, 0, 0, 0, status, sizeof(status)));
    uint8_t info[CTRL_INFO_SIZE];
    ASSERT_EQ(0u, Send(1, 0, 0, 0, 0, 0, info, sizeof(info)));
    EXPECT_EQ(0u, LayoutU32(info, 1456) & 1u);
}

TEST_F(SimFixture, EnclosureBlocks)
{
    Load("default");
    uint8_t config[ENCL_CONFIG_SIZE], status[ENCL_STATUS_SIZE], conn[ENCL_SAS_CONNECTOR_SIZE];
    ASSERT_EQ(0u, Send(8, 0, 0, 252, 0, 0, config, sizeof(config)));
    EXPECT_EQ(8, config[EC_SLOT_COUNT]);
    EXPECT_EQ(2, config[EC_TEMP_COUNT]);
    EXPECT_EQ("LSI", std::string((char *)config + EC_VENDOR_ID, 3));
    ASSERT_EQ(0u, Send(8, 5, 0, 252, 0, 0, status, sizeof(status)));
    EXPECT_EQ(SENSOR_OK, status[ES_TEMPS]);
    EXPECT_EQ(31, (int16_t)LayoutU16(status, ES_TEMPS + 2));
    EXPECT_EQ(SENSOR_NOT_INSTALLED, status[ES_PSUS + 4]);
    ASSERT_EQ(0u, Send(8, 6, 0, 252, 0, 0, conn, sizeof(conn)));
    EXPECT_EQ("Port 0 - 3", std::string((char *)conn));
    EXPECT_EQ(0xCu, Send(8, 0, 0, 99, 0, 0, config, sizeof(config)));
}

TEST_F(SimFixture, LogSensePagesAndTemperature)
{
    Load("default");
    ScsiPassThru blk;
    std::memset(&blk, 0, sizeof(blk));
    blk.deviceId = (uint16_t)Dev(2);
    blk.cdbLength = 10;
    blk.direction = 2;
    blk.dataLength = 32;
    blk.cdb[0] = 0x4D;
    blk.cdb[2] = 0x40;
    blk.cdb[8] = 32;
    ASSERT_EQ(0u, Send(6, 0, 0, 0, 0, 0, &blk, sizeof(blk)));
    std::vector<uint8_t> pages(blk.data + 4, blk.data + 4 + blk.data[3]);
    EXPECT_NE(pages.end(), std::find(pages.begin(), pages.end(), 0x0D));
    blk.cdb[2] = 0x40 | 0x0D;
    ASSERT_EQ(0u, Send(6, 0, 0, 0, 0, 0, &blk, sizeof(blk)));
    EXPECT_EQ(32, blk.data[9]);
    ASSERT_EQ(0, Zavsim({"pd", "set", "0", "2", "temp_page=0", "temperature=45"}));
    blk.cdb[2] = 0x40;
    ASSERT_EQ(0u, Send(6, 0, 0, 0, 0, 0, &blk, sizeof(blk)));
    pages.assign(blk.data + 4, blk.data + 4 + blk.data[3]);
    EXPECT_EQ(pages.end(), std::find(pages.begin(), pages.end(), 0x0D));
    blk.cdb[2] = 0x40 | 0x0D;
    EXPECT_EQ(0x2Du, Send(6, 0, 0, 0, 0, 0, &blk, sizeof(blk)));
}

TEST_F(SimFixture, LargeScenarioScale)
{
    Load("large");
    EXPECT_EQ(4, LayoutU16(idList, 0));
    PdList list;
    ASSERT_EQ(0u, Send(1, 4, CtrlId(0), 0, 0, 0, &list, sizeof(list)));
    EXPECT_EQ(241u, list.count);
    LdList lds;
    ASSERT_EQ(0u, Send(1, 13, CtrlId(0), 0, 0, 0, &lds, sizeof(lds)));
    EXPECT_EQ(64u, lds.count);
    std::vector<uint8_t> ld = LdInfo(63);
    EXPECT_EQ(5, ld[32]);
    uint8_t info[CTRL_INFO_SIZE];
    ASSERT_EQ(0u, Send(1, 0, CtrlId(0), 0, 0, 0, info, sizeof(info)));
    EXPECT_EQ(240, LayoutU16(info, 1920));
    std::vector<uint8_t> spanned = LdInfo(0, CtrlId(2));
    EXPECT_EQ(2, spanned[37]);
    EXPECT_EQ(1, spanned[32]);
}
