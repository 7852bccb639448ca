// CacheCade mode: which LDs take the IO policy, which bits change, and that one failed LD does
// not stop the others.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "common/CacheCadeMode.h"
#include "common/ContData.h"
#include "common/StoreLib.h"
#include "common/storelib_layout.h"

namespace {

// A controller that keeps the properties block of each LD and can fail reads or writes per LD.
struct PropController {
    std::map<uint8_t, std::vector<uint8_t>> props;
    std::map<uint8_t, bool> failGet, failSet;
    std::vector<uint8_t> written; // targets in the order they were written

    static PropController *&Current()
    {
        static PropController *current = nullptr;
        return current;
    }
    static uint32_t ZAV_LIBCALL Entry(LibCmdPacket *p) { return Current()->Handle(p); }

    uint32_t Handle(LibCmdPacket *p)
    {
        uint8_t *data = reinterpret_cast<uint8_t *>(static_cast<uintptr_t>(p->dataPtr));
        if (p->cmdType != LIBCMD_TYPE_LD)
            return 0;
        uint8_t target = (uint8_t)p->ref2;
        if (p->cmd == SLCMD_LD_GET_PROP) {
            if (failGet[target] || !props.count(target))
                return 0xC;
            std::memcpy(data, props[target].data(), LD_PROP_SIZE);
            return 0;
        }
        if (p->cmd == SLCMD_LD_SET_PROP) {
            target = data[LP_TARGET_ID];
            if (failSet[target])
                return 0x3;
            props[target].assign(data, data + LD_PROP_SIZE);
            written.push_back(target);
        }
        return 0;
    }
};

class CacheCadeModeTest : public ::testing::Test {
protected:
    PropController ctrl;
    std::unique_ptr<ContData> record{new ContData()};
    LdList ldList;

    void SetUp() override
    {
        PropController::Current() = &ctrl;
        ControllerIdList list;
        std::memset(&list, 0, sizeof(list));
        list.count = 1;
        list.ids[0] = 3;
        SLSetEntryForTest(&PropController::Entry, &list);
        std::memset(&ldList, 0, sizeof(ldList));
        record->ldList = &ldList;
    }
    void TearDown() override
    {
        record->ldList = nullptr;
        SLSetEntryForTest(nullptr, nullptr);
        PropController::Current() = nullptr;
    }

    void AddLd(uint8_t target, uint8_t cache, bool cacheCade)
    {
        ldList.entries[ldList.count++].targetId = target;
        record->ldInfo[target][LI_TARGET_ID] = target;
        record->ldInfo[target][LI_CACHECADE] = cacheCade ? 1 : 0;
        std::vector<uint8_t> block(LD_PROP_SIZE, 0);
        block[LP_TARGET_ID] = target;
        block[LP_DEFAULT_CACHE] = cache;
        block[LP_ACCESS_POLICY] = 2;
        ctrl.props[target] = block;
    }
};

TEST_F(CacheCadeModeTest, IoPolicyBitsChangeAndEveryOtherBitIsKept)
{
    struct Row {
        int cachedIo;
        uint8_t before, after;
    } rows[] = {
        {0, 0x65, 0x05}, // cached IO, read ahead, write back -> direct IO keeps read ahead and write back
        {0, 0x11, 0x11}, // already direct
        {1, 0x05, 0x65},
        {1, 0x71, 0x71},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.before);
        ldList.count = 0;
        ctrl.written.clear();
        AddLd(0, row.before, false);
        EXPECT_EQ(0, SetCacheCadeMode(record.get(), 0, row.cachedIo));
        EXPECT_EQ(row.after, ctrl.props[0][LP_DEFAULT_CACHE]);
        EXPECT_EQ(2, ctrl.props[0][LP_ACCESS_POLICY]);
    }
}

TEST_F(CacheCadeModeTest, CacheCadeLdsAreLeftAlone)
{
    AddLd(0, 0x65, false);
    AddLd(1, 0x00, true);
    AddLd(4, 0x64, false);
    EXPECT_EQ(0, SetCacheCadeMode(record.get(), 0, 0));
    EXPECT_EQ(std::vector<uint8_t>({0, 4}), ctrl.written);
    EXPECT_EQ(0x00, ctrl.props[1][LP_DEFAULT_CACHE]);
}

TEST_F(CacheCadeModeTest, AFailedLdIsCountedAndTheOthersStillChange)
{
    AddLd(0, 0x65, false);
    AddLd(1, 0x65, false);
    AddLd(2, 0x65, false);
    ctrl.failGet[0] = true;
    ctrl.failSet[1] = true;
    EXPECT_EQ(2, SetCacheCadeMode(record.get(), 0, 0));
    EXPECT_EQ(std::vector<uint8_t>({2}), ctrl.written);
    EXPECT_EQ(0x05, ctrl.props[2][LP_DEFAULT_CACHE]);
}

TEST_F(CacheCadeModeTest, NoLdListChangesNothing)
{
    record->ldList = nullptr;
    EXPECT_EQ(0, SetCacheCadeMode(record.get(), 0, 1));
    EXPECT_EQ(0, SetCacheCadeMode(nullptr, 0, 1));
    EXPECT_TRUE(ctrl.written.empty());
}

} // namespace
