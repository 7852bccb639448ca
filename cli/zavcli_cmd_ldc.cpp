// Custom LD creation of zavcli (ldc): the command-line tokens, new groups, LDs added to the free
// extent of an existing group, and CacheCade groups.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "cli/zavcli_cmd_com.h"
#include "cli/zavcli_cmds.h"
#include "cli/zavcli_ldcreate.h"
#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/LdLayout.h"
#include "common/LdPlan.h"
#include "common/SnapSupport.h"
#include "common/StoreLib.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"

static const char MSG_PD_LIMIT[] =
    "Error - Exceed the upper limit of the PDs(Physical Drives) per RAID Group.\nPlease re-set the configuration.\n";
static const char MSG_NO_HOT_SPARE[] =
    "Warning - LD[s](Logical Drive[s]) was created, but there is no Hot Spare.\nPlease assign at lease one Hot Spare.\n";
static const char MSG_SIZE_TOO_SMALL[] =
    "Error - The capacity of the LD(Logical Drive) is too small.\nPlease re-set the capacity.\n";
static const char MSG_NOT_OPTIMAL[] =
    "Error - Cannot create LD[s](Logical Drive[s]) with DEGRADED/FAILED LDs(Logical Drives).\n"
    "Please do Custom Configuration after making all the LDs(Logical Drives) OPTIMAL.\n";

// ---------------------------------------------------------------------------------------------
// ldc: custom creation
// ---------------------------------------------------------------------------------------------
struct CustomArgs {
    int32_t level;           // -1 until a level option names one
    int levelList;           // a level option with a PD list was given
    int cacheCade;
    uint8_t pds[RG_PD_MAX];
    int pdCount;
    uint8_t arrayUsed[ARRAY_REF_MAX];
    uint8_t pairs[ARRAY_REF_MAX][2];
    int arrayCount;
    int lastArrayNo;
    uint32_t cacheBits;
    int sizeGiven;
    CustomSizeList sizes;
    int adapterGiven;
    uint8_t adapters[ADAPTER_LIST_SIZE];
};

static CustomArgs g_custom;
static LdCreateRequest g_customRequest;
static EasyPlan g_cacheCadePlan;

// Lower-cases the token and takes it from the character after its first dash.
static void CustomToken(const char *arg, char *out, size_t size)
{
    const char *dash = strchr(arg, '-');
    const char *from = dash != NULL ? dash + 1 : arg;
    size_t i = 0;
    for (; from[i] != '\0' && i + 1 < size; ++i)
        out[i] = (from[i] >= 'A' && from[i] <= 'Z') ? (char)(from[i] - 'A' + 'a') : from[i];
    out[i] = '\0';
}

// Parses a bracketed PD list into slots in the given order; the count, 0 when it does not parse.
static int ParsePdList(const char *list, uint8_t *slots)
{
    if (list == NULL || list[0] != '[')
        return 0;
    uint8_t parsed[PD_LIST_SIZE];
    if (!GetPhysicalDriveNo(list, parsed, 0))
        return 0;
    int count = (int)SelCount(parsed, PD_LIST_SIZE);
    memcpy(slots, parsed, (size_t)count);
    return count;
}

static int SetCacheBit(CustomArgs *args, uint32_t bit, uint32_t exclusive)
{
    if (args->cacheBits & exclusive)
        return 0;
    args->cacheBits |= bit;
    return 1;
}

static int ParseLevelToken(CustomArgs *args, const char *tok)
{
    if (args->levelList || args->cacheCade)
        return 0;
    if (strcmp(tok, "r10") == 0) {
        args->level = RAIDLVL_10;
        return 1;
    }
    static const char LEVEL_CHARS[] = "0156";
    static const int32_t LEVEL_CODES[] = { RAIDLVL_0, RAIDLVL_1, RAIDLVL_5, RAIDLVL_6 };
    const char *at = tok[1] != '\0' ? strchr(LEVEL_CHARS, tok[1]) : NULL;
    // A PD list of its own next to -array pairs would leave the group's PDs ambiguous.
    if (at == NULL || tok[2] != '[' || args->arrayCount > 0)
        return 0;
    int count = ParsePdList(tok + 2, args->pds);
    if (count == 0)
        return 0;
    args->level = LEVEL_CODES[at - LEVEL_CHARS];
    args->pdCount = count;
    args->levelList = 1;
    return 1;
}

