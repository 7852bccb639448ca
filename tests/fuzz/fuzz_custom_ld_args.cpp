// The custom LD creation command's arguments (-r0/-r1/-r5/-r6[...]/-r10, -arrayN[...], -szN,...,
// -aN and the rest) from hostile argument vectors, against a controller record that is empty and
// a library that is not loaded: parsing and refusals must stay within their buffers.
#include "fuzz_support.h"

#include <cstring>

#include "cli/zavcli_cmds.h"
#include "common/ContData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<std::string> args = fuzz::Lines(data, size);
    if (args.size() > 40)
        args.resize(40);
    std::vector<std::string> storage;
    storage.push_back("zavcli.exe");
    storage.push_back("-ldc");
    for (std::string &a : args) {
        if (a.size() > 256)
            a.resize(256); // the entry refuses longer arguments before any handler runs
        storage.push_back(a.c_str());
    }
    std::vector<char *> argv;
    for (std::string &s : storage)
        argv.push_back(&s[0]);
    argv.push_back(nullptr);
    static ContData *record = static_cast<ContData *>(calloc(1, sizeof(ContData)));
    memset(record, 0, sizeof(ContData));
    fuzz::SetAnswers({});
    CliCmdExecCfgLDCustomMakeAdd((int)storage.size(), argv.data(), record, 1);
    return 0;
}
