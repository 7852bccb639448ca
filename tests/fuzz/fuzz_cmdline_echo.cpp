// The command-line echo of the trace and the command-token rules from hostile argument vectors:
// the echo always ends inside its buffer, and a token is looked up without reading past it.
#include "fuzz_support.h"

#include <cstring>

#include "cli/zavcli_main.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<std::string> args = fuzz::Lines(data, size);
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    const unsigned sizes[] = {1, 2, 17, 300, ZAVCLI_ECHO_SIZE};
    for (unsigned s : sizes) {
        std::vector<char> echo(s + 8, '\x5A');
        BuildCommandLineEcho((int)args.size(), argv.data(), echo.data(), s);
        if (memchr(echo.data(), '\0', s) == nullptr)
            fuzz::Broken("echo not terminated inside its buffer");
        for (unsigned i = s; i < s + 8; i++)
            if (echo[i] != '\x5A')
                fuzz::Broken("echo wrote past its buffer");
    }
    for (std::string &a : args) {
        if (a.size() > ZAVCLI_MAX_ARG_LENGTH)
            continue; // refused by the entry before the token is made
        char token[ZAVCLI_TOKEN_SIZE];
        NormaliseCommandToken(a.c_str(), token);
        FindCommand(token);
    }
    return 0;
}
