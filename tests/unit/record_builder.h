// Test fixture shared by the unit tests that read a controller data record: a zero-filled record
// with owned PD, LD and configuration buffers, and builders for its PDs, arrays, LDs and spares.
#ifndef ZAV_TESTS_UNIT_RECORD_BUILDER_H
#define ZAV_TESTS_UNIT_RECORD_BUILDER_H

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "common/ContData.h"
#include "common/storelib_layout.h"

namespace testrec {

// A zero-filled controller data record with owned list and configuration buffers.
struct Record {
    ContData *rec;
    Record()
    {
        rec = static_cast<ContData *>(calloc(1, sizeof(ContData)));
        rec->pdList = static_cast<PdList *>(calloc(1, sizeof(PdList)));
        rec->ldList = static_cast<LdList *>(calloc(1, sizeof(LdList)));
        rec->config = static_cast<uint8_t *>(calloc(1, 8192));
        ConfigHeader *h = reinterpret_cast<ConfigHeader *>(rec->config);
        h->totalSize = 8192;
        h->arrayEntrySize = CONFIG_ARRAY_SIZE;
        h->ldEntrySize = CONFIG_LD_SIZE;
    }
    ~Record()
    {
        free(rec->pdList);
        free(rec->ldList);
        free(rec->config);
        free(rec);
    }
    ConfigHeader *Header() { return reinterpret_cast<ConfigHeader *>(rec->config); }

    // A disk in slot with device id and firmware state.
    void AddPd(uint8_t slot, uint16_t deviceId, uint16_t state, uint16_t ddf = 0)
    {
        PdListEntry &e = rec->pdList->entries[rec->pdList->count++];
        e.deviceId = deviceId;
        e.slotNumber = slot;
        e.scsiDevType = 0;
        uint8_t *pd = rec->pdInfo[slot];
        LayoutPutU16(pd, PI_DEVICE_ID, deviceId);
        LayoutPutU16(pd, PI_FW_STATE, state);
        LayoutPutU16(pd, PI_DDF_TYPE, ddf);
        LayoutPutU16(pd, PI_COPYBACK_PARTNER, 0xFFFF);
        pd[PI_SLOT_NUMBER] = slot;
    }

    // Arrays must all be added before the first LD (the configuration keeps them in front).
    void AddArray(uint16_t ref, std::initializer_list<uint16_t> devices)
    {
        ConfigHeader *h = Header();
        ConfigArray *a = reinterpret_cast<ConfigArray *>(rec->config + sizeof(ConfigHeader) + CONFIG_ARRAY_SIZE * h->arrayCount);
        a->arrayRef = ref;
        a->driveCount = (uint8_t)devices.size();
        int j = 0;
        for (uint16_t d : devices)
            a->arms[j++].deviceId = d;
        h->arrayCount++;
        uint8_t *ai = rec->arrayInfo[ref];
        ai[AI_DRIVE_COUNT] = (uint8_t)devices.size();
        LayoutPutU16(ai, AI_ARRAY_REF, ref);
        j = 0;
        for (uint16_t d : devices)
            LayoutPutU16(ai, AI_ARMS + 8 * j++, d);
    }

    uint8_t *LdEntry(uint16_t index)
    {
        ConfigHeader *h = Header();
        return rec->config + sizeof(ConfigHeader) + CONFIG_ARRAY_SIZE * h->arrayCount + CONFIG_LD_SIZE * index;
    }

    // An LD over the given arrays (one span each) with drives per span and state.
    void AddLd(uint8_t target, std::initializer_list<uint16_t> arrays, uint8_t primaryRaid, uint8_t drivesPerSpan,
               uint8_t state = LD_STATE_OPTIMAL, uint8_t cacheCade = 0)
    {
        uint8_t *ld = rec->ldInfo[target];
        ld[LI_TARGET_ID] = target;
        ld[LI_PRIMARY_RAID] = primaryRaid;
        ld[LI_DRIVES_PER_SPAN] = drivesPerSpan;
        ld[LI_SPAN_DEPTH] = (uint8_t)arrays.size();
        ld[LI_STATE] = state;
        ld[LI_CONSISTENT] = 1;
        ld[LI_CACHECADE] = cacheCade;
        int k = 0;
        for (uint16_t a : arrays) {
            LayoutPutU64(ld, LI_SPANS + LI_SPAN_SIZE * k + LI_SPAN_BLOCKS, 1000);
            LayoutPutU16(ld, LI_SPANS + LI_SPAN_SIZE * k + LI_SPAN_ARRAY_REF, a);
            uint8_t *ai = rec->arrayInfo[a];
            uint32_t n = LayoutU32(ai, AI_LD_COUNT);
            ai[AI_LDS + AI_LD_ENTRY_SIZE * n] = target;
            LayoutPutU32(ai, AI_LD_COUNT, n + 1);
            k++;
        }
        ConfigHeader *h = Header();
        memcpy(LdEntry(h->ldCount), ld, CONFIG_LD_SIZE);
        h->ldCount++;
        rec->ldList->entries[rec->ldList->count++].targetId = target;
    }

    // A spare entry with its device id and first array reference; the other bytes are left as the
    // caller says (a library need fill only those two).
    ConfigSpare *AddSpare(uint16_t deviceId, uint16_t arrayRef, uint8_t arrayCount = 1)
    {
        ConfigHeader *h = Header();
        ConfigSpare *s = reinterpret_cast<ConfigSpare *>(LdEntry(h->ldCount) + CONFIG_SPARE_SIZE * h->spareCount);
        s->deviceId = deviceId;
        s->arrayCount = arrayCount;
        s->arrayRefs[0] = arrayRef;
        h->spareCount++;
        return s;
    }

    void Number() { BuildRaidGroupNumbering(rec); }
};

} // namespace testrec

#endif
