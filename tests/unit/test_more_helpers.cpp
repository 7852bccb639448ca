// Helpers of the LD, PD and snapshot maintenance commands: LD lists as text, RAID-group membership,
// LD and PD selections against a controller record, and raw report output.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cli/zavcli_cmd_com.h"
#include "cli/zavcli_cmd_ldops.h"
#include "common/ContData.h"
#include "common/Facts.h"
#include "common/dll_mod.h"

namespace {

std::string g_console;

void CaptureConsole(const char *text, unsigned length)
{
    g_console.append(text, length);
}

// A controller record with the given LDs and disks, and its lists.
struct Record {
    std::unique_ptr<ContData> data{new ContData()};
    LdList lds{};
    PdList pds{};

    Record()
    {
        std::memset(data.get(), 0, sizeof(ContData));
        data->ldList = &lds;
        data->pdList = &pds;
    }
    void AddLd(uint8_t target, std::vector<uint16_t> arrays)
    {
        lds.entries[lds.count++].targetId = target;
        uint8_t *info = data->ldInfo[target];
        info[LI_TARGET_ID] = target;
        info[LI_SPAN_DEPTH] = static_cast<uint8_t>(arrays.size());
        for (size_t k = 0; k < arrays.size(); ++k)
            LayoutPutU16(info, LI_SPANS + LI_SPAN_SIZE * k + LI_SPAN_ARRAY_REF, arrays[k]);
    }
    void ArrayHolds(uint16_t arrayRef, std::vector<uint8_t> targets)
    {
        uint8_t *info = data->arrayInfo[arrayRef];
        LayoutPutU32(info, AI_LD_COUNT, static_cast<uint32_t>(targets.size()));
        for (size_t j = 0; j < targets.size(); ++j)
            info[AI_LDS + AI_LD_ENTRY_SIZE * j] = targets[j];
    }
    void AddPd(uint16_t deviceId, uint8_t slot, uint8_t devType = 0)
    {
        PdListEntry &e = pds.entries[pds.count++];
        e.deviceId = deviceId;
        e.slotNumber = slot;
        e.scsiDevType = devType;
    }
};

class MoreHelpers : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_console.clear();
        SetConsoleWriter(CaptureConsole);
    }
    void TearDown() override { SetConsoleWriter(nullptr); }
};

std::vector<int> Targets(const uint8_t *list, unsigned count)
{
    return std::vector<int>(list, list + count);
}

TEST_F(MoreHelpers, LdListTextNamesTheFirstLdAndNumbersTheRest)
{
    struct Case {
        std::vector<uint8_t> targets;
        const char *text;
    } cases[] = {{{}, ""}, {{7}, "LD7"}, {{0, 1, 2}, "LD0, 1, 2"}, {{12, 63}, "LD12, 63"}};
    for (const Case &c : cases) {
        char out[64];
        LdListText(out, sizeof(out), c.targets.data(), static_cast<unsigned>(c.targets.size()));
        EXPECT_STREQ(c.text, out);
    }
}

TEST_F(MoreHelpers, LdListTextIsCutToTheBuffer)
{
    uint8_t targets[] = {10, 11, 12, 13};
    char out[8];
    LdListText(out, sizeof(out), targets, 4);
    EXPECT_EQ(std::string("LD10, 1"), out);
}

TEST_F(MoreHelpers, SameRaidGroupListsEveryLdOnTheLdsArrays)
{
    Record r;
    r.AddLd(0, {3});
    r.AddLd(1, {3});
    r.AddLd(2, {3});
    r.AddLd(4, {5, 6}); // spanned over two arrays
    r.ArrayHolds(3, {0, 1, 2});
    r.ArrayHolds(5, {4});
    r.ArrayHolds(6, {4});
    uint8_t out[64];
    unsigned n = LdsOfSameRaidGroup(r.data.get(), 1, out);
    EXPECT_EQ((std::vector<int>{0, 1, 2}), Targets(out, n));
    n = LdsOfSameRaidGroup(r.data.get(), 4, out);
    EXPECT_EQ((std::vector<int>{4}), Targets(out, n)) << "an LD on both arrays of its span is listed once";
}

TEST_F(MoreHelpers, SameRaidGroupSkipsLdsTheControllerDoesNotList)
{
    Record r;
    r.AddLd(2, {1});
    r.ArrayHolds(1, {9, 2});
    uint8_t out[64];
    unsigned n = LdsOfSameRaidGroup(r.data.get(), 2, out);
    EXPECT_EQ((std::vector<int>{2}), Targets(out, n));
}

TEST_F(MoreHelpers, LdSelectionOfAllTakesOnlyExistingLds)
{
    Record r;
    r.AddLd(0, {0});
    r.AddLd(5, {1});
    for (const char *selector : {"", "lall"}) {
        CliArgs args{};
        std::snprintf(args.ldSel, sizeof(args.ldSel), "%s", selector);
        uint8_t targets[64];
        unsigned count = 0;
        int explicitList = -1;
        ASSERT_EQ(1, ResolveLdSelection(r.data.get(), 0, &args, targets, &count, &explicitList)) << selector;
        EXPECT_EQ((std::vector<int>{0, 5}), Targets(targets, count)) << selector;
        EXPECT_EQ(0, explicitList);
    }
    EXPECT_EQ("", g_console);
}

TEST_F(MoreHelpers, LdSelectionNamingAMissingLdIsRefused)
{
    Record r;
    r.AddLd(0, {0});
    CliArgs args{};
    std::snprintf(args.ldSel, sizeof(args.ldSel), "l0,5");
    uint8_t targets[64];
    unsigned count = 0;
    EXPECT_EQ(0, ResolveLdSelection(r.data.get(), 2, &args, targets, &count, nullptr));
    EXPECT_EQ("Error - Controller[2] The specified Logical Drive 5: doesn't exist.\n", g_console);
}

TEST_F(MoreHelpers, PdCheckRefusesSlotsThatAreNoDisk)
{
    Record r;
    r.AddPd(10, 0);
    r.AddPd(11, 1);
    r.AddPd(12, 8, 13); // the enclosure itself
    uint8_t adapters[] = {0};
    uint8_t good[] = {0, 1};
    EXPECT_EQ(1, CheckPdsExist(r.data.get(), adapters, 1, good, 2));
    uint8_t bad[] = {1, 8};
    EXPECT_EQ(0, CheckPdsExist(r.data.get(), adapters, 1, bad, 2));
    EXPECT_EQ("Error - Controller[0] The specified Physical Drive 8: doesn't exist.\n", g_console);
}

TEST_F(MoreHelpers, RawReportIsWrittenAsItStandsAndEmptied)
{
    ReportText report;
    ReportTextReset(&report);
    ReportTextAdd(&report, "(%d) %s\n", 1, "Enable Snapshot");
    ReportTextAdd(&report, "(Q) Quit\n\n");
    ReportTextWrite(&report);
    EXPECT_EQ("(1) Enable Snapshot\n(Q) Quit\n\n", g_console);
    EXPECT_EQ(0u, report.length);
    ReportTextWrite(&report);
    EXPECT_EQ("(1) Enable Snapshot\n(Q) Quit\n\n", g_console) << "an empty report prints nothing";
}

} // namespace
