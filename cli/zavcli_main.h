// Entry of zavcli: start-up, dispatch of one command, tear-down.
#ifndef ZAV_CLI_ZAVCLI_MAIN_H
#define ZAV_CLI_ZAVCLI_MAIN_H

int ZavcliMain(int argc, char **argv);

#endif
