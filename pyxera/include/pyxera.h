/*
 * libpyxera: finds the maker's cameras and recorders on the local network.
 *
 * Seven calls and one answer callback. Every call returns 0 on success and a negative
 * PYXERA_ERR_* code otherwise; a call that fails changes nothing and starts nothing, so no
 * callback follows a failed start.
 *
 * Typical use:
 *   PyxeraHandle h = NULL;
 *   unsigned char params[PYXERA_PARAMS_SIZE] = {0};   port at bytes 4-5 (little-endian),
 *   params[4] = 5678 & 0xFF; params[5] = 5678 >> 8;    the mode 1 at bytes 8-11
 *   params[8] = 1;
 *   Pyxera_Create(&h, params);
 *   Pyxera_SetCallback(h, ctx, onAnswer);
 *   Pyxera_Start(h);
 *   Pyxera_Discovery(h);            or Pyxera_DiscoveryByRangeIP(h, range)
 *   ...answers arrive on the library's thread...
 *   Pyxera_Stop(h);                 after it returns, no callback runs
 *   Pyxera_Close(&h);               h is NULL afterwards
 *
 * Answers are delivered with event type PYXERA_EVENT_ANSWER and a pointer to a record of
 * PYXERA_RECORD_SIZE bytes laid out at the PYXERA_REC_* offsets: texts NUL-terminated within their
 * slots, numbers little-endian. The record is valid only during the callback. Each device (same
 * MAC and address text) is delivered at most once per discovery request. The callback must not
 * call Pyxera_Stop or Pyxera_Close of its own instance (they would wait for the callback itself;
 * they refuse with PYXERA_ERR_STATE instead).
 *
 * The wire protocol and its pacing are described in docs/discovery-protocol.md.
 * Environment: PYXERA_LOOPBACK_ONLY=1 limits plain discovery to 127.255.255.255;
 * PYXERA_RANGE_RATE sets the range probe rate in probes per second (100-100000, default 4096).
 */
#ifndef PYXERA_H
#define PYXERA_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define PYXERA_API __declspec(dllexport)
#else
#define PYXERA_API __attribute__((visibility("default")))
#endif

typedef struct PyxeraInstance* PyxeraHandle;

/* Called on the library's thread; the return value is ignored (answer 0). */
typedef int (*PyxeraCallback)(void* context, int eventType, const void* record);

#define PYXERA_EVENT_ANSWER 1

/* Parameter block of Pyxera_Create. */
#define PYXERA_PARAMS_SIZE 12
#define PYXERA_PARAMS_PORT 4 /* 16 bits, little-endian, 1-65535 */
#define PYXERA_PARAMS_MODE 8 /* 32 bits, little-endian, must be 1 */
#define PYXERA_DEFAULT_PORT 5678

/* Answer record layout. */
#define PYXERA_RECORD_SIZE 268
#define PYXERA_REC_INFO 0x00        /* identification string, 44 bytes with NUL */
#define PYXERA_REC_MAC 0x2C         /* 6 bytes */
#define PYXERA_REC_IP 0x32          /* IPv4 address text, 20 bytes with NUL */
#define PYXERA_REC_MODEL 0x46       /* model name, 44 bytes with NUL */
#define PYXERA_REC_HTTP_PORT 0x72   /* 16 bits */
#define PYXERA_REC_NUMBER 0x7C      /* 32 bits */
#define PYXERA_REC_EXTRA 0x80       /* second text, 118 bytes with NUL */
#define PYXERA_REC_CMS_PORT 0xF6    /* 16 bits */
#define PYXERA_REC_HTTPS_PORT 0x10A /* 16 bits */

/* Result codes. */
#define PYXERA_OK 0
#define PYXERA_ERR_ARG (-1)    /* NULL handle or pointer, bad parameter block */
#define PYXERA_ERR_STATE (-2)  /* call not allowed in the instance's current state */
#define PYXERA_ERR_NOMEM (-3)  /* out of memory */
#define PYXERA_ERR_SOCKET (-4) /* the socket could not be set up */
#define PYXERA_ERR_THREAD (-5) /* the worker thread could not be started */
#define PYXERA_ERR_RANGE (-6)  /* end below start, or more than 2^24 addresses */

/* Largest number of addresses one range discovery accepts. */
#define PYXERA_MAX_RANGE_ADDRESSES 16777216u

/* Opens an instance and writes its handle to *handle (set to NULL first). */
PYXERA_API int Pyxera_Create(PyxeraHandle* handle, const void* params);

/* Sets the answer function and its context. Refused while started. */
PYXERA_API int Pyxera_SetCallback(PyxeraHandle handle, void* context, PyxeraCallback callback);

/* Opens the socket and starts the worker thread. Needs a callback. */
PYXERA_API int Pyxera_Start(PyxeraHandle handle);

/* Broadcasts a probe on every IPv4 interface that can broadcast and on 127.255.255.255. A new
 * request replaces the one running. */
PYXERA_API int Pyxera_Discovery(PyxeraHandle handle);

/* Probes range[0]..range[1] (first octet most significant) by unicast at a bounded rate. */
PYXERA_API int Pyxera_DiscoveryByRangeIP(PyxeraHandle handle, const uint32_t* range);

/* Ends the discovery and stops the worker; no callback runs after it returns. Stopping an
 * instance that is not started succeeds. */
PYXERA_API int Pyxera_Stop(PyxeraHandle handle);

/* Stops if needed, frees the instance and sets *handle to NULL. *handle == NULL is a no-op. */
PYXERA_API int Pyxera_Close(PyxeraHandle* handle);

#ifdef __cplusplus
}
#endif

#endif /* PYXERA_H */
