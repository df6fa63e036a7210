#include "pyxera_wire.h"

#include <string.h>

/* ---- bounds-checked reader ------------------------------------------------------------------ */

void pxw_reader_init(pxw_reader* r, const void* data, size_t len)
{
    r->data = (const uint8_t*)data;
    r->len = data ? len : 0;
    r->pos = 0;
    r->err = PXW_OK;
}

size_t pxw_reader_remaining(const pxw_reader* r)
{
    return r->err ? 0 : r->len - r->pos;
}

const uint8_t* pxw_read_bytes(pxw_reader* r, size_t n)
{
    const uint8_t* p;
    if (r->err)
        return NULL;
    if (n > r->len - r->pos) {
        r->err = PXW_ERR_SHORT;
        return NULL;
    }
    p = r->data + r->pos;
    r->pos += n;
    return p;
}

int pxw_read_u8(pxw_reader* r, uint8_t* out)
{
    const uint8_t* p = pxw_read_bytes(r, 1);
    if (!p)
        return r->err;
    *out = p[0];
    return PXW_OK;
}

int pxw_read_u16le(pxw_reader* r, uint16_t* out)
{
    const uint8_t* p = pxw_read_bytes(r, 2);
    if (!p)
        return r->err;
    *out = (uint16_t)(p[0] | (p[1] << 8));
    return PXW_OK;
}

