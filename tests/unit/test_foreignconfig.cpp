// Reading foreign configurations for the Restore LD page: what each preview adds beside the
// configuration in use, and how a failed or lying controller answer is handled.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "common/ContData.h"
#include "common/ForeignConfig.h"
#include "common/StoreLib.h"
#include "common/storelib_layout.h"

namespace {

struct CfgArray {
    uint16_t ref;
    std::vector<uint16_t> arms;
};
struct CfgLd {
    uint8_t target;
    uint16_t arrayRef;
};

std::vector<uint8_t> BuildConfig(const std::vector<CfgArray> &arrays, const std::vector<CfgLd> &lds)
{
    size_t size = sizeof(ConfigHeader) + arrays.size() * CONFIG_ARRAY_SIZE + lds.size() * CONFIG_LD_SIZE;
    std::vector<uint8_t> cfg(size, 0);
    LayoutPutU32(cfg.data(), 0, (uint32_t)size);
    LayoutPutU16(cfg.data(), 4, (uint16_t)arrays.size());
    LayoutPutU16(cfg.data(), 6, CONFIG_ARRAY_SIZE);
    LayoutPutU16(cfg.data(), 8, (uint16_t)lds.size());
    LayoutPutU16(cfg.data(), 10, CONFIG_LD_SIZE);
    for (size_t i = 0; i < arrays.size(); i++) {
        uint8_t *a = cfg.data() + 32 + i * CONFIG_ARRAY_SIZE;
        a[8] = (uint8_t)arrays[i].arms.size();
        LayoutPutU16(a, 10, arrays[i].ref);
        for (size_t j = 0; j < arrays[i].arms.size(); j++)
            LayoutPutU16(a, 32 + 8 * j, arrays[i].arms[j]);
    }
    for (size_t i = 0; i < lds.size(); i++) {
        uint8_t *e = cfg.data() + 32 + arrays.size() * CONFIG_ARRAY_SIZE + i * CONFIG_LD_SIZE;
        e[LI_TARGET_ID] = lds[i].target;
        e[LI_SPAN_DEPTH] = 1;
        LayoutPutU16(e, LI_SPANS + LI_SPAN_ARRAY_REF, lds[i].arrayRef);
    }
    return cfg;
}

// A controller that answers only the foreign-configuration commands.
struct ForeignController {
    std::vector<std::vector<uint8_t>> previews; // one per foreign configuration
    uint8_t failCmd = 0xFF;                     // configuration command that fails
    uint32_t lieAboutSize = 0;                  // when set, the size answer of every preview
    uint32_t lieAboutTotal = 0;                 // when set, the total written into every preview
    std::vector<uint8_t> indexesRead;

    static ForeignController *&Current()
    {
        static ForeignController *current = nullptr;
        return current;
    }
    static uint32_t ZAV_LIBCALL Entry(LibCmdPacket *p) { return Current()->Handle(p); }

    uint32_t Handle(LibCmdPacket *p)
    {
        uint8_t *data = reinterpret_cast<uint8_t *>(static_cast<uintptr_t>(p->dataPtr));
        if (p->cmdType != LIBCMD_TYPE_CONFIG)
            return 0;
        if (p->cmd == failCmd)
            return 0x3;
        uint8_t index = p->param[0];
        switch (p->cmd) {
        case SLCMD_CFG_FOREIGN_SCAN: {
            ForeignScanResult r;
            std::memset(&r, 0, sizeof(r));
            r.count = (uint32_t)previews.size();
            std::memcpy(data, &r, sizeof(r));
            return 0;
        }
        case SLCMD_CFG_FOREIGN_SIZE:
            if (index >= previews.size())
                return 0xC;
            LayoutPutU32(data, 0, lieAboutSize ? lieAboutSize : (uint32_t)previews[index].size());
            return 0;
        case SLCMD_CFG_FOREIGN_PREVIEW: {
            if (index >= previews.size())
                return 0xC;
            indexesRead.push_back(index);
            std::vector<uint8_t> copy = previews[index];
            if (lieAboutTotal)
                LayoutPutU32(copy.data(), 0, lieAboutTotal);
            std::memcpy(data, copy.data(), std::min<size_t>(copy.size(), p->dataSize));
            return 0;
        }
        default:
            return 0;
        }
    }
};

class ForeignConfigTest : public ::testing::Test {
protected:
    ForeignController ctrl;
    std::unique_ptr<ContData> record{new ContData()};
    std::vector<uint8_t> current;
    std::unique_ptr<RestoreInfo> info{new RestoreInfo()};

