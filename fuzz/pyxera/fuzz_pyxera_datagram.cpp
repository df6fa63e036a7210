// Fuzzes the discovery datagram parsing: whatever arrives at the searcher's or a device's socket
// must either be refused or decode to fields that encode back to the same datagram meaning, and
// an accepted answer must lay out a record whose texts end inside their slots.
#include "pyxera.h"
#include "pyxera_wire.h"

#include <cstdlib>
#include <cstring>

extern "C" void pyx_record_from_answer(const pxw_answer* answer, unsigned char* record);

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkSlot(const unsigned char* record, int offset, int end)
{
    require(std::memchr(record + offset, 0, size_t(end - offset)) != nullptr);
}

// Field by field: the structs' padding bytes carry no meaning.
bool sameAnswer(const pxw_answer& a, const pxw_answer& b)
{
    return a.probe_id == b.probe_id && std::strcmp(a.info, b.info) == 0 &&
           std::memcmp(a.mac, b.mac, sizeof a.mac) == 0 && std::strcmp(a.ipv4, b.ipv4) == 0 &&
           std::strcmp(a.model, b.model) == 0 && a.http_port == b.http_port &&
           a.number == b.number && std::strcmp(a.extra, b.extra) == 0 && a.cms_port == b.cms_port &&
           a.https_port == b.https_port;
}

void answer(const uint8_t* data, size_t size)
{
    pxw_answer a;
    if (pxw_decode_answer(data, size, &a) != PXW_OK)
        return;
    require(pxw_datagram_type(data, size) == PXW_TYPE_ANSWER);
    uint8_t again[PXW_ANSWER_MAX_SIZE];
    size_t n = 0;
    require(pxw_encode_answer(&a, again, sizeof again, &n) == PXW_OK);
    pxw_answer b;
    require(pxw_decode_answer(again, n, &b) == PXW_OK);
    require(sameAnswer(a, b));

    unsigned char record[PYXERA_RECORD_SIZE];
    pyx_record_from_answer(&a, record);
    checkSlot(record, PYXERA_REC_INFO, PYXERA_REC_MAC);
    checkSlot(record, PYXERA_REC_IP, PYXERA_REC_MODEL);
    checkSlot(record, PYXERA_REC_MODEL, PYXERA_REC_HTTP_PORT);
    checkSlot(record, PYXERA_REC_EXTRA, PYXERA_REC_CMS_PORT);
}

void probe(const uint8_t* data, size_t size)
{
    pxw_probe p;
    if (pxw_decode_probe(data, size, &p) != PXW_OK)
        return;
    require(p.spread_ms <= PXW_MAX_SPREAD_MS);
    require(pxw_answer_delay_ms(&p, 0xFFFFFFFFu) <= p.spread_ms);
    uint8_t again[PXW_PROBE_SIZE];
    size_t n = 0;
    require(pxw_encode_probe(&p, again, sizeof again, &n) == PXW_OK);
    pxw_probe q;
    require(pxw_decode_probe(again, n, &q) == PXW_OK);
    require(p.probe_id == q.probe_id && p.flags == q.flags && p.spread_ms == q.spread_ms);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    answer(data, size);
    probe(data, size);
    return 0;
}
