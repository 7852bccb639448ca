// Display conversions shared by the information commands: codes and counters of the controller
// data record turned into the fixed texts the reports show. Every text conversion writes into the
// caller's buffer (always terminated, cut to fit) and returns the length of the text written.
#ifndef ZAV_COMMON_DISPFORMAT_H
#define ZAV_COMMON_DISPFORMAT_H

#include <stddef.h>
#include <stdint.h>

struct ContData;

// A row of a name table: a 16-bit code and its name (at most 64 characters).
struct DispName {
    uint16_t code;
    const char *name;
};

// RAID level codes used throughout the tools.
enum { RAIDLVL_0 = 0, RAIDLVL_1 = 1, RAIDLVL_5 = 2, RAIDLVL_6 = 3, RAIDLVL_10 = 4, RAIDLVL_INVALID = -1 };

// Linear search of a name table, first match wins; null when the code has no row.
const char *DispLookupName(const DispName *table, unsigned rows, uint16_t code);

// Copies text into out (cut to fit, always terminated); returns the length written.
int DispCopy(char *out, size_t size, const char *text);
// Copies a fixed-width text field of a controller buffer, stopping at its terminator.
void FixedFieldText(char *out, size_t size, const uint8_t *field, size_t width);

// --- RAID level ---------------------------------------------------------------------------
// Name of a RAID level code; an unknown code writes an empty text, returns 0 and is traced.
int RaidlvlToStr(char *out, size_t size, int raidLevel, uint8_t contNo);
// RAID level code of an LD from its LD information or configuration LD entry (-1 when none).
int LdRaidLevel(const uint8_t *ldInfo);

// --- States and media ---------------------------------------------------------------------
int PdStateText(char *out, size_t size, uint16_t fwState);   // "UNKNOWN" outside the table
int LdStateName(char *out, size_t size, uint8_t ldState);    // "UNKNOWN" outside the table
int MediaTypeText(char *out, size_t size, const uint8_t *pdInfo);
int LdErrorText(char *out, size_t size, const uint8_t *ldInfo);

// --- Stripe sizes -------------------------------------------------------------------------
int StripeSizeText(char *out, size_t size, uint8_t stripeCode); // 0 (empty) when unknown
// The stripe-size rows a controller offers, from its controller information; returns the count.
unsigned CtrlStripeSizes(const uint8_t *ctrlInfo, DispName *rows, unsigned maxRows);

// --- Cache and access policies (LD information bytes 20..23) -----------------------------
// The write policies a controller offers (Write Back only with a cache backup unit present).
unsigned CtrlWritePolicies(const uint8_t *ctrlInfo, DispName *rows, unsigned maxRows);
// Each returns 0 with an empty text when the masked value has no name (the line is left out).
int DefaultWritePolicyText(char *out, size_t size, const uint8_t *ldInfo, const uint8_t *ctrlInfo);
int CurrentWritePolicyText(char *out, size_t size, const uint8_t *ldInfo, const uint8_t *ctrlInfo);
int ReadPolicyText(char *out, size_t size, const uint8_t *ldInfo);
int IoPolicyText(char *out, size_t size, const uint8_t *ldInfo);
int AccessPolicyText(char *out, size_t size, const uint8_t *ldInfo);
int DiskCachePolicyText(char *out, size_t size, const uint8_t *ldInfo);
// 1 when the write-policy lines are shown: the first controller's product name is not a
// leading part of the embedded software-RAID controller's name (it has no write cache).
int WritePolicyShown(const char *productNameOfFirstCtrl);
// One row of an LD's settings; an empty text means the row is left out.
enum { LD_SETTING_TEXT_SIZE = 128, LD_SETTING_ROWS_MAX = 6 };
struct LdSettingRow {
    const char *name;
    char text[LD_SETTING_TEXT_SIZE];
};
// The LD settings rows in the order both tools show them: access, disk cache, read and IO policy,
// then the current and default write policy where the first controller's model shows them.
// Returns the count of rows filled.
int LdSettingsRows(const ContData *records, const ContData *record, const uint8_t *ldInfo, LdSettingRow *rows);

// --- LD state and progress ----------------------------------------------------------------
unsigned ProgressPercent(uint16_t progress); // progress x 100 / 65535, truncated
int LdStateText(char *out, size_t size, const ContData *rec, uint8_t target);
int LdProgressText(char *out, size_t size, const ContData *rec, uint8_t target);
// What runs on a PD, from its PD information: "Copyback (n%)", "Rebuild (n%)", "n% PatrolRead"
// or "-".
int PdOperationText(char *out, size_t size, const ContData *rec, uint8_t slot);

// --- Capacities ---------------------------------------------------------------------------
// LD capacity in blocks of a level over n drives of the given per-drive size; 0 (traced) for an
// unknown level.
uint64_t CalcLDCapa(int raidLevel, unsigned driveCount, uint64_t driveBlocks, uint8_t contNo);
// Per-drive size of an existing LD: the block count of its first span that is not 0.
uint64_t LdSpanBlocks(const uint8_t *ldInfo);
// Number of drives of an existing LD: drives per span times span depth.
unsigned LdDriveCount(const uint8_t *ldInfo);
// Per-drive size for planning from chosen PDs: the smallest usable size (first among equals);
// *chosenIndex (when given) receives its position in slots. 0 when count is 0.
uint64_t SmallestPdBlocks(const ContData *rec, const uint8_t *slots, unsigned count, unsigned *chosenIndex);
int CapacityText(char *out, size_t size, uint64_t blocks); // GB with three decimals, no unit

// --- PD usage and RAID groups -------------------------------------------------------------
int PdUsageText(char *out, size_t size, const ContData *rec, uint8_t slot);
int PdLdListText(char *out, size_t size, const ContData *rec, uint8_t slot);
int RaidGroupName(char *out, size_t size, const ContData *rec, uint16_t arrayRef);
int PdRaidGroupText(char *out, size_t size, const ContData *rec, uint8_t slot);

// --- SAS addresses ------------------------------------------------------------------------
int SasAddressText(char *out, size_t size, uint64_t sasAddress);   // "0x" + 16 hex digits
int SasAddressDigits(char *out, size_t size, uint64_t sasAddress); // 16 hex digits only

// --- Controller dates (seconds since 2000-01-01 00:00:00) --------------------------------
struct ZavDate {
    uint16_t year;
    uint8_t month;  // 1..12
    uint8_t day;    // 1..31
    uint8_t hour;
    uint8_t minute;
    uint8_t second;
};
int IsLeapYear(unsigned year);
int DateFromSeconds(uint32_t seconds, ZavDate *date); // returns 1
uint32_t SecondsFromDate(unsigned year, unsigned month, unsigned day, unsigned hour);

// --- Advanced options of a controller -----------------------------------------------------
struct AdvancedOptionSet {
    int snapshot;   // adapter operation bit 30
    int cacheCade;  // CacheCade field non-zero
    int fastPath;   // LD operation bit 10
};
int AdvancedOptions(const uint8_t *ctrlInfo, AdvancedOptionSet *options); // returns 1

#endif
