// Every console question (yes/no, menu number, LD list, LD number with navigation, snapshot
// options) answered with hostile lines and then the end of input: it must end, and return only
// what its kind may return.
#include "fuzz_support.h"

#include <cstring>

#include "cli/zavcli_cmd_com.h"

static const int kTypes[] = {1, 2, 4, 9, 10, 13, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const int type = kTypes[data[0] % (sizeof(kTypes) / sizeof(kTypes[0]))];
    const int limit = data[1] % 6;
    std::vector<std::string> lines = fuzz::Lines(data + 2, size - 2);
    if (lines.size() > 64)
        lines.resize(64);
    fuzz::SetAnswers(lines);
    char out[LD_LIST_SIZE];
    memset(out, 255, sizeof(out));
    if (type == 20) {
        // The LD numbers that may be chosen travel in the buffer.
        for (unsigned i = 0; i < 8; i++)
            out[i] = (char)(i * 9);
    }
    int answer = ComChk(out, type, limit);
    bool valid;
    switch (type) {
    case 18: valid = answer >= 0 && answer <= 4 && answer <= (limit > 0 ? limit : 4); break;
    case 19: valid = answer >= 0 && answer <= 2; break;
    case 20: valid = (answer >= 0 && answer <= 63) || (answer >= 66 && answer <= 68); break;
    case 21:
    case 22: valid = answer >= 0 && answer <= 4; break;
    default: valid = answer == 0 || answer == 1; break;
    }
    if (!valid)
        fuzz::Broken("answer outside what the question may return");
    return 0;
}
