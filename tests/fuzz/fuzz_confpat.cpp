// The pattern file confpat1.csv from hostile bytes: the table must be read within its rows.
#include "fuzz_support.h"

#include "common/LdPlan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FILE *f = fmemopen(const_cast<uint8_t *>(data), size ? size : 1, "rb");
    if (!f)
        return 0;
    if (size == 0)
        fgetc(f);
    static ConfigPatTable table;
    ParseConfigPatStream(&table, f);
    fclose(f);
    return 0;
}
