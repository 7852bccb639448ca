// Program entry of zavcli: everything happens in ZavcliMain so tests can drive it in-process.
#include "cli/zavcli_main.h"
#include "common/dll_mod.h"

int main(int argc, char **argv)
{
    int exitCode = ZavcliMain(argc, argv);
    FlushConsoleOutput();
    return exitCode;
}
