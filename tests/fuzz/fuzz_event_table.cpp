// The event table zav_config.csv from hostile bytes: every entry read stays inside the table, and
// the lookups by kind and code work on whatever was read.
#include "fuzz_support.h"

#include "common/EventLog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string path = fuzz::WriteScratchFile("zav_config.csv", data, size);
    ClearEventTable();
    ReadEventInfoFile(path.c_str());
    unsigned count = EventTableCount();
    for (unsigned i = 0; i < count; i++)
        if (!EventTableEntry(i))
            fuzz::Broken("a counted event entry is missing");
    for (unsigned kind = 0; kind <= 26; kind++)
        EventTypeOfId(EventIdOfKind(kind));
    uint32_t id = 0;
    FindEventInfo(size > 3 ? (uint32_t)data[0] | (uint32_t)data[1] << 8 : 0, &id);
    return 0;
}
