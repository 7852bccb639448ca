// Dashboard logic: what the controller group shows, the RAID-group tree, the PD rows and their
// menus, the PD actions and the learn cycle. The dialog procedure copies these into controls.
#ifndef ZAV_GUI_PAGE0LOGIC_H
#define ZAV_GUI_PAGE0LOGIC_H

#include <stdint.h>

struct ContData;

// Tags that say what a tree node is.
enum {
    NODE_TAG_LD_FOLDER = 0x3000000,
    NODE_TAG_LD = 0x4000000,       // plus the LD target id
    NODE_TAG_FREE_FOLDER = 0x6000000,
    NODE_TAG_FREE = 0x7000000,
    NODE_TAG_LD_LAST = 0x4FFFFFF
};

enum { TREE_TEXT_SIZE = 160, TREE_MAX_NODES = 1024, PD_COLUMNS = 6, PD_CELL_SIZE = 96 };

struct TreeNode {
    int depth;       // 0 RAID group, 1 folder, 2 LD or free space
    uint32_t tag;
    char text[TREE_TEXT_SIZE];
};

struct TreeNodes {
    int count;
    TreeNode nodes[TREE_MAX_NODES];
};

// One row of a PD list: the slot it shows travels with it, so actions never guess from the row
// position.
struct PdRow {
    uint8_t slot;
    uint8_t present;
    char cells[PD_COLUMNS][PD_CELL_SIZE];
};

struct PdColumn {
    const char *title;
    int width;      // dialog units
    int rightAlign;
};
extern const PdColumn kPdColumns[PD_COLUMNS];

struct DashboardVisibility {
    int enclosureButton;
    int cacheBackup; // group, Information and Learn Cycle
};

struct PdMenuState {
    int info, reload, online, offline, unconfGood, locate;
};

struct LdMenuState {
    int show;           // 0: not an LD node, no menu
    int snapshotItem;   // the controller supports snapshots: the item is in the menu
    int snapshotInfo;   // enabled
};

// PD actions of the pop-up menus (same on every page that lists PDs).
enum PdAction { PD_ACTION_ONLINE = 0, PD_ACTION_OFFLINE = 1, PD_ACTION_UNCONF_GOOD = 2, PD_ACTION_LOCATE_ON = 3,
                PD_ACTION_LOCATE_OFF = 4 };

#ifdef __cplusplus
extern "C" {
#endif

DashboardVisibility DashboardVisibilityOf(const ContData *record);

int BuildLdTree(const ContData *record, uint8_t contNo, TreeNodes *out);
int IsLdNode(uint32_t tag);

// Rows for every slot of the controller's PD range.
int BuildPdRows(const ContData *record, PdRow *rows, int maxRows);
int FillPdRow(const ContData *record, uint8_t slot, PdRow *row);

PdMenuState PdMenuStateOf(const ContData *record, const PdRow *row);
LdMenuState LdMenuStateOf(const ContData *record, uint32_t tag);

// Runs a PD action on the row's slot (no row: nothing happens, success). Failures show the
// action's box under the caption given. Returns 1 on success; the page refreshes either way.
int RunPdAction(int action, void *owner, uint16_t captionId, const PdRow *row);

// The learn cycle of the cache-backup unit, with its success or failure box.
int OnButtonCacheBkupDiag(void *owner);

#ifdef __cplusplus
}
#endif

#endif
