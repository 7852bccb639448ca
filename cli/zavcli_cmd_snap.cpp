// Snapshot commands of zavcli: the interactive enable/disable dialogue (sse) and the snapshot
// command with its enable, disable, create, delete, view, property and information operations.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "cli/zavcli_cmd_com.h"
#include "cli/zavcli_cmds.h"
#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/LdPlan.h"
#include "common/SnapSupport.h"
#include "common/StoreLib.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"

enum {
    SNAP_NAME_MAX_CHARS = 15,        // the name field holds 15 characters and its terminator
    SNAP_MAX_BEFORE_QUESTION = 7,    // a base holding more snapshots asks before the next one
    BLOCKS_PER_GB = 2097152,
    BLOCKS_PER_MB = 2048,
    REPO_AREA_MIN_MB = 1175          // repository area of one base: 141 x 2 + 893 MB
};

// ---------------------------------------------------------------------------------------------
// Snapshot information of the controller data record
// ---------------------------------------------------------------------------------------------
static int ReportNotBase(uint8_t contNo, uint8_t target)
{
    ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Snapshot is not enabled on LD(Logical Drive) %d.", contNo, target);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Construct-info file: the pairs of bases already enabled are dropped; the file goes when empty.
// ---------------------------------------------------------------------------------------------
static void DropConstructPairs(uint8_t contNo, const uint8_t *enabledBases, unsigned count)
{
    char path[600], line[SNAP_CONSTRUCT_LINE_BUF];
    char kept[LD_MAX * SNAP_CONSTRUCT_LINE_BUF];
    size_t keptLength = 0;
    ConstructInfoPath(contNo, path, sizeof(path));
    FILE *file = fopen(path, "r");
    if (file == NULL)
        return;
    kept[0] = '\0';
    while (fgets(line, sizeof(line), file) != NULL) {
        unsigned long base = strtoul(line, NULL, 10);
        int enabled = 0;
        for (unsigned i = 0; i < count; ++i)
            enabled |= (base == enabledBases[i]);
        size_t length = strlen(line);
        if (!enabled && line[0] >= '0' && line[0] <= '9' && keptLength + length + 2 < sizeof(kept)) {
            memcpy(kept + keptLength, line, length + 1);
            keptLength += length;
            if (kept[keptLength - 1] != '\n') {
                kept[keptLength++] = '\n';
                kept[keptLength] = '\0';
            }
        }
    }
    fclose(file);
    if (keptLength == 0) {
        RemoveSnapshotConstructInfo(contNo);
        return;
    }
    file = fopen(path, "w");
    if (file == NULL) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s", "DropConstructPairs", "file open error");
        return;
    }
    fputs(kept, file);
    fclose(file);
}

// ---------------------------------------------------------------------------------------------
// Enabling and disabling, shared by the snapshot command and the sse dialogue
// ---------------------------------------------------------------------------------------------
struct EnableRequest {
    uint8_t bases[LD_MAX];
    unsigned baseCount;
    uint8_t repository;
    uint64_t areaBlocks;
    int autoSnapshot;
    int autoDelete;
};

// The repository must give every base an area of at least the minimum.
static int CheckRepositoryRoom(const ContData *record, uint8_t contNo, const EnableRequest *request)
{
    if (request->areaBlocks / BLOCKS_PER_MB < REPO_AREA_MIN_MB) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] The capacity of the Snapshot Repository Area is too small.\n"
                                "Please re-set the capacity.", contNo);
        return 0;
    }
    if (request->areaBlocks * request->baseCount > RepositoryFreeBlocks(record, contNo, request->repository)) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] The capacity of the Snapshot Repository LD(Logical Drive) is "
                                "too small.\nPlease re-set the capacity.", contNo);
        return 0;
    }
    return 1;
}

static int ConfirmEnable(const EnableRequest *request)
{
    char bases[300], answer[LD_LIST_SIZE];
    LdListText(bases, sizeof(bases), request->bases, request->baseCount);
    ZAV_REPORT(REPORT_CONSOLE, "Warning - Once you enable Snapshot[s] on this LD[s](Logical Drive[s]), you cannot "
                               "change the allocated capacity or the Snapshot Repository without disabling "
                               "Snapshot[s].\nIf you enable Snapshot[s], any existing data on the Snapshot Repository "
                               "LD[s](Logical Drive[s]) will be lost.\n\nBase LD:%s\nRepository LD:LD%u\n",
               bases, request->repository);
    return ComChk(answer, PROMPT_ENABLE_SNAPSHOT, 0) == 1;
}

// Enables every base of the request with its properties; 0 after the first failure.
static int ApplyEnable(uint8_t contNo, const EnableRequest *request)
{
    uint8_t done[LD_MAX];
    unsigned doneCount = 0;
    int ok = 1;
    for (unsigned i = 0; i < request->baseCount && ok; ++i) {
        uint8_t base = request->bases[i];
        SnapshotEnableRequest data;
        memset(&data, 0, sizeof(data));
        data.repoTargetId = request->repository;
        data.areaBlocks = request->areaBlocks;
        int32_t status = SLEnableSnapshot(contNo, base, &data);
        if (status != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "EnableSnapshot", "SLEnableSnapshot error", contNo,
                      base);
            if (status == LIB_STATUS_NO_REPO_SPACE)
                ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] No space on the Snapshot Repository LD(Logical Drive)."
                                        "(Base LD=LD%u, Repository LD=LD%u)", contNo, base, request->repository);
            else
                ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to enable Snapshot[s].\nPlease confirm LD[s]"
                                        "(Logical Drive[s]) state.", contNo);
            ok = 0;
            break;
        }
        if (SLSetSnapshotProp(contNo, base, (uint8_t)request->autoSnapshot, (uint8_t)request->autoDelete) != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "EnableSnapshot", "SLSetSnapshotProp error", contNo,
                      base);
            ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to change LD(Logical Drive) Settings.", contNo);
            ok = 0;
        }
        done[doneCount++] = base;
    }
    if (doneCount > 0) {
        char bases[300];
        LdListText(bases, sizeof(bases), done, doneCount);
        ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Snapshot has been enabled.\nBase LD:%s\nRepository "
                                "LD:LD%u", contNo, bases, request->repository);
        DropConstructPairs(contNo, done, doneCount);
    }
    return ok;
}

