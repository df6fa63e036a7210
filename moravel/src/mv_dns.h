/* DNS message codec of the resolver: query building and answer parsing, free of any I/O so that
 * the parser can be fuzzed on its own. */
#ifndef MV_DNS_H
#define MV_DNS_H

#include "moravel.h"

#include <stddef.h>
#include <stdint.h>

#define MV_DNS_TYPE_A 1
#define MV_DNS_TYPE_CNAME 5
#define MV_DNS_TYPE_AAAA 28
#define MV_DNS_MAX_QUERY 300

#ifdef __cplusplus
extern "C" {
#endif

/* Builds a query for @p host (with @p domain appended after a "." when the host has no "." and
 * the domain is not empty). Answers the message length, or 0 when the name cannot be encoded. */
__attribute__((visibility("hidden"))) size_t mv_dns_build_query(uint16_t id, const char* host,
                                                                const char* domain, uint16_t qtype,
                                                                uint8_t* out, size_t cap);

/* Parses an answer to the query (@p id, @p qtype). On success writes the first A (IPv4 fields)
 * or AAAA (IPv6 text) record of the query's type to @p result and answers 0. A malformed or
 * unusable answer answers 0x80070042; RCODE 1 answers 0x800700a9. Never reads outside
 * @p msg[0..len). */
__attribute__((visibility("hidden"))) int32_t mv_dns_parse_answer(const uint8_t* msg, size_t len,
                                                                  uint16_t id, uint16_t qtype,
                                                                  MoravelResolveResult* result);

#ifdef __cplusplus
}
#endif

#endif
