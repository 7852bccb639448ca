// PD list (-pd[{E0}:S0,...]) from hostile text, sorted and unsorted: an accepted list holds
// distinct slots, 255 in empty places, ascending when sorting was asked for.
#include "fuzz_support.h"

#include <cstring>

#include "cli/zavcli_cmd_com.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int sort = data[0] & 1;
    std::string selector = fuzz::Text(data + 1, size - 1, 4096);
    uint8_t list[PD_LIST_SIZE];
    memset(list, 0xAA, sizeof(list));
    int result = GetPhysicalDriveNo(selector.c_str(), list, sort);
    if (result != 0 && result != 1)
        fuzz::Broken("result neither 0 nor 1");
    if (result == 1 && !selector.empty()) {
        bool seen[256] = {};
        int last = -1;
        bool ended = false;
        for (unsigned i = 0; i < PD_LIST_SIZE; i++) {
            if (list[i] == 255) {
                ended = true;
                continue;
            }
            if (seen[list[i]])
                fuzz::Broken("accepted PD list with a repeat");
            if (sort && (ended || (int)list[i] <= last))
                fuzz::Broken("sorted PD list out of order");
            seen[list[i]] = true;
            last = list[i];
        }
    }
    return 0;
}