static int ConfirmDisable(const uint8_t *bases, unsigned count)
{
    char list[300], answer[LD_LIST_SIZE];
    LdListText(list, sizeof(list), bases, count);
    ZAV_REPORT(REPORT_CONSOLE, "Warning - If you disable Snapshot[s] on this LD[s](Logical Drive[s]), you will lose "
                               "any Snapshot-related data and will not be able to create any new Snapshot[s].\n\n"
                               "Base LD:%s\n", list);
    return ComChk(answer, PROMPT_DISABLE_SNAPSHOT, 0) == 1;
}

static int ApplyDisable(uint8_t contNo, const uint8_t *bases, unsigned count)
{
    uint8_t done[LD_MAX];
    unsigned doneCount = 0;
    int ok = 1;
    for (unsigned i = 0; i < count; ++i) {
        if (SLDisableSnapshot(contNo, bases[i]) != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "DisableSnapshot", "SLDisableSnapshot error", contNo,
                      bases[i]);
            ok = 0;
            break;
        }
        done[doneCount++] = bases[i];
    }
    if (doneCount > 0) {
        char list[300];
        LdListText(list, sizeof(list), done, doneCount);
        ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Snapshot has been disabled.\nBase LD:%s", contNo, list);
    }
    if (!ok)
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to disable Snapshot[s].\nPlease confirm LD[s](Logical "
                                "Drive[s]) state.", contNo);
    return ok;
}

// ---------------------------------------------------------------------------------------------
// Option parsing of the snapshot command
// ---------------------------------------------------------------------------------------------
enum SnapOpt {
    SO_ENBL, SO_DSBL, SO_CREATE, SO_DELETE, SO_GETVIEWINFO, SO_CREATEVIEW, SO_DELETEVIEW, SO_SETPROP, SO_INFO,
    SO_SZ, SO_RATE, SO_REPOSITORYLD, SO_AUTOSNAPSHOT, SO_AUTODELETE, SO_NAME, SO_SNAPSHOTNO, SO_TIME, SO_COUNT
};
enum { SO_FIRST_OPERATION = SO_ENBL, SO_OPERATIONS = SO_INFO + 1 };
enum SnapOptKind { SK_FLAG, SK_VALUE, SK_NUMBER_SUFFIX, SK_TWO_VALUES };

static const char *const kSnapKeyword[SO_COUNT] = {
    "enbl", "dsbl", "create", "delete", "getviewinfo", "createview", "deleteview", "setprop", "info",
    "sz", "rate", "repositoryld", "autosnapshot", "autodeleteoldestsnapshot", "name", "snapshotno", "time"};

// Options each operation accepts, and the selectors (bit 0: LD list, bit 1: exactly one LD).
struct SnapOperationRule {
    uint32_t options;
    int singleLd;
};
#define SO_BIT(o) (1u << (o))
static const SnapOperationRule kSnapRules[SO_OPERATIONS] = {
    {SO_BIT(SO_SZ) | SO_BIT(SO_RATE) | SO_BIT(SO_REPOSITORYLD) | SO_BIT(SO_AUTOSNAPSHOT) | SO_BIT(SO_AUTODELETE), 0},
    {0, 0},
    {SO_BIT(SO_NAME), 1},
    {0, 1},
    {0, 0},
    {SO_BIT(SO_SNAPSHOTNO) | SO_BIT(SO_TIME) | SO_BIT(SO_NAME), 1},
    {0, 1},
    {SO_BIT(SO_AUTOSNAPSHOT) | SO_BIT(SO_AUTODELETE), 0},
    {0, 0},
};

struct SnapArgs {
    CliArgs cli;            // selectors, as the shared helpers read them
    int operation;
    int at[SO_COUNT];       // argv index of each option
    const char *value[SO_COUNT];
    char timeText[32];
    unsigned long number[SO_COUNT]; // the digits of -szXXX and -rateXX
};

static SnapOptKind KindOf(int operation, int option)
{
    if (option == SO_SZ || option == SO_RATE)
        return SK_NUMBER_SUFFIX;
    if (option == SO_TIME)
        return SK_TWO_VALUES;
    if (option == SO_REPOSITORYLD || option == SO_NAME || option == SO_SNAPSHOTNO)
        return SK_VALUE;
    if ((option == SO_AUTOSNAPSHOT || option == SO_AUTODELETE) && operation == SO_SETPROP)
        return SK_VALUE;
    return SK_FLAG;
}

// Finds the option a normalised word names; -1 when none. Suffix options take their digits.
static int MatchSnapOption(const char *word, unsigned long *number)
{
    for (int o = 0; o < SO_COUNT; ++o) {
        size_t length = strlen(kSnapKeyword[o]);
        if (o == SO_SZ || o == SO_RATE) {
            if (strncmp(word, kSnapKeyword[o], length) != 0 || word[length] == '\0')
                continue;
            const char *digits = word + length;
            if (strspn(digits, "0123456789") != strlen(digits) || strlen(digits) > 9)
                return -2;
            *number = strtoul(digits, NULL, 10);
            return o;
        }
        if (strcmp(word, kSnapKeyword[o]) == 0)
            return o;
    }
    return -1;
}

