// Display conversions: name tables, progress and capacity arithmetic, dates, and the texts built
// from a controller data record (LD state and progress, PD usage, RAID-group names).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/storelib_layout.h"
#include "unit/record_builder.h"

namespace {

using testrec::Record;

std::string Text(int (*fn)(char *, size_t, const uint8_t *), const uint8_t *block)
{
    char buf[128];
    int n = fn(buf, sizeof(buf), block);
    EXPECT_EQ((size_t)n, strlen(buf));
    return buf;
}


// ---------------------------------------------------------------------------------------------
TEST(DispNames, RaidLevelsAndUnknownCode)
{
    char buf[32];
    const struct { int code; const char *name; } rows[] = {
        {0, "RAID0"}, {1, "RAID1"}, {2, "RAID5"}, {3, "RAID6"}, {4, "RAID10"}, {5, ""}, {-1, ""},
    };
    for (const auto &r : rows) {
        EXPECT_EQ(RaidlvlToStr(buf, sizeof(buf), r.code, 0), (int)strlen(r.name)) << r.code;
        EXPECT_STREQ(buf, r.name);
    }
}

TEST(DispNames, LdRaidLevelFromPrimaryLevelAndSpans)
{
    const struct { uint8_t prl; uint8_t spans; int code; } rows[] = {
        {0, 1, RAIDLVL_0}, {1, 1, RAIDLVL_1}, {1, 2, RAIDLVL_10}, {5, 1, RAIDLVL_5},
        {5, 2, RAIDLVL_5}, {6, 3, RAIDLVL_6}, {17, 1, RAIDLVL_INVALID},
    };
    for (const auto &r : rows) {
        uint8_t ld[LD_INFO_SIZE] = {};
        ld[LI_PRIMARY_RAID] = r.prl;
        ld[LI_SPAN_DEPTH] = r.spans;
        EXPECT_EQ(LdRaidLevel(ld), r.code) << (int)r.prl << "/" << (int)r.spans;
    }
}

TEST(DispNames, PdAndLdStatesWithUnknownCodes)
{
    char buf[32];
    const struct { uint16_t code; const char *name; } pd[] = {
        {0, "Unconfig GOOD"}, {1, "Unconfig BAD"}, {2, "HOT SPARE"}, {16, "OFFLINE"}, {17, "FAILED"},
        {20, "REBUILD"}, {24, "ONLINE"}, {32, "COPYBACK"}, {3, "UNKNOWN"}, {0xFFFF, "UNKNOWN"},
    };
    for (const auto &r : pd) {
        PdStateText(buf, sizeof(buf), r.code);
        EXPECT_STREQ(buf, r.name) << r.code;
    }
    const struct { uint8_t code; const char *name; } ld[] = {
        {3, "OPTIMAL"}, {2, "DEGRADED"}, {1, "PARTIALLY DEGRADED"}, {0, "OFFLINE"}, {4, "UNKNOWN"},
    };
    for (const auto &r : ld) {
        LdStateName(buf, sizeof(buf), r.code);
        EXPECT_STREQ(buf, r.name) << (int)r.code;
    }
}

TEST(DispNames, MediaTypeUsesLowFourBits)
{
    uint8_t pd[PD_INFO_SIZE] = {};
    const struct { uint8_t byte; const char *name; } rows[] = {{0x00, "HDD"}, {0x01, "SSD"}, {0xF1, "SSD"}, {0x02, "Not defined"}};
    for (const auto &r : rows) {
        pd[PI_MEDIA_TYPE] = r.byte;
        EXPECT_EQ(Text(MediaTypeText, pd), r.name);
    }
}

TEST(DispNames, LdErrorTextJoinsBothConditions)
{
    uint8_t ld[LD_INFO_SIZE] = {};
    const struct { uint8_t consistent, bad; const char *text; } rows[] = {
        {1, 0, "-"}, {0, 0, "Not Consistent"}, {1, 3, "Bad blocks exist"}, {0, 1, "Not Consistent, Bad blocks exist"},
    };
    for (const auto &r : rows) {
        ld[LI_CONSISTENT] = r.consistent;
        ld[LI_BAD_BLOCKS] = r.bad;
        EXPECT_EQ(Text(LdErrorText, ld), r.text);
    }
}

TEST(DispNames, StripeSizesOfferedByController)
{
    uint8_t ci[CTRL_INFO_SIZE] = {};
    DispName rows[16];
    ci[CI_STRIPE_MIN] = 6; // 32K
    ci[CI_STRIPE_MAX] = 8; // 128K
    unsigned n = CtrlStripeSizes(ci, rows, 16);
    ASSERT_EQ(n, 3u);
    EXPECT_STREQ(rows[0].name, "32K");
    EXPECT_STREQ(rows[2].name, "128K");

    // A minimum outside the table starts at the first row; the table end bounds the count.
    ci[CI_STRIPE_MIN] = 2;
    ci[CI_STRIPE_MAX] = 30;
    n = CtrlStripeSizes(ci, rows, 16);
    ASSERT_EQ(n, 8u);
    EXPECT_STREQ(rows[0].name, "8K");
    EXPECT_STREQ(rows[7].name, "1M");

    char buf[16];
    EXPECT_EQ(StripeSizeText(buf, sizeof(buf), 7), 3);
    EXPECT_STREQ(buf, "64K");
    EXPECT_EQ(StripeSizeText(buf, sizeof(buf), 12), 0);
}

TEST(DispPolicies, WriteBackOnlyWithCacheBackupUnit)
{
    uint8_t ci[CTRL_INFO_SIZE] = {};
    uint8_t ld[LD_INFO_SIZE] = {};
    char buf[32];
    ld[LI_DEFAULT_CACHE] = 0x01; // write back
    ld[LI_CURRENT_CACHE] = 0x01;
    EXPECT_EQ(DefaultWritePolicyText(buf, sizeof(buf), ld, ci), 0); // no unit: no name, line left out
    EXPECT_EQ(CurrentWritePolicyText(buf, sizeof(buf), ld, ci), 10);
    EXPECT_STREQ(buf, "Write Back");
    LayoutPutU32(ci, CI_HW_PRESENT, CI_HW_CACHE_BACKUP);
    DefaultWritePolicyText(buf, sizeof(buf), ld, ci);
    EXPECT_STREQ(buf, "Write Back");

    ld[LI_DEFAULT_CACHE] = 0x11 | 0x04 | 0x60; // always write back, read ahead, cached IO
    ld[LI_CURRENT_CACHE] = 0x11;
    DefaultWritePolicyText(buf, sizeof(buf), ld, ci);
    EXPECT_STREQ(buf, "Always Write Back");
    CurrentWritePolicyText(buf, sizeof(buf), ld, ci);
    EXPECT_STREQ(buf, "Write Back");
    ReadPolicyText(buf, sizeof(buf), ld);
    EXPECT_STREQ(buf, "Always Read Ahead");
    IoPolicyText(buf, sizeof(buf), ld);
    EXPECT_STREQ(buf, "Cached IO");

    DispName rows[4];
    EXPECT_EQ(CtrlWritePolicies(ci, rows, 4), 3u);
    LayoutPutU32(ci, CI_HW_PRESENT, 0);
    EXPECT_EQ(CtrlWritePolicies(ci, rows, 4), 2u);
}

TEST(DispPolicies, SettingsRowsKeepTheirOrderAndDropWritePolicyOnTheEmbeddedController)
{
    std::unique_ptr<ContData> records(new ContData());
    std::memset(records.get(), 0, sizeof(ContData));
    uint8_t ld[LD_INFO_SIZE] = {};
    ld[LI_ACCESS_POLICY] = 2;
    ld[LI_DISK_CACHE] = 2;
    ld[LI_DEFAULT_CACHE] = 0x11 | 0x04 | 0x60;
    ld[LI_CURRENT_CACHE] = 0x11;
    LayoutPutU32(records->ctrlInfo, CI_HW_PRESENT, CI_HW_CACHE_BACKUP);
    std::memcpy(records->ctrlInfo + CI_PRODUCT_NAME, "RAID SAS 8i", 11);
    LdSettingRow rows[LD_SETTING_ROWS_MAX];
    ASSERT_EQ(LdSettingsRows(records.get(), records.get(), ld, rows), 6);
    const char *names[] = {"Access Policy", "Disk Cache Policy", "Read Policy", "IO Policy", "Current Write Policy",
                           "Default Write Policy"};
    const char *texts[] = {"Read Only", "Disabled", "Always Read Ahead", "Cached IO", "Write Back",
                           "Always Write Back"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_STREQ(names[i], rows[i].name);
        EXPECT_STREQ(texts[i], rows[i].text);
    }
    std::memset(records->ctrlInfo + CI_PRODUCT_NAME, 0, 80);
    std::memcpy(records->ctrlInfo + CI_PRODUCT_NAME, "LSI Embedded", 12); // a leading part of the embedded name
    EXPECT_EQ(LdSettingsRows(records.get(), records.get(), ld, rows), 4);
}

TEST(DispPolicies, AccessDiskCacheAndUnmatchedValues)
{
    uint8_t ld[LD_INFO_SIZE] = {};
    char buf[32];
    ld[LI_ACCESS_POLICY] = 2;
    ld[LI_DISK_CACHE] = 2;
    AccessPolicyText(buf, sizeof(buf), ld);
    EXPECT_STREQ(buf, "Read Only");
    DiskCachePolicyText(buf, sizeof(buf), ld);
    EXPECT_STREQ(buf, "Disabled");
    ld[LI_ACCESS_POLICY] = 1;
    ld[LI_DISK_CACHE] = 7;
    ld[LI_DEFAULT_CACHE] = 0x08; // read policy bits 0x08: no row
    EXPECT_EQ(AccessPolicyText(buf, sizeof(buf), ld), 0);
    EXPECT_EQ(DiskCachePolicyText(buf, sizeof(buf), ld), 0);
    EXPECT_EQ(ReadPolicyText(buf, sizeof(buf), ld), 0);
}

TEST(DispPolicies, EmbeddedControllerHidesWritePolicy)
{
    EXPECT_FALSE(WritePolicyShown("LSI Embedded MegaRAID"));
    EXPECT_FALSE(WritePolicyShown("LSI Embedded"));
    EXPECT_TRUE(WritePolicyShown("LSI MegaRAID SAS 9260-8i"));
    EXPECT_TRUE(WritePolicyShown("LSI Embedded MegaRAID 2"));
}

// ---------------------------------------------------------------------------------------------
TEST(DispProgress, PercentTruncates)
{
    EXPECT_EQ(ProgressPercent(65535), 100u);
    EXPECT_EQ(ProgressPercent(655), 0u);
    EXPECT_EQ(ProgressPercent(656), 1u);
    EXPECT_EQ(ProgressPercent(0), 0u);
    EXPECT_EQ(ProgressPercent(32767), 49u);
}

TEST(DispCapacity, CalcLDCapaPerLevel)
{
    const struct { int level; unsigned n; uint64_t size; uint64_t blocks; } rows[] = {
        {RAIDLVL_0, 3, 1000, 3000}, {RAIDLVL_1, 2, 1000, 1000}, {RAIDLVL_5, 4, 1000, 3000},
        {RAIDLVL_6, 5, 1000, 3000}, {RAIDLVL_10, 4, 1000, 2000}, {RAIDLVL_10, 5, 1000, 2000},
        {7, 4, 1000, 0}, {RAIDLVL_INVALID, 4, 1000, 0},
    };
    for (const auto &r : rows)
        EXPECT_EQ(CalcLDCapa(r.level, r.n, r.size, 0), r.blocks) << r.level << "/" << r.n;
}

TEST(DispCapacity, Raid10OfTwoSpansCountsAllDrives)
{
    uint8_t ld[LD_INFO_SIZE] = {};
    ld[LI_PRIMARY_RAID] = 1;
    ld[LI_SPAN_DEPTH] = 2;
    ld[LI_DRIVES_PER_SPAN] = 2;
    LayoutPutU64(ld, LI_SPANS + LI_SPAN_SIZE * 0 + LI_SPAN_BLOCKS, 0);
    LayoutPutU64(ld, LI_SPANS + LI_SPAN_SIZE * 1 + LI_SPAN_BLOCKS, 5000);
    EXPECT_EQ(LdDriveCount(ld), 4u);
    EXPECT_EQ(LdSpanBlocks(ld), 5000u); // the first span whose block count is not 0
    EXPECT_EQ(CalcLDCapa(LdRaidLevel(ld), LdDriveCount(ld), LdSpanBlocks(ld), 0), 10000u);
}

TEST(DispCapacity, CapacityTextDropsPartialMebibytes)
{
    char buf[32];
    const struct { uint64_t blocks; const char *text; } rows[] = {
        {0, "0.000"},
        {1u << 21, "1.000"},
        {(1u << 21) + (1u << 20) - 1, "1.499"},
        {(1u << 21) + (1u << 20), "1.500"},
        {2047, "0.000"},
        {585937500ull, "279.396"},
    };
    for (const auto &r : rows) {
        CapacityText(buf, sizeof(buf), r.blocks);
        EXPECT_STREQ(buf, r.text) << r.blocks;
    }
}

TEST(DispCapacity, SmallestPdWinsFirstAmongEquals)
{
    Record r;
    r.AddPd(0, 10, PD_STATE_UNCONF_GOOD);
    r.AddPd(1, 11, PD_STATE_UNCONF_GOOD);
    r.AddPd(2, 12, PD_STATE_UNCONF_GOOD);
    LayoutPutU64(r.rec->pdInfo[0], PI_COERCED_SIZE, 900);
    LayoutPutU64(r.rec->pdInfo[1], PI_COERCED_SIZE, 500);
    LayoutPutU64(r.rec->pdInfo[2], PI_COERCED_SIZE, 500);
    const uint8_t slots[] = {0, 1, 2};
    unsigned chosen = 99;
    EXPECT_EQ(SmallestPdBlocks(r.rec, slots, 3, &chosen), 500u);
    EXPECT_EQ(chosen, 1u);
}

// ---------------------------------------------------------------------------------------------
TEST(DispDates, FromSecondsEdges)
{
    const struct { uint32_t s; unsigned y, mo, d, h, mi, se; } rows[] = {
        {0, 2000, 1, 1, 0, 0, 0},
        {366u * 86400u - 1, 2000, 12, 31, 23, 59, 59},
        {366u * 86400u, 2001, 1, 1, 0, 0, 0},
        {(366u + 364u) * 86400u, 2001, 12, 31, 0, 0, 0},
        {(31u + 28u) * 86400u + 3661u, 2000, 2, 29, 1, 1, 1},
        {(366u + 365u * 3 + 365u) * 86400u, 2004, 12, 31, 0, 0, 0}, // last day of the next leap year
        {0xFFFFFFFFu, 2136, 2, 7, 6, 28, 15},
    };
    for (const auto &r : rows) {
        ZavDate d = {};
        DateFromSeconds(r.s, &d);
        EXPECT_EQ(d.year, r.y) << r.s;
        EXPECT_EQ(d.month, r.mo) << r.s;
        EXPECT_EQ(d.day, r.d) << r.s;
        EXPECT_EQ(d.hour, r.h) << r.s;
        EXPECT_EQ(d.minute, r.mi) << r.s;
        EXPECT_EQ(d.second, r.se) << r.s;
    }
}

TEST(DispDates, SecondsFromDateRoundTrips)
{
    EXPECT_EQ(SecondsFromDate(2000, 1, 1, 0), 0u);
    EXPECT_EQ(SecondsFromDate(2000, 3, 1, 0), (31u + 29u) * 86400u);
    EXPECT_EQ(SecondsFromDate(2001, 3, 1, 5), (366u + 31u + 28u) * 86400u + 5u * 3600u);
    const unsigned years[] = {2000, 2001, 2004, 2012, 2099, 2100};
    for (unsigned y : years) {
        for (unsigned m = 1; m <= 12; m++) {
            uint32_t s = SecondsFromDate(y, m, 28, 13);
            ZavDate d = {};
            DateFromSeconds(s, &d);
            EXPECT_EQ(d.year, y);
            EXPECT_EQ(d.month, m);
            EXPECT_EQ(d.day, 28);
            EXPECT_EQ(d.hour, 13);
        }
    }
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_TRUE(IsLeapYear(2000));
}

TEST(DispMisc, SasAddressHighWordFirst)
{
    char buf[40];
    EXPECT_EQ(SasAddressText(buf, sizeof(buf), 0x500605B0000272E4ull), 18);
    EXPECT_STREQ(buf, "0x500605B0000272E4");
    SasAddressDigits(buf, sizeof(buf), 0x1ull);
    EXPECT_STREQ(buf, "0000000000000001");
}

TEST(DispMisc, AdvancedOptionBits)
{
    uint8_t ci[CTRL_INFO_SIZE] = {};
    AdvancedOptionSet o;
    AdvancedOptions(ci, &o);
    EXPECT_FALSE(o.snapshot || o.cacheCade || o.fastPath);
    LayoutPutU32(ci, CI_ADAPTER_OPS, 1u << 30);
    LayoutPutU16(ci, CI_CACHECADE, 1);
    LayoutPutU32(ci, CI_LD_OPS, 1u << 10);
    AdvancedOptions(ci, &o);
    EXPECT_TRUE(o.snapshot && o.cacheCade && o.fastPath);
}

TEST(DispMisc, TextsAreCutToTheCallersBuffer)
{
    char buf[6];
    EXPECT_EQ(PdStateText(buf, sizeof(buf), 0), 5);
    EXPECT_STREQ(buf, "Uncon");
    EXPECT_EQ(CapacityText(buf, 0, 1u << 21), 0);
}

// ---------------------------------------------------------------------------------------------
// Texts built from a record
// ---------------------------------------------------------------------------------------------
TEST(DispRecord, LdStateAndProgressWithTwoRebuildingMembers)
{
    Record r;
    r.AddPd(1, 101, PD_STATE_ONLINE, PD_DDF_IN_LD);
    r.AddPd(2, 102, PD_STATE_REBUILD, PD_DDF_IN_LD);
    r.AddPd(3, 103, PD_STATE_REBUILD, PD_DDF_IN_LD);
    r.AddArray(0, {101, 102, 103});
    r.AddLd(0, {0}, 5, 3, LD_STATE_DEGRADED);
    r.Number();
    LayoutPutU32(r.rec->pdInfo[2], PI_PROGRESS_BITS, 1);
    LayoutPutU16(r.rec->pdInfo[2], PI_REBUILD_PROGRESS, 45 * 65535 / 100 + 1);
    LayoutPutU32(r.rec->pdInfo[3], PI_PROGRESS_BITS, 1);
    LayoutPutU16(r.rec->pdInfo[3], PI_REBUILD_PROGRESS, 12 * 65535 / 100 + 1);

    char buf[128];
    LdStateText(buf, sizeof(buf), r.rec, 0);
    EXPECT_STREQ(buf, "DEGRADED(REBUILD)");
    LdProgressText(buf, sizeof(buf), r.rec, 0);
    EXPECT_STREQ(buf, "Rebuild (45%(PD2) ,12%(PD3))");
}

TEST(DispRecord, LdProgressOperationsAndIdle)
{
    Record r;
    r.AddPd(0, 100, PD_STATE_ONLINE, PD_DDF_IN_LD);
    r.AddPd(1, 101, PD_STATE_ONLINE, PD_DDF_IN_LD);
    r.AddArray(0, {100, 101});
    r.AddLd(0, {0}, 1, 2);
    r.Number();
    char buf[64];
    LdProgressText(buf, sizeof(buf), r.rec, 0);
    EXPECT_STREQ(buf, "-");
    LdStateText(buf, sizeof(buf), r.rec, 0);
    EXPECT_STREQ(buf, "OPTIMAL");

    uint8_t *ld = r.rec->ldInfo[0];
    LayoutPutU32(ld, LI_OPERATION_BITS, LD_OP_CC | LD_OP_INIT); // initialization is tested first
    LayoutPutU16(ld, LI_INIT_PROGRESS, 65535);
    LayoutPutU16(ld, LI_CC_PROGRESS, 655);
    LdProgressText(buf, sizeof(buf), r.rec, 0);
    EXPECT_STREQ(buf, "Initialize 100%");
    LayoutPutU32(ld, LI_OPERATION_BITS, LD_OP_CC);
    LdProgressText(buf, sizeof(buf), r.rec, 0);
    EXPECT_STREQ(buf, "CheckConsistency 0%");
}

TEST(DispRecord, CopybackPartnerGivesCopybackLabel)
{
    Record r;
    r.AddPd(4, 104, PD_STATE_ONLINE, PD_DDF_IN_LD);
    r.AddPd(5, 105, PD_STATE_ONLINE, PD_DDF_IN_LD);
    r.AddPd(9, 109, PD_STATE_COPYBACK);
    r.AddArray(0, {104, 105});
    r.AddLd(0, {0}, 1, 2);
    r.Number();
    LayoutPutU16(r.rec->pdInfo[5], PI_COPYBACK_PARTNER, 109);
    LayoutPutU16(r.rec->pdInfo[9], PI_REBUILD_PROGRESS, 65535 / 2);
    char buf[64];
    LdStateText(buf, sizeof(buf), r.rec, 0);
    EXPECT_STREQ(buf, "OPTIMAL(COPYBACK)");
    LdProgressText(buf, sizeof(buf), r.rec, 0);
    EXPECT_STREQ(buf, "Copyback (49%(PD9))");
}

TEST(DispRecord, RaidGroupNamesSpannedOrdinaryAndCacheCade)
{
    Record r;
    r.AddPd(0, 100, PD_STATE_ONLINE, PD_DDF_IN_LD);
    r.AddPd(1, 101, PD_STATE_ONLINE, PD_DDF_IN_LD);
    r.AddPd(2, 102, PD_STATE_ONLINE, PD_DDF_IN_LD);
    r.AddPd(3, 103, PD_STATE_ONLINE, PD_DDF_IN_LD);
    r.AddPd(4, 104, PD_STATE_ONLINE, PD_DDF_IN_LD);
    r.AddPd(5, 105, PD_STATE_ONLINE, PD_DDF_IN_LD);
    r.AddArray(1, {100, 101});
    r.AddArray(2, {102, 103});
    r.AddArray(3, {104});
    r.AddArray(4, {105});
    r.AddLd(0, {1, 2}, 1, 2); // RAID10 over two spans
    r.AddLd(1, {3}, 0, 1);
    r.AddLd(2, {4}, 0, 1, LD_STATE_OPTIMAL, 1); // CacheCade
    r.Number();
    char buf[32];
    RaidGroupName(buf, sizeof(buf), r.rec, 1);
    EXPECT_STREQ(buf, "sRG0");
    RaidGroupName(buf, sizeof(buf), r.rec, 2);
    EXPECT_STREQ(buf, "sRG0");
    RaidGroupName(buf, sizeof(buf), r.rec, 3);
    EXPECT_STREQ(buf, "RG0");
    RaidGroupName(buf, sizeof(buf), r.rec, 4);
    EXPECT_STREQ(buf, "scRG0");
    PdRaidGroupText(buf, sizeof(buf), r.rec, 3);
    EXPECT_STREQ(buf, "sRG0");
    PdRaidGroupText(buf, sizeof(buf), r.rec, 4);
    EXPECT_STREQ(buf, "RG0");
}

TEST(DispRecord, PdUsageByStateAndForeignFlag)
{
    Record r;
    r.AddPd(0, 100, PD_STATE_ONLINE, PD_DDF_IN_LD);
    r.AddPd(1, 101, PD_STATE_ONLINE, PD_DDF_IN_LD);
    r.AddPd(2, 102, PD_STATE_HOT_SPARE, PD_DDF_SPARE | PD_DDF_GLOBAL_SPARE);
    r.AddPd(3, 103, PD_STATE_HOT_SPARE, PD_DDF_SPARE);
    r.AddPd(4, 104, PD_STATE_UNCONF_BAD);
    r.AddPd(5, 105, PD_STATE_ONLINE, PD_DDF_FOREIGN);
    r.AddPd(6, 106, PD_STATE_COPYBACK);
    r.AddPd(7, 107, 99);
    r.AddArray(0, {100, 101});
    r.AddLd(0, {0}, 1, 2);
    r.AddLd(1, {0}, 1, 2);
    r.AddLd(2, {0}, 1, 2);
    r.AddSpare(103, 0);
    r.Number();
    const struct { uint8_t slot; const char *usage; } rows[] = {
        {0, "LD0, 1, 2"}, {2, "GHS"}, {3, "DHS"}, {4, "None"}, {5, "RLD"}, {6, "-"}, {7, "-"},
    };
    char buf[64];
    for (const auto &row : rows) {
        PdUsageText(buf, sizeof(buf), r.rec, row.slot);
        EXPECT_STREQ(buf, row.usage) << (int)row.slot;
    }
    PdRaidGroupText(buf, sizeof(buf), r.rec, 3);
    EXPECT_STREQ(buf, "RG0");
    PdRaidGroupText(buf, sizeof(buf), r.rec, 4);
    EXPECT_STREQ(buf, "-");
    // A global spare's entry names no array, so it belongs to no RAID group.
    r.AddSpare(102, 0);
    ConfigSpare *global = reinterpret_cast<ConfigSpare *>(r.LdEntry(r.Header()->ldCount) + CONFIG_SPARE_SIZE);
    global->arrayCount = 0;
    PdRaidGroupText(buf, sizeof(buf), r.rec, 2);
    EXPECT_STREQ(buf, "-");
    PdLdListText(buf, sizeof(buf), r.rec, 200); // not in the PD list
    EXPECT_STREQ(buf, "-");
}

// A spare's RAID group comes from the PD's DDF bits and the spare entry's array reference alone: the
// count byte after the spare type means nothing, so a library that leaves it 0 (or fills it for a
// global spare) changes nothing.
TEST(DispRecord, SpareRaidGroupFollowsTheDdfBitsNotTheEntryCountByte)
{
    const struct {
        uint16_t ddf;
        uint16_t arrayRef;
        uint8_t countByte;
        const char *usage;
        const char *rg;
    } rows[] = {
        {PD_DDF_SPARE, 0, 0, "DHS", "RG0"},
        {PD_DDF_SPARE, 0, 1, "DHS", "RG0"},
        {PD_DDF_SPARE, 1, 0, "DHS", "RG1"},
        {PD_DDF_SPARE | PD_DDF_GLOBAL_SPARE, 0, 0, "GHS", "-"},
        {PD_DDF_SPARE | PD_DDF_GLOBAL_SPARE, 0, 1, "GHS", "-"},
    };
    for (const auto &row : rows) {
        Record r;
        r.AddPd(0, 100, PD_STATE_ONLINE, PD_DDF_IN_LD);
        r.AddPd(1, 101, PD_STATE_ONLINE, PD_DDF_IN_LD);
        r.AddPd(2, 102, PD_STATE_HOT_SPARE, row.ddf);
        r.AddArray(0, {100});
        r.AddArray(1, {101});
        r.AddLd(0, {0}, 0, 1);
        r.AddLd(1, {1}, 0, 1);
        r.AddSpare(102, row.arrayRef, row.countByte);
        r.Number();
        char buf[32];
        PdUsageText(buf, sizeof(buf), r.rec, 2);
        EXPECT_STREQ(row.usage, buf);
        PdRaidGroupText(buf, sizeof(buf), r.rec, 2);
        EXPECT_STREQ(row.rg, buf) << "ddf=" << row.ddf << " ref=" << row.arrayRef << " count=" << (int)row.countByte;
    }
}

TEST(DispRecord, SpareWithoutAnEntryBelongsToNoGroup)
{
    Record r;
    r.AddPd(2, 102, PD_STATE_HOT_SPARE, PD_DDF_SPARE);
    char buf[32];
    PdRaidGroupText(buf, sizeof(buf), r.rec, 2);
    EXPECT_STREQ("-", buf);
}

} // namespace