static int ParseArrayToken(CustomArgs *args, const char *tok)
{
    if (args->levelList || args->cacheCade)
        return 0;
    int no = 0;
    if (!GetArrayNo(tok, args->arrayUsed, &no, &args->arrayCount))
        return 0;
    args->lastArrayNo = no;
    uint8_t slots[PD_LIST_SIZE];
    int count = ParsePdList(strchr(tok, '['), slots);
    if (count != 2 || (args->arrayCount * 2) > RG_PD_MAX)
        return 0;
    args->pairs[no][0] = slots[0];
    args->pairs[no][1] = slots[1];
    return 1;
}

static int ParseAdapterToken(CustomArgs *args, const char *tok, uint16_t contCount, int *ended)
{
    if (args->adapterGiven)
        return 0;
    int rc = GetAdapterNo(tok, args->adapters, contCount);
    if (rc == ADP_NOT_FOUND) {
        ZAV_REPORT(REPORT_BOTH, "Error - The specified Controller %d: doesn't exist.", args->adapters[0]);
        *ended = 1;
        return 0;
    }
    if (rc != ADP_OK)
        return 0;
    args->adapterGiven = 1;
    return 1;
}

// One token of the table, in its order; 1 when accepted.
static int ParseCustomToken(CustomArgs *args, const char *tok, uint16_t contCount, int *ended)
{
    const uint32_t writeBits = LDC_OPT_WT | LDC_OPT_WB | LDC_OPT_WBCB;
    const uint32_t readBits = LDC_OPT_NORA | LDC_OPT_RA;
    const uint32_t ioBits = LDC_OPT_DIRECT | LDC_OPT_CACHED;
    if (strcmp(tok, "wt") == 0)
        return SetCacheBit(args, LDC_OPT_WT, writeBits);
    if (strcmp(tok, "wb") == 0)
        return SetCacheBit(args, LDC_OPT_WB, writeBits);
    if (strcmp(tok, "wbcb") == 0)
        return SetCacheBit(args, LDC_OPT_WBCB, writeBits);
    if (strcmp(tok, "nora") == 0)
        return SetCacheBit(args, LDC_OPT_NORA, readBits);
    if (strcmp(tok, "ra") == 0)
        return SetCacheBit(args, LDC_OPT_RA, readBits);
    if (strcmp(tok, "direct") == 0)
        return SetCacheBit(args, LDC_OPT_DIRECT, ioBits);
    if (strcmp(tok, "cached") == 0)
        return SetCacheBit(args, LDC_OPT_CACHED, ioBits);
    if (tok[0] == 'r')
        return ParseLevelToken(args, tok);
    if (strncmp(tok, "array", 5) == 0)
        return ParseArrayToken(args, tok);
    if (strncmp(tok, "sz", 2) == 0) {
        if (args->sizeGiven || !GetCustomLdSize(tok, &args->sizes))
            return 0;
        args->sizeGiven = 1;
        return 1;
    }
    if (tok[0] == 'a')
        return ParseAdapterToken(args, tok, contCount, ended);
    if (strncmp(tok, "cachecade", 9) == 0) {
        if (args->cacheCade || args->levelList || args->level >= 0)
            return 0;
        int count = ParsePdList(tok + 9, args->pds);
        if (count == 0)
            return 0;
        args->pdCount = count;
        args->cacheCade = 1;
        return 1;
    }
    return 0;
}

// Checks after the last token; 1 when the combination is complete and consistent.
static int CheckCustomCombination(CustomArgs *args)
{
    for (int no = 0; no < args->arrayCount; ++no) {
        if (!args->arrayUsed[no])
            return 0;
    }
    if (!args->levelList && args->arrayCount == 0 && !args->cacheCade)
        return 0;
    if (args->cacheCade && (args->arrayCount > 0 || args->sizeGiven || args->cacheBits != 0))
        return 0;
    if (args->arrayCount > 0) {
        args->pdCount = 0;
        for (int no = 0; no < args->arrayCount; ++no) {
            args->pds[args->pdCount++] = args->pairs[no][0];
            args->pds[args->pdCount++] = args->pairs[no][1];
        }
    }
    return 1;
}

// Controller outcomes of ldc: go on with the next controller, or end the command.
enum { CUSTOM_NEXT = 0, CUSTOM_END = 1 };

