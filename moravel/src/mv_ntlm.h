/* NTLM messages (MS-NLMP): the negotiate message, the challenge decoder and the NTLMv2
 * authenticate message, on OpenSSL's MD4 and HMAC-MD5. Free of I/O. */
#ifndef MV_NTLM_H
#define MV_NTLM_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define MV_NTLM_HIDDEN __attribute__((visibility("hidden")))

#define MV_NTLM_NEGOTIATE_LEN 40u

typedef struct MvNtlmChallenge
{
    uint32_t flags;
    uint8_t serverChallenge[8];
    const uint8_t* targetInfo; /* points into the message */
    uint16_t targetInfoLen;
    int haveTimestamp;
    uint64_t timestamp; /* MsvAvTimestamp, FILETIME */
} MvNtlmChallenge;

/* What an exported NTLM context holds (MoravelHttpResponse::context). */
typedef struct MvNtlmSession
{
    uint32_t flags;
    uint8_t sessionKey[16];
} MvNtlmSession;

/* The 40-byte negotiate message with its version field (MS-NLMP §2.2.1.1). */
MV_NTLM_HIDDEN void mv_ntlm_negotiate(uint8_t out[MV_NTLM_NEGOTIATE_LEN]);
/* Decodes a challenge message (§2.2.1.2); 0, or -1 when malformed. */
MV_NTLM_HIDDEN int mv_ntlm_parse_challenge(const uint8_t* msg, size_t len, MvNtlmChallenge* out);
/* NTOWFv2 (§3.3.2) of a UTF-8 user, domain and password; 0 or -1. */
MV_NTLM_HIDDEN int mv_ntlm_ntowfv2(const char* user, const char* domain, const char* password,
                                   uint8_t out[16]);
/* NTLMv2 responses (§3.3.2): @p nt receives NTProofStr followed by the temp blob (room for
 * 16 + 28 + targetInfoLen + 4 bytes), @p lm the LMv2 response, @p sessionBaseKey the key. */
MV_NTLM_HIDDEN int mv_ntlm_v2_responses(const uint8_t ntowf[16], const uint8_t serverChallenge[8],
                                        const uint8_t clientChallenge[8], uint64_t time,
                                        const uint8_t* targetInfo, size_t targetInfoLen,
                                        uint8_t* nt, size_t* ntLen, uint8_t lm[24],
                                        uint8_t sessionBaseKey[16]);
/* The authenticate message (§2.2.1.3) answering @p challenge; 0 or -1. */
MV_NTLM_HIDDEN int mv_ntlm_authenticate(const char* user, const char* domain, const char* password,
                                        const MvNtlmChallenge* challenge,
                                        const uint8_t clientChallenge[8], uint64_t now,
                                        uint8_t* out, size_t cap, size_t* outLen,
                                        MvNtlmSession* session);

#ifdef __cplusplus
}
#endif

#endif
