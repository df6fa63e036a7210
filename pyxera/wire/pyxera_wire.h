/*
 * Discovery wire protocol: the datagrams exchanged between libpyxera (the searcher) and a device
 * (the responder). Plain C, no allocation, no I/O: both the library and the device simulator link
 * this one module so that the two ends cannot drift apart. The protocol itself is described in
 * docs/discovery-protocol.md; section numbers below refer to that document.
 *
 * How a responder uses this module
 * --------------------------------
 * 1. Bind a UDP socket to the discovery port (PXW_DEFAULT_PORT unless configured otherwise) on
 *    INADDR_ANY, so that broadcasts (including loopback's 127.255.255.255) and unicasts to the
 *    device's own address both arrive.
 * 2. For every datagram received: pxw_decode_probe(). A non-zero result means the datagram is not
 *    a probe this version understands: ignore it silently (never answer garbage).
 * 3. A range probe is sent by unicast to one address. If the probe's destination address is known
 *    (IP_PKTINFO) and is not the device's own address or a broadcast address, do not answer.
 * 4. Fill a pxw_answer: copy probe.probe_id into answer.probe_id, fill the device fields (texts
 *    NUL-terminated within their arrays), then pxw_encode_answer() into a buffer of
 *    PXW_ANSWER_MAX_SIZE bytes.
 * 5. Wait pxw_answer_delay_ms(&probe, random_number) milliseconds, then send the answer to the
 *    probe's source address and port, preferably from a socket bound to the device's own address
 *    so that the searcher sees the device's address as the source. The delay spreads the answers
 *    of many devices over the window the searcher asked for, so that its socket buffer is not
 *    flooded by a thousand answers in the same millisecond (section 5).
 */
#ifndef PYXERA_WIRE_H
#define PYXERA_WIRE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Section 2: ports, magic and version. */
#define PXW_DEFAULT_PORT 5678
#define PXW_MAGIC0 'P'
#define PXW_MAGIC1 'Y'
#define PXW_MAGIC2 'X'
#define PXW_MAGIC3 'R'
#define PXW_VERSION 1

/* Section 3: datagram types. */
#define PXW_TYPE_PROBE 1
#define PXW_TYPE_ANSWER 2

#define PXW_HEADER_SIZE 12
#define PXW_PROBE_SIZE 16
/* No answer this version encodes is longer; receivers read into buffers at least this large. */
#define PXW_ANSWER_MAX_SIZE 512

/* Section 3.2: probe flags. */
#define PXW_PROBE_FLAG_RANGE 0x0001 /* unicast probe of one address of a range */

/* Longest answer spread window a probe may ask for, in milliseconds. */
#define PXW_MAX_SPREAD_MS 10000

/* Section 4: answer field tags. */
#define PXW_TAG_INFO 1
#define PXW_TAG_MAC 2
#define PXW_TAG_IPV4 3
#define PXW_TAG_MODEL 4
#define PXW_TAG_HTTP_PORT 5
#define PXW_TAG_NUMBER 6
#define PXW_TAG_EXTRA 7
#define PXW_TAG_CMS_PORT 8
#define PXW_TAG_HTTPS_PORT 9

/* Text capacities including the terminating NUL (the longest text is one byte less). */
#define PXW_INFO_CAP 44
#define PXW_IPV4_CAP 20
#define PXW_MODEL_CAP 44
#define PXW_EXTRA_CAP 118

/* Result codes of every function below. */
#define PXW_OK 0
#define PXW_ERR_ARG (-1)     /* a NULL pointer or a field that cannot be encoded */
#define PXW_ERR_SHORT (-2)   /* the datagram ends inside a field (truncated) */
#define PXW_ERR_MAGIC (-3)   /* not one of our datagrams */
#define PXW_ERR_VERSION (-4) /* a protocol version this module does not speak */
#define PXW_ERR_TYPE (-5)    /* a datagram of the other kind */
#define PXW_ERR_FIELD (-6)   /* a field with a bad length, bad content, or repeated */
#define PXW_ERR_MISSING (-7) /* a required answer field is absent */
#define PXW_ERR_SPACE (-8)   /* the output buffer is too small */

typedef struct pxw_probe
{
    uint32_t probe_id;  /* chosen by the searcher; echoed in every answer */
    uint16_t flags;     /* PXW_PROBE_FLAG_* */
    uint16_t spread_ms; /* answer within [0, spread_ms] ms, chosen at random */
} pxw_probe;

typedef struct pxw_answer
{
    uint32_t probe_id;       /* the probe this answers */
    char info[PXW_INFO_CAP]; /* identification: model, brand and firmware joined by "-" */
    uint8_t mac[6];
    char ipv4[PXW_IPV4_CAP];   /* the device's address as dotted text */
    char model[PXW_MODEL_CAP]; /* model name */
    uint16_t http_port;
    uint32_t number;           /* free 32-bit number, carried as is */
    char extra[PXW_EXTRA_CAP]; /* free second text, carried as is */
    uint16_t cms_port;
    uint16_t https_port;
} pxw_answer;

/* Bounds-checked reader over one datagram: every read validates the remaining length, and the
 * first failure sticks (later reads fail too), so a parser can check once at the end. */
typedef struct pxw_reader
{
    const uint8_t* data;
    size_t len;
    size_t pos;
    int err;
} pxw_reader;

void pxw_reader_init(pxw_reader* r, const void* data, size_t len);
int pxw_read_u8(pxw_reader* r, uint8_t* out);
int pxw_read_u16le(pxw_reader* r, uint16_t* out);
int pxw_read_u32le(pxw_reader* r, uint32_t* out);
/* Returns a pointer to the next n bytes and advances, or NULL if fewer remain. */
const uint8_t* pxw_read_bytes(pxw_reader* r, size_t n);
size_t pxw_reader_remaining(const pxw_reader* r);

/* Encoders write at most cap bytes and store the length used in *out_len. */
int pxw_encode_probe(const pxw_probe* probe, void* buf, size_t cap, size_t* out_len);
int pxw_encode_answer(const pxw_answer* answer, void* buf, size_t cap, size_t* out_len);

/* Decoders fill *out only on success (PXW_OK); on failure *out is zeroed. */
int pxw_decode_probe(const void* buf, size_t len, pxw_probe* out);
int pxw_decode_answer(const void* buf, size_t len, pxw_answer* out);

/* The type byte of a datagram with our magic and version, or a negative PXW_ERR_* code. */
int pxw_datagram_type(const void* buf, size_t len);

/* How long a responder waits before answering: random_value reduced to [0, spread_ms]. */
uint32_t pxw_answer_delay_ms(const pxw_probe* probe, uint32_t random_value);

/* A short English name of a PXW_* result code, for diagnostics. */
const char* pxw_strerror(int code);

#ifdef __cplusplus
}
#endif

#endif /* PYXERA_WIRE_H */
