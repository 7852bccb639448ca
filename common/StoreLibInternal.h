// Helpers shared by the source files of the controller access layer (not for its callers).
#ifndef ZAV_COMMON_STORELIBINTERNAL_H
#define ZAV_COMMON_STORELIBINTERNAL_H

#include <stdint.h>

#include "common/raidctl.h"
#include "common/storelib_layout.h"

// Trace records of the access layer name one module, whichever of its files wrote them.
#define SL_MODULE "StoreLib.cpp"
#define SL_TRACE(prefix, ...) TraceText(SL_MODULE, __LINE__, (prefix), __VA_ARGS__)
#define SL_TRACE_DUMP(prefix, data, size, ...) TraceTextDump(SL_MODULE, __LINE__, (prefix), (data), (size), __VA_ARGS__)

// The packet carries a 32-bit data pointer: the tools are 32-bit programs.
static inline uint32_t SLBufferAddress(const void *buffer) { return (uint32_t)(uintptr_t)buffer; }

uint32_t SLControllerId(uint8_t contNo);
int32_t SLSendLibraryCommand(LibCmdPacket *packet);

// One packet's addressing and data.
struct SLRequest {
    uint8_t cmdType;
    uint8_t cmd;
    uint16_t ref1;
    uint16_t ref2;
    uint8_t param0;
    void *data;
    uint32_t dataSize;
};

// Zeroes the packet and fills it from the request for the given controller.
void SLBuildPacket(LibCmdPacket *packet, uint8_t contNo, const SLRequest *request);
// Query: clears the data buffer, sends, traces the outcome only on failure.
int32_t SLRunQuery(const char *opName, unsigned line, uint8_t contNo, const SLRequest *request);
// Changing command: sends and always traces the outcome.
int32_t SLRunAction(const char *opName, unsigned line, uint8_t contNo, const SLRequest *request);
// Direct command: sends the frame through the pass-through packet without any trace.
int32_t SLSendFrame(uint8_t contNo, DcmdFrame *frame, LibCmdPacket *packetOut);
// Fills a frame; the mailbox of LD commands holds target id, 0, sequence number.
void SLBuildFrame(DcmdFrame *frame, uint32_t opcode, uint8_t direction, void *data, uint32_t dataSize);
void SLFrameLdMailbox(DcmdFrame *frame, uint8_t targetId, uint16_t seqNum);
// Work buffers of the lookups: zeroed, or null after the allocation-failure callback ran.
void *SLAllocWork(uint32_t size);
// Slot count from an enclosure list (see SLGetSlotNum).
uint16_t SlotCountOfEnclosures(const EnclList *list);

#endif
