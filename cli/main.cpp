// Program entry of zavcli: everything happens in ZavcliMain so tests can drive it in-process.
#include "cli/zavcli_main.h"

int main(int argc, char **argv)
{
    return ZavcliMain(argc, argv);
}