int pxw_read_u32le(pxw_reader* r, uint32_t* out)
{
    const uint8_t* p = pxw_read_bytes(r, 4);
    if (!p)
        return r->err;
    *out = (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
    return PXW_OK;
}

/* ---- bounded writer ------------------------------------------------------------------------- */

typedef struct pxw_writer
{
    uint8_t* data;
    size_t cap;
    size_t pos;
    int err;
} pxw_writer;

static void put_bytes(pxw_writer* w, const void* src, size_t n)
{
    if (w->err)
        return;
    if (n > w->cap - w->pos) {
        w->err = PXW_ERR_SPACE;
        return;
    }
    if (n)
        memcpy(w->data + w->pos, src, n);
    w->pos += n;
}

static void put_u8(pxw_writer* w, uint8_t v)
{
    put_bytes(w, &v, 1);
}

static void put_u16le(pxw_writer* w, uint16_t v)
{
    uint8_t b[2] = {(uint8_t)v, (uint8_t)(v >> 8)};
    put_bytes(w, b, 2);
}

static void put_u32le(pxw_writer* w, uint32_t v)
{
    uint8_t b[4] = {(uint8_t)v, (uint8_t)(v >> 8), (uint8_t)(v >> 16), (uint8_t)(v >> 24)};
    put_bytes(w, b, 4);
}

/* Section 3.1: the common header. */
static void put_header(pxw_writer* w, uint8_t type, uint32_t probe_id)
{
    static const uint8_t magic[4] = {PXW_MAGIC0, PXW_MAGIC1, PXW_MAGIC2, PXW_MAGIC3};
    put_bytes(w, magic, 4);
    put_u8(w, PXW_VERSION);
    put_u8(w, type);
    put_u16le(w, 0); /* reserved: zero when sent, ignored when read */
    put_u32le(w, probe_id);
}

/* Section 3.1: magic, then version, then type; the order of the checks gives the error. */
static int read_header(pxw_reader* r, uint8_t* type, uint32_t* probe_id)
{
    const uint8_t* magic = pxw_read_bytes(r, 4);
    uint8_t version = 0;
    uint16_t reserved = 0;
    if (!magic)
        return r->err;
    if (magic[0] != PXW_MAGIC0 || magic[1] != PXW_MAGIC1 || magic[2] != PXW_MAGIC2 ||
        magic[3] != PXW_MAGIC3)
        return PXW_ERR_MAGIC;
    pxw_read_u8(r, &version);
    if (r->err)
        return r->err;
    if (version != PXW_VERSION)
        return PXW_ERR_VERSION;
    pxw_read_u8(r, type);
    pxw_read_u16le(r, &reserved);
    pxw_read_u32le(r, probe_id);
    return r->err;
}

int pxw_datagram_type(const void* buf, size_t len)
{
    pxw_reader r;
    uint8_t type = 0;
    uint32_t id = 0;
    int rc;
    pxw_reader_init(&r, buf, len);
    rc = read_header(&r, &type, &id);
    return rc ? rc : (int)type;
}

/* ---- probe (section 3.2) -------------------------------------------------------------------- */

int pxw_encode_probe(const pxw_probe* probe, void* buf, size_t cap, size_t* out_len)
{
    pxw_writer w = {(uint8_t*)buf, cap, 0, PXW_OK};
    if (out_len)
        *out_len = 0;
    if (!probe || !buf || !out_len || probe->spread_ms > PXW_MAX_SPREAD_MS)
        return PXW_ERR_ARG;
    put_header(&w, PXW_TYPE_PROBE, probe->probe_id);
    put_u16le(&w, probe->flags);
    put_u16le(&w, probe->spread_ms);
    if (w.err)
        return w.err;
    *out_len = w.pos;
    return PXW_OK;
}

int pxw_decode_probe(const void* buf, size_t len, pxw_probe* out)
{
    pxw_reader r;
    pxw_probe p;
    uint8_t type = 0;
    int rc;
    if (!out)
        return PXW_ERR_ARG;
    memset(out, 0, sizeof *out);
    memset(&p, 0, sizeof p);
    pxw_reader_init(&r, buf, len);
    rc = read_header(&r, &type, &p.probe_id);
    if (rc)
        return rc;
    if (type != PXW_TYPE_PROBE)
        return PXW_ERR_TYPE;
    pxw_read_u16le(&r, &p.flags);
    pxw_read_u16le(&r, &p.spread_ms);
    if (r.err)
        return r.err;
    /* Trailing bytes are tolerated: a later minor revision may append fields. */
    if (p.spread_ms > PXW_MAX_SPREAD_MS)
        p.spread_ms = PXW_MAX_SPREAD_MS;
    *out = p;
    return PXW_OK;
}

uint32_t pxw_answer_delay_ms(const pxw_probe* probe, uint32_t random_value)
{
    if (!probe || probe->spread_ms == 0)
        return 0;
    return random_value % ((uint32_t)probe->spread_ms + 1u);
}

/* ---- answer (section 4) --------------------------------------------------------------------- */

/* Length of a NUL-terminated text inside an array of cap bytes, or -1 if it is not terminated. */
static long text_len(const char* s, size_t cap)
{
    const char* nul = (const char*)memchr(s, '\0', cap);
    return nul ? (long)(nul - s) : -1;
}

static int put_text_field(pxw_writer* w, uint8_t tag, const char* s, size_t cap)
{
    long n = text_len(s, cap);
    if (n < 0)
        return PXW_ERR_ARG;
    put_u8(w, tag);
    put_u8(w, (uint8_t)n);
    put_bytes(w, s, (size_t)n);
    return PXW_OK;
}

int pxw_encode_answer(const pxw_answer* a, void* buf, size_t cap, size_t* out_len)
{
    pxw_writer w = {(uint8_t*)buf, cap, 0, PXW_OK};
    if (out_len)
        *out_len = 0;
    if (!a || !buf || !out_len)
        return PXW_ERR_ARG;
    put_header(&w, PXW_TYPE_ANSWER, a->probe_id);
    if (put_text_field(&w, PXW_TAG_INFO, a->info, sizeof a->info) ||
        put_text_field(&w, PXW_TAG_IPV4, a->ipv4, sizeof a->ipv4) ||
        put_text_field(&w, PXW_TAG_MODEL, a->model, sizeof a->model) ||
        put_text_field(&w, PXW_TAG_EXTRA, a->extra, sizeof a->extra))
        return PXW_ERR_ARG;
    put_u8(&w, PXW_TAG_MAC);
    put_u8(&w, 6);
    put_bytes(&w, a->mac, 6);
    put_u8(&w, PXW_TAG_HTTP_PORT);
    put_u8(&w, 2);
    put_u16le(&w, a->http_port);
    put_u8(&w, PXW_TAG_NUMBER);
    put_u8(&w, 4);
    put_u32le(&w, a->number);
    put_u8(&w, PXW_TAG_CMS_PORT);
    put_u8(&w, 2);
    put_u16le(&w, a->cms_port);
    put_u8(&w, PXW_TAG_HTTPS_PORT);
    put_u8(&w, 2);
    put_u16le(&w, a->https_port);
    if (w.err)
        return w.err;
    *out_len = w.pos;
    return PXW_OK;
}

/* Section 4.2: a text must fit its slot with its NUL and must not contain NUL or control bytes,
 * which would truncate or garble the record the program reads. */
static int take_text(const uint8_t* v, uint8_t n, char* dst, size_t cap)
{
    size_t i;
    if ((size_t)n >= cap)
        return PXW_ERR_FIELD;
    for (i = 0; i < n; ++i) {
        if (v[i] < 0x20 || v[i] == 0x7F)
            return PXW_ERR_FIELD;
    }
    memcpy(dst, v, n);
    dst[n] = '\0';
    return PXW_OK;
}

static uint16_t le16(const uint8_t* v)
{
    return (uint16_t)(v[0] | (v[1] << 8));
}

int pxw_decode_answer(const void* buf, size_t len, pxw_answer* out)
{
    pxw_reader r;
    pxw_answer a;
    uint8_t type = 0;
    unsigned seen = 0;
    const unsigned required = (1u << PXW_TAG_INFO) | (1u << PXW_TAG_MAC) | (1u << PXW_TAG_IPV4) |
                              (1u << PXW_TAG_MODEL) | (1u << PXW_TAG_HTTP_PORT) |
                              (1u << PXW_TAG_CMS_PORT) | (1u << PXW_TAG_HTTPS_PORT);
    int rc;
    if (!out)
        return PXW_ERR_ARG;
    memset(out, 0, sizeof *out);
    memset(&a, 0, sizeof a);
    pxw_reader_init(&r, buf, len);
    rc = read_header(&r, &type, &a.probe_id);
    if (rc)
        return rc;
    if (type != PXW_TYPE_ANSWER)
        return PXW_ERR_TYPE;

    while (pxw_reader_remaining(&r) > 0) {
        uint8_t tag = 0, n = 0;
        const uint8_t* v;
        pxw_read_u8(&r, &tag);
        pxw_read_u8(&r, &n);
        v = pxw_read_bytes(&r, n);
        if (!v)
            return r.err;
        if (tag == 0 || tag > PXW_TAG_HTTPS_PORT)
            continue; /* section 4.1: unknown tags are skipped for forward compatibility */
        if (seen & (1u << tag))
            return PXW_ERR_FIELD;
        seen |= 1u << tag;
        switch (tag) {
        case PXW_TAG_INFO:
            rc = take_text(v, n, a.info, sizeof a.info);
            break;
        case PXW_TAG_IPV4:
            rc = take_text(v, n, a.ipv4, sizeof a.ipv4);
            break;
        case PXW_TAG_MODEL:
            rc = take_text(v, n, a.model, sizeof a.model);
            break;
        case PXW_TAG_EXTRA:
            rc = take_text(v, n, a.extra, sizeof a.extra);
            break;
        case PXW_TAG_MAC:
            rc = n == 6 ? PXW_OK : PXW_ERR_FIELD;
            if (!rc)
                memcpy(a.mac, v, 6);
            break;
        case PXW_TAG_NUMBER:
            rc = n == 4 ? PXW_OK : PXW_ERR_FIELD;
            if (!rc)
                a.number = (uint32_t)le16(v) | ((uint32_t)le16(v + 2) << 16);
            break;
        default: /* the three ports */
            rc = n == 2 ? PXW_OK : PXW_ERR_FIELD;
            if (!rc) {
                uint16_t port = le16(v);
                if (tag == PXW_TAG_HTTP_PORT)
                    a.http_port = port;
                else if (tag == PXW_TAG_CMS_PORT)
                    a.cms_port = port;
                else
                    a.https_port = port;
            }
            break;
        }
        if (rc)
            return rc;
    }
    if ((seen & required) != required)
        return PXW_ERR_MISSING;
    *out = a;
    return PXW_OK;
}

const char* pxw_strerror(int code)
{
    switch (code) {
    case PXW_OK:
        return "ok";
    case PXW_ERR_ARG:
        return "bad argument";
    case PXW_ERR_SHORT:
        return "truncated datagram";
    case PXW_ERR_MAGIC:
        return "not a discovery datagram";
    case PXW_ERR_VERSION:
        return "unsupported protocol version";
    case PXW_ERR_TYPE:
        return "unexpected datagram type";
    case PXW_ERR_FIELD:
        return "malformed field";
    case PXW_ERR_MISSING:
        return "required field missing";
    case PXW_ERR_SPACE:
        return "buffer too small";
    default:
        return "unknown error";
    }
}