static int TakeSnapSelector(SnapArgs *args, const char *word, int index)
{
    int *at = word[0] == 'a' ? &args->cli.adapterAt : &args->cli.ldAt;
    char *text = word[0] == 'a' ? args->cli.adapterSel : args->cli.ldSel;
    if ((word[0] != 'a' && word[0] != 'l') || *at != 0)
        return 0;
    *at = index;
    snprintf(text, CLI_SELECTOR_TEXT, "%s", word);
    return 1;
}

static int ValidSwitchValue(const char *value)
{
    return strcmp(value, "0") == 0 || strcmp(value, "1") == 0;
}

static int ParseSnapArgs(int argc, char **argv, SnapArgs *args)
{
    memset(args, 0, sizeof(*args));
    args->operation = -1;
    char word[CLI_SELECTOR_TEXT];
    if (argc < 3)
        return ReportMissingOption(argc, argv), 0;
    NormalizeOption(argv[2], word, sizeof(word));
    unsigned long number = 0;
    int operation = MatchSnapOption(word, &number);
    if (operation < SO_FIRST_OPERATION || operation >= SO_OPERATIONS)
        return ReportInvalidToken(argv[1]), 0;
    args->operation = operation;
    args->at[operation] = 2;
    for (int i = 3; i < argc; ++i) {
        NormalizeOption(argv[i], word, sizeof(word));
        int o = MatchSnapOption(word, &number);
        if (o < 0 || !(kSnapRules[operation].options & SO_BIT(o))) {
            if (o == -1 && TakeSnapSelector(args, word, i))
                continue;
            return ReportInvalidToken(argv[i - 1]), 0;
        }
        if (args->at[o] != 0 || (o == SO_SZ && args->at[SO_RATE]) || (o == SO_RATE && args->at[SO_SZ]) ||
            (o == SO_TIME && args->at[SO_SNAPSHOTNO]) || (o == SO_SNAPSHOTNO && args->at[SO_TIME]))
            return ReportInvalidToken(argv[i - 1]), 0;
        args->at[o] = i;
        args->number[o] = number;
        SnapOptKind kind = KindOf(operation, o);
        if (kind == SK_VALUE || kind == SK_TWO_VALUES) {
            if (i + (kind == SK_TWO_VALUES ? 2 : 1) >= argc)
                return ReportInvalidToken(argv[i]), 0;
            args->value[o] = argv[++i];
            if (kind == SK_TWO_VALUES) {
                snprintf(args->timeText, sizeof(args->timeText), "%s %s", argv[i], argv[i + 1]);
                args->value[o] = args->timeText;
                ++i;
            }
        }
    }
    return 1;
}