    void SetUp() override
    {
        ForeignController::Current() = &ctrl;
        ControllerIdList list;
        std::memset(&list, 0, sizeof(list));
        list.count = 1;
        list.ids[0] = 7;
        SLSetEntryForTest(&ForeignController::Entry, &list);
        // In use: RAID group on array 0 (devices 10, 11) holding LD0 and LD1.
        current = BuildConfig({{0, {10, 11}}}, {{0, 0}, {1, 0}});
        record->config = current.data();
    }
    void TearDown() override
    {
        record->config = nullptr;
        SLSetEntryForTest(nullptr, nullptr);
        ForeignController::Current() = nullptr;
    }
};

TEST_F(ForeignConfigTest, EachConfigurationListsOnlyWhatItsImportAdds)
{
    // Foreign 0 brings array 1 (devices 20, 21) with LD2; foreign 1 brings array 1 (30, 31, 32) with LD2, LD3.
    ctrl.previews.push_back(BuildConfig({{0, {10, 11}}, {1, {20, 21}}}, {{0, 0}, {1, 0}, {2, 1}}));
    ctrl.previews.push_back(BuildConfig({{0, {10, 11}}, {1, {30, 31, 32}}}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    ASSERT_EQ(1, GetRestoreInfo(0, record.get(), info.get()));
    ASSERT_EQ(2u, info->configCount);
    EXPECT_EQ(1u, info->configs[0].ldCount);
    EXPECT_EQ(2, RestoreLdAt(info.get(), 0, 0)[LI_TARGET_ID]);
    EXPECT_EQ(std::vector<uint16_t>({20, 21}),
              std::vector<uint16_t>(info->configs[0].devices, info->configs[0].devices + info->configs[0].pdCount));
    EXPECT_EQ(2u, info->configs[1].ldCount);
    EXPECT_EQ(3, RestoreLdAt(info.get(), 1, 1)[LI_TARGET_ID]);
    EXPECT_EQ(3u, info->configs[1].pdCount);
    EXPECT_EQ(nullptr, RestoreLdAt(info.get(), 1, 2));
    EXPECT_EQ(nullptr, RestoreLdAt(info.get(), 2, 0));
    EXPECT_EQ(std::vector<uint8_t>({0, 1}), ctrl.indexesRead);
}

TEST_F(ForeignConfigTest, NoForeignConfigurationIsSuccessWithNothingListed)
{
    ASSERT_EQ(1, GetRestoreInfo(0, record.get(), info.get()));
    EXPECT_EQ(0u, info->configCount);
    EXPECT_TRUE(ctrl.indexesRead.empty());
}

TEST_F(ForeignConfigTest, MissingArmsAreNotListedAsPds)
{
    ctrl.previews.push_back(BuildConfig({{0, {10, 11}}, {1, {20, ARM_DEVICE_MISSING, 22}}}, {{0, 0}, {1, 0}, {2, 1}}));
    ASSERT_EQ(1, GetRestoreInfo(0, record.get(), info.get()));
    EXPECT_EQ(std::vector<uint16_t>({20, 22}),
              std::vector<uint16_t>(info->configs[0].devices, info->configs[0].devices + info->configs[0].pdCount));
}

TEST_F(ForeignConfigTest, WithoutAConfigurationInUseEveryPreviewEntryCounts)
{
    record->config = nullptr;
    ctrl.previews.push_back(BuildConfig({{0, {20, 21}}}, {{0, 0}}));
    ASSERT_EQ(1, GetRestoreInfo(0, record.get(), info.get()));
    EXPECT_EQ(1u, info->configs[0].ldCount);
    EXPECT_EQ(2u, info->configs[0].pdCount);
}

// Every query of the scan can fail; the call then reports failure and keeps only what it read.
TEST_F(ForeignConfigTest, FailedQueriesReportFailure)
{
    struct Row {
        uint8_t failCmd;
        uint32_t configsKept;
    } rows[] = {
        {SLCMD_CFG_FOREIGN_SCAN, 0},
        {SLCMD_CFG_FOREIGN_SIZE, 0},
        {SLCMD_CFG_FOREIGN_PREVIEW, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.failCmd);
        ctrl.previews.clear();
        ctrl.previews.push_back(BuildConfig({{0, {10, 11}}, {1, {20, 21}}}, {{0, 0}, {1, 0}, {2, 1}}));
        ctrl.failCmd = row.failCmd;
        EXPECT_EQ(0, GetRestoreInfo(0, record.get(), info.get()));
        EXPECT_EQ(row.configsKept, info->configCount);
    }
}

// A size below a header, or absurdly large, is refused before any buffer is read.
TEST_F(ForeignConfigTest, ImplausibleSizesAreRefused)
{
    for (uint32_t size : {1u, 31u, (uint32_t)RESTORE_CONFIG_MAX_SIZE + 1}) {
        SCOPED_TRACE(size);
        ctrl.previews.clear();
        ctrl.indexesRead.clear();
        ctrl.previews.push_back(BuildConfig({{1, {20, 21}}}, {{2, 1}}));
        ctrl.lieAboutSize = size;
        EXPECT_EQ(0, GetRestoreInfo(0, record.get(), info.get()));
        EXPECT_TRUE(ctrl.indexesRead.empty());
    }
}

// A preview whose header claims more than was read is walked only as far as the buffer goes.
TEST_F(ForeignConfigTest, PreviewTotalBeyondItsBufferIsCutToTheBuffer)
{
    std::vector<uint8_t> preview = BuildConfig({{0, {10, 11}}, {1, {20, 21}}}, {{0, 0}, {1, 0}, {2, 1}});
    LayoutPutU16(preview.data(), 8, 40); // claims 40 LDs where 3 were written
    ctrl.previews.push_back(preview);
    ctrl.lieAboutTotal = 0x7FFFFFFF;
    ASSERT_EQ(1, GetRestoreInfo(0, record.get(), info.get()));
    EXPECT_EQ(1u, info->configs[0].ldCount);
}

} // namespace
