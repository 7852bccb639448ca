// The command handlers of zavcli, one per row of the command table.
#ifndef ZAV_CLI_ZAVCLI_CMDS_H
#define ZAV_CLI_ZAVCLI_CMDS_H

#include <stdint.h>

struct ContData;

typedef int (*CliCmdHandler)(int argc, char **argv, ContData *records, uint16_t contCount);

// zavcli_cmd_ld
int CliCmdExecCfgLDEasyMakeAdd(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecCfgLDCustomMakeAdd(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecCfgLDDel(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecLDInfo(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecLDSetProp(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecLDINIT(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecLDCC(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecLDPDProg(int argc, char **argv, ContData *records, uint16_t contCount);
// zavcli_cmd_snap
int CliCmdExecSnapshotMenu(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecSnapshot(int argc, char **argv, ContData *records, uint16_t contCount);
// zavcli_cmd_pd
int CliCmdExecPDHSP(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecPDInfo(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecEnclInfo(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecPDRbld(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecPDLocate(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecPDOnline(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecPDOffline(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecPDMakeGood(int argc, char **argv, ContData *records, uint16_t contCount);
// zavcli_cmd_ctrl
int CliCmdExecAdpInfo(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecCacheBkupInfo(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecCacheBkup(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecVersion(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecHelp(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecAdpRbldMode(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecAdpSetProp(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecAdpPR(int argc, char **argv, ContData *records, uint16_t contCount);
// zavcli_cmd_evt
int CliCmdExecTSTEVT(int argc, char **argv, ContData *records, uint16_t contCount);
int CliCmdExecLog(int argc, char **argv, ContData *records, uint16_t contCount);

#endif