// "yyyymmdd hh:mm:ss" as seconds since 2000-01-01; 0 when malformed.
static int ParseSnapshotTime(const char *text, uint32_t *seconds)
{
    unsigned year, month, day, hour, minute, second;
    char tail;
    if (strlen(text) != 17 || sscanf(text, "%4u%2u%2u %2u:%2u:%2u%c", &year, &month, &day, &hour, &minute, &second,
                                     &tail) != 6)
        return 0;
    if (year < 2000 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return 0;
    *seconds = SecondsFromDate(year, month, day, hour) + minute * 60 + second;
    return 1;
}

// Checks the combinations the operation demands after the last token.
static int CheckSnapArgs(int argc, char **argv, const SnapArgs *args)
{
    int op = args->operation;
    if (op == SO_ENBL && (args->at[SO_REPOSITORYLD] == 0 || (args->at[SO_SZ] == 0 && args->at[SO_RATE] == 0)))
        return ReportMissingOption(argc, argv), 0;
    if (op == SO_CREATEVIEW && args->at[SO_SNAPSHOTNO] == 0 && args->at[SO_TIME] == 0)
        return ReportMissingOption(argc, argv), 0;
    if (op == SO_SETPROP && args->at[SO_AUTOSNAPSHOT] == 0 && args->at[SO_AUTODELETE] == 0)
        return ReportMissingOption(argc, argv), 0;
    if (kSnapRules[op].singleLd && args->cli.ldAt == 0)
        return ReportMissingOption(argc, argv), 0;
    uint8_t listed[LD_LIST_SIZE];
    if (args->cli.ldAt != 0 && (strcmp(args->cli.ldSel, "l") == 0 || !GetLogicalDriveNo(args->cli.ldSel, listed) ||
                                (kSnapRules[op].singleLd && (strcmp(args->cli.ldSel, "lall") == 0 ||
                                                             SelCount(listed, LD_LIST_SIZE) != 1))))
        return ReportInvalidToken(argv[args->cli.ldAt - 1]), 0;
    for (int o = SO_AUTOSNAPSHOT; o <= SO_AUTODELETE && op == SO_SETPROP; ++o)
        if (args->at[o] != 0 && !ValidSwitchValue(args->value[o]))
            return ReportInvalidToken(argv[args->at[o]]), 0;
    if (args->at[SO_NAME] != 0 && (strlen(args->value[SO_NAME]) > SNAP_NAME_MAX_CHARS || args->value[SO_NAME][0] == '\0'))
        return ReportInvalidToken(argv[args->at[SO_NAME]]), 0;
    if (args->at[SO_RATE] != 0 && (args->number[SO_RATE] < 1 || args->number[SO_RATE] > 100))
        return ReportInvalidToken(argv[args->at[SO_RATE] - 1]), 0;
    if (args->at[SO_REPOSITORYLD] != 0) {
        const char *n = args->value[SO_REPOSITORYLD];
        if (n[0] == '\0' || strspn(n, "0123456789") != strlen(n) || strtoul(n, NULL, 10) >= LD_MAX)
            return ReportInvalidToken(argv[args->at[SO_REPOSITORYLD]]), 0;
    }
    uint32_t seconds = 0;
    if (args->at[SO_TIME] != 0 && !ParseSnapshotTime(args->value[SO_TIME], &seconds))
        return ReportInvalidToken(argv[args->at[SO_TIME]]), 0;
    if (args->at[SO_SNAPSHOTNO] != 0) {
        const char *n = args->value[SO_SNAPSHOTNO];
        if (n[0] == '\0' || strspn(n, "0123456789") != strlen(n) || strlen(n) > 9)
            return ReportInvalidToken(argv[args->at[SO_SNAPSHOTNO]]), 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Operations of the snapshot command, one controller each
// ---------------------------------------------------------------------------------------------
static int RequireSnapshotSupport(const ContData *records, uint8_t contNo)
{
    if (IsSnapshotSupported(records, contNo))
        return 1;
    ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] This command is not supported at the current configuration.", contNo);
    return 0;
}

// LDs of the selection the operation works on: a named LD must fit (else the refusal), from "all"
// only the fitting ones are taken.
typedef int (*LdFits)(const ContData *record, uint8_t target);

static int SelectFitting(const ContData *record, uint8_t contNo, const CliArgs *cli, LdFits fits, uint8_t *out,
                         unsigned *count)
{
    uint8_t selected[LD_MAX];
    unsigned selectedCount = 0;
    int explicitList = 0;
    if (!ResolveLdSelection(record, contNo, cli, selected, &selectedCount, &explicitList))
        return 0;
    *count = 0;
    for (unsigned i = 0; i < selectedCount; ++i) {
        if (fits(record, selected[i]))
            out[(*count)++] = selected[i];
        else if (explicitList)
            return ReportNotBase(contNo, selected[i]);
    }
    if (*count == 0) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Snapshot Base LD(Logical Drive) doesn't exist.", contNo);
        return 0;
    }
    return 1;
}

static int SnapEnable(ContData *records, uint8_t contNo, const SnapArgs *args)
{
    ContData *record = &records[contNo];
    EnableRequest request;
    memset(&request, 0, sizeof(request));
    request.repository = (uint8_t)strtoul(args->value[SO_REPOSITORYLD], NULL, 10);
    if (!MoreLdExists(record, request.repository)) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] The specified %s %d: doesn't exist.", contNo, "Logical Drive",
                   request.repository);
        return 0;
    }
    const char *refusal = RepositoryRefusal(record, request.repository);
    if (refusal != NULL)
        return ZAV_REPORT(REPORT_BOTH, refusal, contNo), 0;
    uint8_t selected[LD_MAX];
    unsigned count = 0;
    int explicitList = 0;
    if (!ResolveLdSelection(record, contNo, &args->cli, selected, &count, &explicitList))
        return 0;
    for (unsigned i = 0; i < count; ++i) {
        refusal = BaseRefusal(record, selected[i], request.repository);
        if (refusal == NULL)
            request.bases[request.baseCount++] = selected[i];
        else if (explicitList)
            return ZAV_REPORT(REPORT_BOTH, refusal, contNo), 0;
    }
    if (request.baseCount == 0) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Snapshot Base LD(Logical Drive) doesn't exist.", contNo);
        return 0;
    }
    if (args->at[SO_SZ] != 0)
        request.areaBlocks = (uint64_t)args->number[SO_SZ] * BLOCKS_PER_GB;
    else
        request.areaBlocks = LdCapacityBlocks(record->ldInfo[request.repository], contNo) * args->number[SO_RATE] / 100;
    request.autoSnapshot = args->at[SO_AUTOSNAPSHOT] != 0;
    request.autoDelete = args->at[SO_AUTODELETE] != 0;
    if (!CheckRepositoryRoom(record, contNo, &request) || !ConfirmEnable(&request))
        return 0;
    return ApplyEnable(contNo, &request);
}

static int SnapDisable(ContData *records, uint8_t contNo, const SnapArgs *args)
{
    uint8_t bases[LD_MAX];
    unsigned count = 0;
    if (!SelectFitting(&records[contNo], contNo, &args->cli, LdIsBase, bases, &count) || !ConfirmDisable(bases, count))
        return 0;
    return ApplyDisable(contNo, bases, count);
}

static uint8_t SingleTarget(const SnapArgs *args)
{
    uint8_t listed[LD_LIST_SIZE];
    GetLogicalDriveNo(args->cli.ldSel, listed);
    return listed[0];
}

// The one base LD the operation names; 0 after reporting why it cannot serve.
static int SingleBase(const ContData *record, uint8_t contNo, const SnapArgs *args, uint8_t *base)
{
    *base = SingleTarget(args);
    if (!MoreLdExists(record, *base)) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] The specified %s %d: doesn't exist.", contNo, "Logical Drive",
                   *base);
        return 0;
    }
    if (!LdIsBase(record, *base))
        return ReportNotBase(contNo, *base);
    return 1;
}

static int SnapCreate(ContData *records, uint8_t contNo, const SnapArgs *args)
{
    uint8_t base;
    ContData *record = &records[contNo];
    if (!SingleBase(record, contNo, args, &base))
        return 0;
    char name[SNAP_NAME_SIZE + 1], answer[LD_LIST_SIZE];
    if (args->at[SO_NAME] != 0) {
        DispCopy(name, sizeof(name), args->value[SO_NAME]);
    } else {
        time_t now = time(NULL);
        MakeSnapshotName(name, sizeof(name), base, localtime(&now));
    }
    // With automatic deletion the oldest snapshot makes room for a ninth one.
    if (PitCount(BaseInfo(record, base)) > SNAP_MAX_BEFORE_QUESTION && AutoDeleteEnabled(record, base) &&
        ComChk(answer, PROMPT_UPDATE_OLDEST_SNAPSHOT, 0) != 1)
        return 0;
    if (!FlushLDBuffers(contNo, records, base))
        return 0;
    if (SLCreateSnapshotPIT(contNo, base, name) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "CliCmdExecSnapshot", "SLCreateSnapshotPIT error", contNo,
                  base);
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to create the Snapshot.", contNo);
        return 0;
    }
    ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Snapshot %s has been created on LD(Logical Drive) %u.", contNo,
               name, base);
    return 1;
}

