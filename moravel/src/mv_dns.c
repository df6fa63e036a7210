/* DNS messages (RFC 1035 §4.1). Every read goes through the bounds-checked reader below. */
#include "mv_dns.h"

#include <stdio.h>
#include <string.h>

typedef struct Reader
{
    const uint8_t* msg;
    size_t len;
    size_t pos;
} Reader;

static int readU16(Reader* r, uint16_t* v)
{
    if (r->len - r->pos < 2 || r->pos > r->len) {
        return 0;
    }
    *v = (uint16_t)((r->msg[r->pos] << 8) | r->msg[r->pos + 1]);
    r->pos += 2;
    return 1;
}

static int skip(Reader* r, size_t n)
{
    if (r->pos > r->len || r->len - r->pos < n) {
        return 0;
    }
    r->pos += n;
    return 1;
}

/* Steps over a (possibly compressed) name at the reader's position and checks the whole name:
 * labels within the message, at most 255 bytes, and compression pointers (RFC 1035 §4.1.4) that
 * point strictly backwards, which rules out pointer loops. */
static int skipName(Reader* r)
{
    size_t p = r->pos;
    size_t end = 0; /* where the name ends in the record stream */
    size_t total = 0;
    int jumped = 0;
    for (int hops = 0; hops < 128; ++hops) {
        if (p >= r->len) {
            return 0;
        }
        uint8_t b = r->msg[p];
        if (b == 0) {
            if (!jumped) {
                end = p + 1;
            }
            r->pos = end;
            return total + 1 <= 255;
        }
        if ((b & 0xC0) == 0xC0) {
            if (p + 1 >= r->len) {
                return 0;
            }
            size_t target = ((size_t)(b & 0x3F) << 8) | r->msg[p + 1];
            if (target >= p) {
                return 0;
            }
            if (!jumped) {
                end = p + 2;
                jumped = 1;
            }
            p = target;
            continue;
        }
        if (b & 0xC0) {
            return 0; /* extended label types are not used in answers we accept */
        }
        total += (size_t)b + 1;
        if (total > 255 || r->len - p - 1 < b) {
            return 0;
        }
        p += (size_t)b + 1;
    }
    return 0;
}

size_t mv_dns_build_query(uint16_t id, const char* host, const char* domain, uint16_t qtype,
                          uint8_t* out, size_t cap)
{
    char name[300];
    if (!host || !*host || !out || cap < 12) {
        return 0;
    }
    size_t hlen = strnlen(host, sizeof(name));
    if (hlen >= 254) {
        return 0;
    }
    if (!strchr(host, '.') && domain && *domain) {
        int n = snprintf(name, sizeof(name), "%s.%s", host, domain);
        if (n < 0 || (size_t)n >= 254) {
            return 0;
        }
    } else {
        memcpy(name, host, hlen + 1);
    }
    size_t pos = 0;
    const uint8_t header[12] = {
        (uint8_t)(id >> 8), (uint8_t)id, 0x01, 0x00, 0, 1, 0, 0, 0, 0, 0, 0};
    memcpy(out, header, sizeof(header));
    pos = sizeof(header);
    const char* label = name;
    size_t nameLen = strlen(name);
    if (nameLen > 0 && name[nameLen - 1] == '.') {
        name[--nameLen] = '\0'; /* a fully qualified name: the root label follows anyway */
    }
    if (nameLen == 0) {
        return 0;
    }
    while (*label) {
        const char* dot = strchr(label, '.');
        size_t l = dot ? (size_t)(dot - label) : strlen(label);
        if (l == 0 || l > 63 || pos + 1 + l + 1 + 4 > cap) {
            return 0;
        }
        out[pos++] = (uint8_t)l;
        memcpy(out + pos, label, l);
        pos += l;
        label += l;
        if (*label == '.') {
            ++label;
            if (!*label) {
                return 0;
            }
        }
    }
    out[pos++] = 0;
    out[pos++] = (uint8_t)(qtype >> 8);
    out[pos++] = (uint8_t)qtype;
    out[pos++] = 0;
    out[pos++] = 1;
    return pos;
}

int32_t mv_dns_parse_answer(const uint8_t* msg, size_t len, uint16_t id, uint16_t qtype,
                            MoravelResolveResult* result)
{
    const int32_t bad = MORAVEL_E_IDLE_TIMEOUT;
    if (!msg || len < 15) {
        return bad;
    }
    Reader r = {msg, len, 0};
    uint16_t hid, flags, qd, an, ns, ar;
    if (!readU16(&r, &hid) || !readU16(&r, &flags) || !readU16(&r, &qd) || !readU16(&r, &an) ||
        !readU16(&r, &ns) || !readU16(&r, &ar)) {
        return bad;
    }
    if (hid != id || !(flags & 0x8000) || qd != 1) {
        return bad;
    }
    uint16_t rcode = flags & 0x000F;
    if (rcode == 1) {
        return MORAVEL_E_DNS_FORMAT;
    }
    if (rcode != 0 || an == 0) {
        return bad;
    }
    uint16_t qt, qc;
    if (!skipName(&r) || !readU16(&r, &qt) || !readU16(&r, &qc)) {
        return bad;
    }
    if ((qt != MV_DNS_TYPE_A && qt != MV_DNS_TYPE_AAAA) || qt != qtype) {
        return bad;
    }
    for (uint16_t i = 0; i < an; ++i) {
        uint16_t type, cls, ttlHi, ttlLo, rdlen;
        if (!skipName(&r) || !readU16(&r, &type) || !readU16(&r, &cls) || !readU16(&r, &ttlHi) ||
            !readU16(&r, &ttlLo) || !readU16(&r, &rdlen)) {
            return bad;
        }
        const uint8_t* rd = msg + r.pos;
        if (!skip(&r, rdlen)) {
            return bad;
        }
        if (type == MV_DNS_TYPE_CNAME || type != qtype || cls != 1) {
            continue; /* CNAME records only lead to the record that follows */
        }
        if (type == MV_DNS_TYPE_A && rdlen == 4) {
            memcpy(&result->ipv4, rd, 4);
            snprintf(result->ipv4Text, sizeof(result->ipv4Text), "%u.%u.%u.%u", rd[0], rd[1], rd[2],
                     rd[3]);
            return MORAVEL_OK;
        }
        if (type == MV_DNS_TYPE_AAAA && rdlen == 16) {
            char* o = result->ipv6Text;
            for (int g = 0; g < 8; ++g) {
                snprintf(o + g * 5, 6, g < 7 ? "%02x%02x:" : "%02x%02x", rd[2 * g], rd[2 * g + 1]);
            }
            return MORAVEL_OK;
        }
        return bad; /* a record of the asked type with the wrong length */
    }
    return bad;
}
