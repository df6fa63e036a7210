#include "pyxera_internal.h"

#include <string.h>

/* The answer's text arrays are the record's slots: the copies below rely on it. */
_Static_assert(sizeof(((pxw_answer*)0)->info) == PYXERA_REC_MAC - PYXERA_REC_INFO, "info slot");
_Static_assert(sizeof(((pxw_answer*)0)->ipv4) == PYXERA_REC_MODEL - PYXERA_REC_IP, "ip slot");
_Static_assert(sizeof(((pxw_answer*)0)->model) == PYXERA_REC_HTTP_PORT - PYXERA_REC_MODEL,
               "model slot");
_Static_assert(sizeof(((pxw_answer*)0)->extra) == PYXERA_REC_CMS_PORT - PYXERA_REC_EXTRA,
               "extra slot");
_Static_assert(PYXERA_REC_HTTPS_PORT + 2 == PYXERA_RECORD_SIZE, "record size");

static void put16(unsigned char* rec, size_t off, uint16_t v)
{
    rec[off] = (unsigned char)v;
    rec[off + 1] = (unsigned char)(v >> 8);
}

void pyx_record_from_answer(const pxw_answer* a, unsigned char* rec)
{
    /* The decoder guarantees each text is terminated within its array, and the arrays are exactly
     * the record's slots, so whole-array copies keep every text terminated within its slot. */
    memset(rec, 0, PYXERA_RECORD_SIZE);
    memcpy(rec + PYXERA_REC_INFO, a->info, sizeof a->info);
    memcpy(rec + PYXERA_REC_MAC, a->mac, sizeof a->mac);
    memcpy(rec + PYXERA_REC_IP, a->ipv4, sizeof a->ipv4);
    memcpy(rec + PYXERA_REC_MODEL, a->model, sizeof a->model);
    put16(rec, PYXERA_REC_HTTP_PORT, a->http_port);
    put16(rec, PYXERA_REC_NUMBER, (uint16_t)a->number);
    put16(rec, PYXERA_REC_NUMBER + 2, (uint16_t)(a->number >> 16));
    memcpy(rec + PYXERA_REC_EXTRA, a->extra, sizeof a->extra);
    put16(rec, PYXERA_REC_CMS_PORT, a->cms_port);
    put16(rec, PYXERA_REC_HTTPS_PORT, a->https_port);
}