static int CustomCacheCadeOn(ContData *records, uint8_t contNo, const CustomArgs *args)
{
    if (args->pdCount == 0) {
        ZAV_REPORT(REPORT_BOTH, MSG_ABNORMAL_COUNT, contNo);
        return CUSTOM_END;
    }
    // The same order as the dialogue's CacheCade creation: types, LD number, then the PD limit.
    int maxPds = 0;
    switch (CheckCacheCadePds(records, contNo, args->pds, args->pdCount, &maxPds)) {
    case LAYOUT_OK:
        break;
    case LAYOUT_MIXED_INTERFACE:
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_MIXED_INTERFACE);
        return CUSTOM_END;
    case LAYOUT_LD_LIMIT:
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_LD_LIMIT);
        return CUSTOM_END;
    default:
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_PD_LIMIT);
        return CUSTOM_END;
    }
    EasyPlan *plan = &g_cacheCadePlan;
    memset(plan, 0, sizeof(*plan));
    plan->contNo = contNo;
    plan->variant = EASY_CACHECADE;
    int rc = CreateCacheCadeGroup(records, plan, args->pds, args->pdCount);
    if (rc < 0)
        return CUSTOM_END;
    if (rc == 0)
        return CUSTOM_NEXT;
    ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Succeeded to create LD[s](Logical Drive[s]).", contNo);
    OfferCacheCadeAssociation(records, contNo);
    return CUSTOM_NEXT;
}

static int RunCustomCacheCade(ContData *records, const CustomArgs *args)
{
    int supported = 0;
    for (unsigned a = 0; a < ADAPTER_LIST_SIZE && args->adapters[a] != SEL_EMPTY; ++a) {
        uint8_t contNo = args->adapters[a];
        if (!IsCacheCadeSupported(records, contNo))
            continue;
        supported = 1;
        if (CustomCacheCadeOn(records, contNo, args) == CUSTOM_END)
            return 0;
    }
    if (!supported)
        ZAV_REPORT(REPORT_BOTH, "Error - The specified parameter is not supported at the current configuration.");
    return 0;
}

// A redundant level and no global hot spare in the configuration: warn before the creation
// request is sent.
static void WarnWithoutHotSpare(const ContData *records, uint8_t contNo, int32_t level)
{
    if (level != RAIDLVL_0 && !HasGlobalHotSpare(&records[contNo]))
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_NO_HOT_SPARE);
}

// The Always Write Back question of -wb; 0 when the user refused.
static int ConfirmAlwaysWriteBack(const ContData *records, uint8_t contNo, uint32_t cacheBits)
{
    if (!(cacheBits & LDC_OPT_WB))
        return 1;
    return ComChk(NULL, HasCacheBackupUnit(records, contNo) ? PROMPT_WRITE_BACK_POWER_FAILURE : PROMPT_WRITE_BACK_BACKUP_CAPACITY, 0);
}

// The existing group's LDs must all be optimal; 0 (after the message when one is not) otherwise.
static int ExistingGroupUsable(uint8_t contNo, const uint8_t *ld)
{
    int outcome = CheckGroupOptimal(contNo, ld);
    if (outcome == LAYOUT_NOT_OPTIMAL)
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_NOT_OPTIMAL);
    return outcome == LAYOUT_OK;
}

static void ReportCustomOutcome(uint8_t contNo, int32_t status)
{
    if (status != 0)
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, contNo);
    else
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_INIT_STARTS);
}

static int AddToExistingGroup(ContData *records, uint8_t contNo, const CustomArgs *args, const uint8_t *ld,
                              const FreeExtent *extent, RgEntry *group)
{
    if (!ExistingGroupUsable(contNo, ld))
        return CUSTOM_END;
    if (!args->sizeGiven)
        group->lds[0].size = CalcLDCapa(args->level, (unsigned)args->pdCount, extent->blocks, contNo);
    if (!ConfirmAlwaysWriteBack(records, contNo, args->cacheBits))
        return CUSTOM_END;
    WarnWithoutHotSpare(records, contNo, args->level);
    uint16_t arrayRef = LayoutU16(ld, LI_SPANS + LI_SPAN_ARRAY_REF);
    ReportCustomOutcome(contNo, SLAddLDToRG(contNo, arrayRef, extent->start, group));
    return CUSTOM_NEXT;
}