static int SnapDelete(ContData *records, uint8_t contNo, const SnapArgs *args)
{
    uint8_t base;
    const ContData *record = &records[contNo];
    if (!SingleBase(record, contNo, args, &base))
        return 0;
    const uint8_t *info = BaseInfo(record, base);
    if (PitCount(info) == 0) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Snapshot doesn't exist on LD(Logical Drive) %u.", contNo, base);
        return 0;
    }
    const uint8_t *oldest = PitAt(info, 0);
    if (oldest[SP_HAS_VIEW] != 0) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Cannot delete the Snapshot because view is \"created\".\n"
                                "Please delete view on it.", contNo);
        return 0;
    }
    char answer[LD_LIST_SIZE], name[SNAP_NAME_SIZE + 1];
    if (ComChk(answer, PROMPT_DELETE_OLDEST_SNAPSHOT, 0) != 1)
        return 0;
    FixedFieldText(name, sizeof(name), oldest + SP_NAME, SNAP_NAME_SIZE);
    if (SLDeleteSnapshotPIT(contNo, base, LayoutU32(oldest, SP_NUMBER)) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "CliCmdExecSnapshot", "SLDeleteSnapshotPIT error", contNo,
                  base);
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to delete the Snapshot.", contNo);
        return 0;
    }
    ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Snapshot %s has been deleted from LD(Logical Drive) %u.",
               contNo, name, base);
    return 1;
}

static void AddViewLines(ReportText *report, const uint8_t *info, const uint8_t *view)
{
    char text[64];
    ReportTextAdd(report, "%s\r\n", "### Snapshot View Information ###");
    ReportTextAdd(report, "%-26s: %u\r\n", "TargetID", view[SV_TARGET]);
    FixedFieldText(text, sizeof(text), view + SV_NAME, SNAP_NAME_SIZE);
    ReportTextAdd(report, "%-26s: %s\r\n", "View Name", text);
    ZavDate date;
    DateFromSeconds(LayoutU32(view, SV_TIME), &date);
    ReportTextAdd(report, "%-26s: %04d-%02d-%02d %02d:%02d\r\n", "Time Of View Creation", date.year, date.month,
                  date.day, date.hour, date.minute);
    ReportTextAdd(report, "%-26s: %s\r\n", "Status", view[SV_STATUS] == 1 ? "Active" : "Inactive");
    FixedFieldText(text, sizeof(text), view + SV_OS_DISK_NAME, 16);
    ReportTextAdd(report, "%-26s: %s\r\n", "OS Disk Name", text[0] != '\0' ? text : "-");
    ReportTextAdd(report, "%-26s: %s\r\n", "Access Policy", ViewAccessText(view[SV_ACCESS]));
    const uint8_t *pit = FindPitByNumber(info, LayoutU32(view, SV_PIT_NUMBER));
    if (pit != NULL) {
        FixedFieldText(text, sizeof(text), pit + SP_NAME, SNAP_NAME_SIZE);
        ReportTextAdd(report, "%-26s: %s\r\n", "Snapshot Name", text);
        DateTimeText(text, sizeof(text), LayoutU32(pit, SP_TIME));
        ReportTextAdd(report, "%-26s: %s\r\n", "Time Of Snapshot Creation", text);
    }
}

static int SnapGetViewInfo(ContData *records, uint8_t contNo, const SnapArgs *args)
{
    const ContData *record = &records[contNo];
    uint8_t bases[LD_MAX];
    unsigned count = 0, shown = 0;
    if (!SelectFitting(record, contNo, &args->cli, LdIsBase, bases, &count))
        return 0;
    for (unsigned i = 0; i < count; ++i) {
        const uint8_t *info = BaseInfo(record, bases[i]);
        for (unsigned v = 0; v < ViewCount(info); ++v) {
            ReportText report;
            ReportTextReset(&report);
            if (shown++ == 0)
                ReportTextAdd(&report, "%s: %d\r\n\r\n", "RAID Controller", contNo);
            ReportTextAdd(&report, "LD%u\r\n", bases[i]);
            AddViewLines(&report, info, ViewAt(info, v));
            ReportTextPrint(&report);
        }
    }
    if (shown == 0)
        ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Snapshot View doesn't exist.", contNo);
    return 1;
}

static int SnapCreateView(ContData *records, uint8_t contNo, const SnapArgs *args)
{
    uint8_t base;
    const ContData *record = &records[contNo];
    if (!SingleBase(record, contNo, args, &base))
        return 0;
    const uint8_t *info = BaseInfo(record, base);
    const uint8_t *pit = NULL;
    uint32_t seconds = 0;
    if (args->at[SO_SNAPSHOTNO] != 0)
        pit = FindPitByNumber(info, (uint32_t)strtoul(args->value[SO_SNAPSHOTNO], NULL, 10));
    else if (ParseSnapshotTime(args->value[SO_TIME], &seconds))
        pit = FindPitByTime(info, seconds);
    if (pit == NULL) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] The specified Snapshot doesn't exist on LD(Logical Drive) %u.",
                   contNo, base);
        return 0;
    }
    if (ViewCount(info) > 0) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Cannot create the Snapshot View because view is \"created\".\n"
                                "Please delete view on it.", contNo);
        return 0;
    }
    // A view needs room in the base's repository area for the writes made through it: a twentieth.
    uint64_t area = LayoutU64(info, SB_AREA_BLOCKS), used = LayoutU64(info, SB_USED_BLOCKS);
    if (used >= area || area - used < area / 20) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] The remaining capacity of the Snapshot Repository LD(Logical "
                                "Drive) is too small.\nPlease delete a Snapshot on it.", contNo);
        return 0;
    }
    char name[SNAP_NAME_SIZE + 1];
    if (args->at[SO_NAME] != 0)
        DispCopy(name, sizeof(name), args->value[SO_NAME]);
    else
        MakeViewName(name, sizeof(name), base);
    if (SLCreateSnapshotView(contNo, base, LayoutU32(pit, SP_NUMBER), name) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "CliCmdExecSnapshot", "SLCreateSnapshotView error",
                  contNo, base);
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to create the Snapshot View.", contNo);
        return 0;
    }
    ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Snapshot View %s has been created on LD(Logical Drive) %u.",
               contNo, name, base);
    return 1;
}

