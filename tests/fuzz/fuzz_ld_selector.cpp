// LD selector (-Lx, -L0,1,2, -Lall) from hostile text: an accepted list holds distinct LD
// numbers from 0 to 63 and 255 in the empty places.
#include "fuzz_support.h"

#include <cstring>

#include "cli/zavcli_cmd_com.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string selector = fuzz::Text(data, size, 512);
    uint8_t list[LD_LIST_SIZE];
    memset(list, 255, sizeof(list));
    int result = GetLogicalDriveNo(selector.c_str(), list);
    if (result != 0 && result != 1)
        fuzz::Broken("result neither 0 nor 1");
    if (result == 1) {
        bool seen[64] = {};
        for (unsigned i = 0; i < LD_LIST_SIZE; i++) {
            if (list[i] == 255)
                continue;
            if (list[i] > 63 || seen[list[i]])
                fuzz::Broken("accepted LD list with a number above 63 or a repeat");
            seen[list[i]] = true;
        }
    }
    return 0;
}