static int CreateNewCustomGroup(ContData *records, uint8_t contNo, const CustomArgs *args, LdCreateRequest *request)
{
    const ContData *record = &records[contNo];
    if (!PdsFreeForNewGroup(record, args->pds, args->pdCount)) {
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, contNo);
        return CUSTOM_END;
    }
    if (IsMixedInterfaceTypeList(records, contNo, args->pds, args->pdCount)) {
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_MIXED_INTERFACE);
        return CUSTOM_END;
    }
    if (IsMixedMediaTypeList(records, contNo, args->pds, args->pdCount)) {
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_MIXED_MEDIA);
        return CUSTOM_END;
    }
    if (ConfirmDiffPDSize(request, contNo) && !ComChk(NULL, PROMPT_DIFFERENT_PD_SIZE, 0))
        return CUSTOM_END;
    if (!ConfirmAlwaysWriteBack(records, contNo, args->cacheBits))
        return CUSTOM_END;
    WarnWithoutHotSpare(records, contNo, args->level);
    ReportCustomOutcome(contNo, SLCreateLD(contNo, request));
    return CUSTOM_NEXT;
}

static int CustomGroupOn(ContData *records, uint8_t contNo, CustomArgs *args)
{
    ConfigPatTable *pattern = (ConfigPatTable *)calloc(1, sizeof(ConfigPatTable));
    if (pattern == NULL)
        return CUSTOM_END;
    ReadConfigPatFile(pattern);
    LdCreateRequest *request = &g_customRequest;
    int outcome = PlanCustomGroup(request, pattern, records, contNo, args->level, args->pds, args->pdCount,
                                  args->cacheBits, args->sizeGiven ? &args->sizes : NULL);
    free(pattern);
    switch (outcome) {
    case LAYOUT_OK:
        break;
    case LAYOUT_LD_LIMIT:
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_LD_LIMIT);
        return CUSTOM_END;
    case LAYOUT_PD_LIMIT:
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_PD_LIMIT);
        return CUSTOM_END;
    case LAYOUT_ABNORMAL_COUNT:
        ZAV_REPORT(REPORT_BOTH, MSG_ABNORMAL_COUNT, contNo);
        return CUSTOM_END;
    case LAYOUT_SIZE_TOO_SMALL:
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_SIZE_TOO_SMALL);
        return CUSTOM_END;
    default:
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, contNo);
        return CUSTOM_NEXT;
    }
    RgEntry *group = &request->groups[0];
    const uint8_t *ld = FindExistingGroup(&records[contNo], args->level, args->pds, args->pdCount);
    FreeExtent extent;
    if (ld != NULL &&
        FirstFreeExtent(records[contNo].config, LayoutU16(ld, LI_SPANS + LI_SPAN_ARRAY_REF), args->level, args->pdCount,
                        contNo, &extent))
        return AddToExistingGroup(records, contNo, args, ld, &extent, group);
    return CreateNewCustomGroup(records, contNo, args, request);
}

int CliCmdExecCfgLDCustomMakeAdd(int argc, char **argv, ContData *records, uint16_t contCount)
{
    CustomArgs *args = &g_custom;
    memset(args, 0, sizeof(*args));
    args->level = -1;
    memset(args->adapters, SEL_EMPTY, sizeof(args->adapters));
    for (int i = 2; i < argc; ++i) {
        char tok[CLI_SELECTOR_TEXT + 8];
        CustomToken(argv[i], tok, sizeof(tok));
        int ended = 0;
        if (!ParseCustomToken(args, tok, contCount, &ended))
            return ended ? -1 : ReportInvalidToken(argv[i]);
    }
    if (argc <= 2 || !CheckCustomCombination(args))
        return ReportInvalidToken(argv[argc - 1]);
    if (!args->adapterGiven && GetAdapterNo("", args->adapters, contCount) != ADP_OK)
        return -1;
    if (!CheckPdsExist(records, args->adapters, SelCount(args->adapters, ADAPTER_LIST_SIZE), args->pds,
                       (unsigned)args->pdCount))
        return -1;
    if (args->cacheCade)
        return RunCustomCacheCade(records, args);
    for (unsigned a = 0; a < ADAPTER_LIST_SIZE && args->adapters[a] != SEL_EMPTY; ++a) {
        if (CustomGroupOn(records, args->adapters[a], args) == CUSTOM_END)
            break;
    }
    return 0;
}