static int SnapDeleteView(ContData *records, uint8_t contNo, const SnapArgs *args)
{
    uint8_t base;
    const ContData *record = &records[contNo];
    if (!SingleBase(record, contNo, args, &base))
        return 0;
    if (ViewCount(BaseInfo(record, base)) == 0) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Snapshot View doesn't exist on LD(Logical Drive) %u.", contNo,
                   base);
        return 0;
    }
    if (SLDeleteSnapshotView(contNo, base, 0) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "CliCmdExecSnapshot", "SLDeleteSnapshotView error",
                  contNo, base);
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to delete the Snapshot View.", contNo);
        return 0;
    }
    ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Snapshot View has been deleted from LD(Logical Drive) %u.",
               contNo, base);
    return 1;
}

static int SnapSetProp(ContData *records, uint8_t contNo, const SnapArgs *args)
{
    const ContData *record = &records[contNo];
    uint8_t bases[LD_MAX];
    unsigned count = 0;
    if (!SelectFitting(record, contNo, &args->cli, LdIsBase, bases, &count))
        return 0;
    for (unsigned i = 0; i < count; ++i) {
        int autoSnapshot = args->at[SO_AUTOSNAPSHOT] != 0 ? args->value[SO_AUTOSNAPSHOT][0] == '1'
                                                          : AutoSnapshotEnabled(record, bases[i]);
        int autoDelete = args->at[SO_AUTODELETE] != 0 ? args->value[SO_AUTODELETE][0] == '1'
                                                      : AutoDeleteEnabled(record, bases[i]);
        if (SLSetSnapshotProp(contNo, bases[i], (uint8_t)autoSnapshot, (uint8_t)autoDelete) != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "CliCmdExecSnapshot", "SLSetSnapshotProp error",
                      contNo, bases[i]);
            ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to change the Snapshot Settings.", contNo);
            return 0;
        }
    }
    ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Snapshot Base LD(Logical Drive) Settings have been changed.",
               contNo);
    return 1;
}

static void AddCapacityLine(ReportText *report, const char *label, uint64_t blocks, uint64_t total)
{
    char capa[32];
    CapacityText(capa, sizeof(capa), blocks);
    unsigned percent = total != 0 ? (unsigned)(blocks * 100 / total) : 0;
    ReportTextAdd(report, "%-33s: %s GB(%u%%)\r\n", label, capa, percent);
}

static void AddBaseInfo(ReportText *report, const ContData *record, uint8_t contNo, uint8_t base)
{
    const uint8_t *info = BaseInfo(record, base);
    char text[128];
    ReportTextAdd(report, "LD%u\r\n%s\r\n", base, "### Snapshot Base LD(Logical Drive) Information ###");
    if (info == NULL) {
        ReportTextAdd(report, "%-33s: %s\r\n", "Snapshot State", "Non Operational");
        return;
    }
    uint8_t repo = info[SB_REPO_TARGET];
    if (MoreLdExists(record, repo)) {
        LdSummaryText(text, sizeof(text), record, contNo, repo);
        ReportTextAdd(report, "%-33s: LD%u(%s)\r\n", "Associated Repository LD", repo, text);
    }
    ReportTextAdd(report, "%-33s: %s\r\n", "Snapshot State", info[SB_STATE] == 1 ? "Operational" : "Non Operational");
    uint64_t area = LayoutU64(info, SB_AREA_BLOCKS), used = LayoutU64(info, SB_USED_BLOCKS);
    AddCapacityLine(report, "Total Capacity", area, area);
    AddCapacityLine(report, "Capacity Used", used, area);
    AddCapacityLine(report, "Capacity Remaining", used < area ? area - used : 0, area);
    ReportTextAdd(report, "%-33s: %s\r\n", "Auto Deletion of oldest Snapshot",
                  AutoDeleteEnabled(record, base) ? "Enabled" : "Disabled");
    ReportTextAdd(report, "%-33s: %s\r\n", "Snapshot on Reboot", AutoSnapshotEnabled(record, base) ? "Enabled" : "Disabled");
    FixedFieldText(text, sizeof(text), info + SB_OS_DISK_NAME, 16);
    ReportTextAdd(report, "%-33s: %s\r\n", "OS Disk Name", text[0] != '\0' ? text : "-");
    ReportTextAdd(report, "\r\n%s\r\n", "### Snapshot Timeline ###");
    ReportTextAdd(report, "%-4s %-16s %-19s %s\r\n", "No.", "Snapshot Name", "Time Of Creation", "View");
    for (unsigned i = 0; i < PitCount(info); ++i) {
        const uint8_t *pit = PitAt(info, i);
        char name[SNAP_NAME_SIZE + 1], when[32];
        FixedFieldText(name, sizeof(name), pit + SP_NAME, SNAP_NAME_SIZE);
        DateTimeText(when, sizeof(when), LayoutU32(pit, SP_TIME));
        ReportTextAdd(report, "%-4u %-16s %-19s %s\r\n", LayoutU32(pit, SP_NUMBER), name, when,
                      pit[SP_HAS_VIEW] ? "Created" : "-");
    }
}

