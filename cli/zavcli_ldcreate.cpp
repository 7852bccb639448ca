// Creation steps both LD creation commands of zavcli share: their common messages, the CacheCade
// group and the Associated CacheCade LD question that follows it.
#include "cli/zavcli_ldcreate.h"

#include <stdio.h>
#include <string.h>

#include "cli/zavcli_cmd_com.h"
#include "common/ContData.h"
#include "common/Facts.h"
#include "common/LdLayout.h"
#include "common/LdPlan.h"
#include "common/StoreLib.h"
#include "common/dll_mod.h"

const char MSG_FAILED_CREATE[] = "Error - Controller[%d] Failed to create LD[s](Logical Drive[s]).";
const char MSG_LD_LIMIT[] =
    "Error - Exceed the upper limit of the LDs(Logical Drives).\nPlease re-set the configuration.\n";
const char MSG_MIXED_INTERFACE[] =
    "Error - Cannot create LD[s](Logical Drive[s]) under the different Interface Type(SAS/SATA).";
const char MSG_MIXED_MEDIA[] =
    "Error - Cannot create LD[s](Logical Drive[s]) under the different Media Type(HDD/SSD).";
const char MSG_ABNORMAL_COUNT[] = "Error - Controller[%d] The number of HDD to the RAID composition is abnormal.";
const char MSG_INIT_STARTS[] =
    "Information - Initialization automatically starts.\nPlease confirm the progress by \"ldpdprog\" command.";

enum { TEXT_LINE = 512 };

void OfferCacheCadeAssociation(ContData *records, uint8_t contNo)
{
    uint8_t targets[LD_MAX];
    int count = (int)NonCacheCadeLds(&records[contNo], targets);
    if (count == 0)
        return;
    char list[TEXT_LINE];
    int len = 0;
    for (int i = 0; i < count && len < (int)sizeof(list) - 8; ++i)
        len += snprintf(list + len, sizeof(list) - (size_t)len, i == 0 ? "%u" : ",%u", (unsigned)targets[i]);
    char question[TEXT_LINE + 200];
    snprintf(question, sizeof(question),
             "Information - CacheCade LD[s](Logical Drive[s]) doesn't need Initialization.\n"
             "Use the following LD[s] as Associated CacheCade LD?(Y/N)?\n\nLD:LD%s",
             list);
    if (!ComChkYesNoText(question))
        return;
    if (SetLdsIoPolicy(contNo, records, targets, count, 1) == 0)
        ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] IO Policy of LD(Logical Drive) %s has been changed to Cached IO.",
                   contNo, list);
}

int CreateCacheCadeGroup(ContData *records, EasyPlan *plan, const uint8_t *pds, int count)
{
    uint8_t contNo = plan->contNo;
    int outcome = PlanCacheCade(plan, records, pds, count);
    if (outcome == LAYOUT_LD_LIMIT) {
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_LD_LIMIT);
        return -1;
    }
    if (outcome != LAYOUT_OK) {
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, contNo);
        return 0;
    }
    if (ConfirmDiffPDSize(&plan->request, contNo) && !ComChk(NULL, PROMPT_CACHECADE_DIFFERENT_PD_SIZE, 0))
        return -1;
    if (SLCreateCacheCadeLD(contNo, &plan->request) != 0) {
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, contNo);
        return 0;
    }
    return 1;
}
