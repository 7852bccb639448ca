// Controller selector (-aN, -a0,1,2, -aAll) from hostile text: whatever it says, the list that
// comes back accepted holds distinct controllers below the count, ascending, 255 in empty places.
#include "fuzz_support.h"

#include <cstring>

#include "cli/zavcli_cmd_com.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint16_t count = (uint16_t)(data[0] % 6); // 0 to 5 controllers, beyond the limit too
    std::string selector = fuzz::Text(data + 1, size - 1, 512);
    uint8_t list[ADAPTER_LIST_SIZE];
    memset(list, 0xAA, sizeof(list));
    int result = GetAdapterNo(selector.c_str(), list, count);
    if (result < 0 || result > 3)
        fuzz::Broken("result outside 0 to 3");
    if (result == 0) {
        unsigned used = 0;
        for (unsigned i = 0; i < ADAPTER_LIST_SIZE; i++) {
            if (list[i] == 255)
                continue;
            if (list[i] >= count || (used > 0 && list[i] <= list[used - 1]) || i != used)
                fuzz::Broken("accepted controller list not ascending, distinct and below the count");
            used++;
        }
    }
    return 0;
}