static void AddRepositoryInfo(ReportText *report, const ContData *record, uint8_t contNo, uint8_t repo)
{
    const uint8_t *info = record->repositoryInfo[repo];
    char text[128];
    ReportTextAdd(report, "LD%u\r\n%s\r\n", repo, "### Snapshot Repository LD(Logical Drive) Information ###");
    LdSummaryText(text, sizeof(text), record, contNo, repo);
    ReportTextAdd(report, "%-33s: LD%u(%s)\r\n", "Snapshot Repository LD", repo, text);
    if (info == NULL)
        return;
    uint64_t total = LayoutU64(info, SR_TOTAL_BLOCKS);
    AddCapacityLine(report, "Total Capacity", total, total);
    AddCapacityLine(report, "Capacity Used", LayoutU64(info, SR_USED_BLOCKS), total);
    AddCapacityLine(report, "Capacity Remaining", LayoutU64(info, SR_FREE_BLOCKS), total);
    ReportTextAdd(report, "%-33s:\r\n", "Associated Base LD");
    for (unsigned i = 0; i < info[SR_BASE_COUNT]; ++i) {
        uint8_t base = info[SR_HEADER_SIZE + SR_ENTRY_SIZE * i + SR_ENTRY_BASE_TARGET];
        if (!MoreLdExists(record, base))
            continue;
        LdSummaryText(text, sizeof(text), record, contNo, base);
        ReportTextAdd(report, "%s LD%u(%s)\r\n", "Snapshot Base", base, text);
    }
}

static int SnapInfo(ContData *records, uint8_t contNo, const SnapArgs *args)
{
    const ContData *record = &records[contNo];
    uint8_t targets[LD_MAX];
    unsigned count = 0;
    if (!SelectFitting(record, contNo, &args->cli, LdIsBaseOrRepository, targets, &count))
        return 0;
    for (unsigned i = 0; i < count; ++i) {
        ReportText report;
        ReportTextReset(&report);
        if (i == 0)
            ReportTextAdd(&report, "%s: %d\r\n\r\n", "RAID Controller", contNo);
        if (LdIsBase(record, targets[i]))
            AddBaseInfo(&report, record, contNo, targets[i]);
        else
            AddRepositoryInfo(&report, record, contNo, targets[i]);
        ReportTextPrint(&report);
    }
    return 1;
}

typedef int (*SnapOperationFn)(ContData *records, uint8_t contNo, const SnapArgs *args);
static const SnapOperationFn kSnapOperation[SO_OPERATIONS] = {
    SnapEnable, SnapDisable, SnapCreate, SnapDelete, SnapGetViewInfo, SnapCreateView, SnapDeleteView, SnapSetProp,
    SnapInfo};

int CliCmdExecSnapshot(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s: %s", "CliCmdExecSnapshot", "start");
    SnapArgs args;
    if (!ParseSnapArgs(argc, argv, &args) || !CheckSnapArgs(argc, argv, &args))
        return -1;
    uint8_t adapters[ADAPTER_LIST_SIZE];
    if (!SelectAdapters(argc, argv, &args.cli, contCount, adapters))
        return -1;
    unsigned adapterCount = SelCount(adapters, ADAPTER_LIST_SIZE);
    for (unsigned a = 0; a < adapterCount; ++a) {
        if (!RequireSnapshotSupport(records, adapters[a]) || !kSnapOperation[args.operation](records, adapters[a], &args))
            return -1;
        // Later controllers see the state this one's change left behind.
        if (args.operation != SO_INFO && args.operation != SO_GETVIEWINFO && a + 1 < adapterCount &&
            UpdateDriveInfo(records, contCount) != 1)
            return -1;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// sse: the interactive enable/disable dialogue over the construct-info preselection
// ---------------------------------------------------------------------------------------------
enum SseStep { SSE_MENU, SSE_ENABLE_BASE, SSE_ENABLE_REPO, SSE_AUTO_DELETE, SSE_ON_REBOOT, SSE_CONFIRM,
               SSE_DISABLE_BASE, SSE_QUIT };

struct SseState {
    uint8_t contNo;
    SnapConstructInfo preselection;
    EnableRequest request;
    uint8_t disableBase;
};

static void PrintSnapshotLdTable(ContData *record, const SseState *state, const char *heading)
{
    ReportText report;
    ReportTextReset(&report);
    ReportTextAdd(&report, "\nCurrently selected controller : %d\n", state->contNo);
    ReportTextAdd(&report, "LD No. RAID Level Capacity[GB] State              Snapshot\n"
                           "------ ---------- ------------ ------------------ ------------------------------\n");
    uint8_t targets[LD_MAX];
    unsigned count = 0;
    for (uint32_t i = 0; record->ldList != NULL && i < record->ldList->count && i < LD_MAX; ++i)
        targets[count++] = record->ldList->entries[i].targetId;
    for (unsigned i = 0; i < count; ++i) {
        const uint8_t *ldInfo = record->ldInfo[targets[i]];
        char name[16], level[16], capa[32], ldState[64], role[64];
        snprintf(name, sizeof(name), "LD%u", targets[i]);
        RaidlvlToStr(level, sizeof(level), LdRaidLevel(ldInfo), state->contNo);
        CapacityText(capa, sizeof(capa), LdCapacityBlocks(ldInfo, state->contNo));
        LdStateText(ldState, sizeof(ldState), record, targets[i]);
        SnapshotRoleText(role, sizeof(role), record, &state->preselection, targets[i]);
        ReportTextAdd(&report, "%-6s %-10s %-12s %-18s %s\n", name, level, capa, ldState, role);
    }
    ReportTextAdd(&report, "\n%s\n", heading);
    ReportTextWrite(&report);
}

static int NavigationStep(int answer, int backStep)
{
    return answer == NAV_BACK ? backStep : answer == NAV_MENU ? SSE_MENU : SSE_QUIT;
}

static int SseMenu(SseState *state)
{
    char answer[LD_LIST_SIZE];
    WriteConsoleText("\n<< Snapshot Menu >>\n\n(1) Enable Snapshot\n(2) Disable Snapshot\n(Q) Quit\n\n");
    ZAV_REPORT(REPORT_CONSOLE, "Currently selected controller : %d", state->contNo);
    int choice = ComChk(answer, PROMPT_MENU_NUMBER, 2);
    return choice == 1 ? SSE_ENABLE_BASE : choice == 2 ? SSE_DISABLE_BASE : SSE_QUIT;
}

static int SseChooseLd(ContData *record, SseState *state, const char *heading,
                       int (*fits)(const ContData *, uint8_t, uint8_t), uint8_t other, int backStep, uint8_t *chosen)
{
    // The navigation prompt accepts the LDs of a 64-byte list.
    char allowed[LD_LIST_SIZE];
    memset(allowed, SEL_EMPTY, LD_LIST_SIZE);
    if (FittingLds(record, fits, other, (uint8_t *)allowed) == 0) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] There is no LD(Logical Drive) to select.", state->contNo);
        return SSE_MENU;
    }
    PrintSnapshotLdTable(record, state, heading);
    int answer = ComChk(allowed, PROMPT_LD_NAVIGATE, 0);
    if (answer == NAV_BACK || answer == NAV_MENU || answer == NAV_QUIT)
        return NavigationStep(answer, backStep);
    *chosen = (uint8_t)answer;
    return -1;
}

