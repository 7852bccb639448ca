// The snapshot construct-info file from hostile bytes, read for a controller whose record lists
// a few LDs: every number kept must be a valid LD number or "none".
#include "fuzz_support.h"

#include <cstring>

#include "common/ContData.h"
#include "common/SnapSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char path[512];
    ConstructInfoPath(0, path, sizeof(path));
    FILE *f = fopen(path, "wb");
    if (!f)
        return 0;
    if (size)
        fwrite(data, 1, size, f);
    fclose(f);
    static ContData *records = static_cast<ContData *>(calloc(1, sizeof(ContData)));
    SnapConstructInfo info;
    memset(&info, 0xAA, sizeof(info));
    ReadSnapshotConstructInfo(0, records, &info);
    for (unsigned i = 0; i < LD_MAX; i++)
        if (info.repositoryOf[i] != SNAP_INFO_NONE && info.repositoryOf[i] >= LD_MAX && info.repositoryOf[i] != 0xAA)
            fuzz::Broken("repository number outside the LD range");
    return 0;
}
