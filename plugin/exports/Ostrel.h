#pragma once
// The nine exports of the PC/SC protocol plug-in, as the access manager calls them:
// undecorated names, the Windows standard calling convention, 16-bit statuses.

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define OSTREL_CALL __stdcall
#else
#define OSTREL_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Only the low byte of `channelType` counts; the plug-in serves type 3.
uint16_t OSTREL_CALL ProInit(uint16_t protocolNumber, const char* configPath, uint32_t reserved);
uint16_t OSTREL_CALL ProTermin(void);
uint16_t OSTREL_CALL ProConnect(uint32_t channelType, uint8_t channel, const char* parameters);
uint16_t OSTREL_CALL ProDisconnect(uint32_t channelType, uint8_t channel);
// `responseLength`: capacity of `response` in, bytes written out.
uint16_t OSTREL_CALL ProExchange(uint32_t channelType, uint8_t channel, uint8_t index, uint16_t parameter,
                                 const uint8_t* request, uint32_t requestLength, uint8_t* response,
                                 uint32_t* responseLength);
// `text` receives "Erreur PCSC" and needs at least 12 bytes.
uint16_t OSTREL_CALL ProGetStatus(uint16_t* status, uint32_t* detail, char* text);
// `record` is the 106-byte identification record.
uint16_t OSTREL_CALL ProIdentify(void* record);
uint16_t OSTREL_CALL ProSetExclusivity(uint32_t channelType, uint8_t channel, uint8_t index);
uint16_t OSTREL_CALL ProReleaseExclusivity(uint32_t channelType, uint8_t channel, uint8_t index);

typedef uint16_t(OSTREL_CALL* ProInitFn)(uint16_t, const char*, uint32_t);
typedef uint16_t(OSTREL_CALL* ProTerminFn)(void);
typedef uint16_t(OSTREL_CALL* ProConnectFn)(uint32_t, uint8_t, const char*);
typedef uint16_t(OSTREL_CALL* ProDisconnectFn)(uint32_t, uint8_t);
typedef uint16_t(OSTREL_CALL* ProExchangeFn)(uint32_t, uint8_t, uint8_t, uint16_t, const uint8_t*, uint32_t,
                                             uint8_t*, uint32_t*);
typedef uint16_t(OSTREL_CALL* ProGetStatusFn)(uint16_t*, uint32_t*, char*);
typedef uint16_t(OSTREL_CALL* ProIdentifyFn)(void*);
typedef uint16_t(OSTREL_CALL* ProExclusivityFn)(uint32_t, uint8_t, uint8_t);

#ifdef __cplusplus
}
#endif