static int SseEnableRepository(ContData *record, SseState *state)
{
    uint8_t base = state->request.bases[0];
    uint8_t preselected = state->preselection.repositoryOf[base];
    char heading[128];
    if (preselected != SNAP_INFO_NONE)
        snprintf(heading, sizeof(heading), "[Snapshot Repository LD] (Preselected Repository LD : LD%u)", preselected);
    else
        snprintf(heading, sizeof(heading), "[Snapshot Repository LD]");
    uint8_t repo = 0;
    int next = SseChooseLd(record, state, heading, LdFitsRepository, base, SSE_ENABLE_BASE, &repo);
    if (next >= 0)
        return next;
    // The repository is shared out among the bases it is to serve.
    unsigned sharing = state->preselection.baseCount[repo] > 0 ? state->preselection.baseCount[repo] : 1;
    state->request.repository = repo;
    state->request.areaBlocks = RepositoryFreeBlocks(record, state->contNo, repo) / sharing;
    if (!CheckRepositoryRoom(record, state->contNo, &state->request))
        return SSE_ENABLE_REPO;
    char capa[32];
    CapacityText(capa, sizeof(capa), state->request.areaBlocks);
    ZAV_REPORT(REPORT_CONSOLE, "Snapshot Repository Area : %s GB", capa);
    return SSE_AUTO_DELETE;
}

static int SseOption(int promptType, int *value, int backStep, int nextStep)
{
    char answer[LD_LIST_SIZE];
    int result = ComChk(answer, promptType, 0);
    if (result == 0 || result == 1) {
        *value = result;
        return nextStep;
    }
    return result == 2 ? backStep : result == 3 ? SSE_MENU : SSE_QUIT;
}

// After a change the record is read again so the tables show the new state.
static int SseRefresh(ContData *records, uint16_t contCount)
{
    if (UpdateDriveInfo(records, contCount) == 1)
        return SSE_MENU;
    ZAV_REPORT(REPORT_BOTH, "Error - An error has occurred on accessing to RAID controller.\nQuits the application.\n");
    return SSE_QUIT;
}

int CliCmdExecSnapshotMenu(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s: %s", "CliCmdExecSnapshotMenu", "start");
    int chosen = OpenControllerDialogue(argc, argv, records, contCount);
    if (chosen < 0)
        return chosen == DIALOGUE_INVALID ? -1 : 0;
    static SseState state;
    memset(&state, 0, sizeof(state));
    state.contNo = (uint8_t)chosen;
    if (!RequireSnapshotSupport(records, state.contNo))
        return -1;
    ContData *record = &records[state.contNo];
    int step = SSE_MENU;
    while (step != SSE_QUIT) {
        ReadSnapshotConstructInfo(state.contNo, records, &state.preselection);
        int next = step;
        uint8_t target = 0;
        switch (step) {
        case SSE_MENU:
            memset(&state.request, 0, sizeof(state.request));
            next = SseMenu(&state);
            break;
        case SSE_ENABLE_BASE:
            next = SseChooseLd(record, &state, "[Snapshot Base LD]", LdFitsSnapshotBase, 0, SSE_MENU, &target);
            if (next < 0) {
                state.request.bases[0] = target;
                state.request.baseCount = 1;
                next = SSE_ENABLE_REPO;
            }
            break;
        case SSE_ENABLE_REPO:
            next = SseEnableRepository(record, &state);
            break;
        case SSE_AUTO_DELETE:
            next = SseOption(PROMPT_SNAP_AUTO_DELETE, &state.request.autoDelete, SSE_ENABLE_REPO, SSE_ON_REBOOT);
            break;
        case SSE_ON_REBOOT:
            next = SseOption(PROMPT_SNAP_ON_REBOOT, &state.request.autoSnapshot, SSE_AUTO_DELETE, SSE_CONFIRM);
            break;
        case SSE_CONFIRM:
            next = SSE_MENU;
            if (ConfirmEnable(&state.request)) {
                ApplyEnable(state.contNo, &state.request);
                next = SseRefresh(records, contCount);
            }
            break;
        case SSE_DISABLE_BASE:
            next = SseChooseLd(record, &state, "[Snapshot Base LD]", LdFitsSnapshotDisable, 0, SSE_MENU, &target);
            if (next < 0) {
                next = SSE_MENU;
                if (ConfirmDisable(&target, 1)) {
                    ApplyDisable(state.contNo, &target, 1);
                    next = SseRefresh(records, contCount);
                }
            }
            break;
        }
        step = next;
    }
    return 0;
}
