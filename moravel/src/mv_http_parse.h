/* Parsing of HTTP response headers and authentication challenges, and Base64: free of I/O so
 * that the fuzzers can drive them directly. Every input is a NUL-terminated text. */
#ifndef MV_HTTP_PARSE_H
#define MV_HTTP_PARSE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define MV_HIDDEN_P __attribute__((visibility("hidden")))

/* What a Digest challenge gave (limits of the operation's 200-byte block). */
typedef struct MvDigest
{
    char realm[51];
    char nonce[101];
    char qop[11]; /* "" when the server gave none */
    char cnonce[33];
    char opaque[101];
} MvDigest;

enum
{
    MV_PKG_NONE = 0,
    MV_PKG_NTLM = 1,
    MV_PKG_NEGOTIATE = 2
};

/* Case-insensitive search of @p needle in @p hay; NULL when absent. */
MV_HIDDEN_P const char* mv_ci_find(const char* hay, const char* needle);

/* The status code after "HTTP/1." (three characters nine places after it), or -1 when there is
 * no "HTTP/1." or the status is cut short; non-digit statuses answer 0. */
MV_HIDDEN_P int mv_http_status(const char* header);

/* The Content-Length value when the header has one ending in CRLF within 20 characters, else
 * -1. */
MV_HIDDEN_P int32_t mv_http_content_length(const char* header);

/* Parses the Digest challenge following @p prefix ("WWW-Authenticate: Digest" or the proxy's).
 * Answers 0, or -1 when absent, cut short, too long, without realm or nonce, with an algorithm
 * other than MD5, or with a qop list that does not offer "auth". */
MV_HIDDEN_P int mv_http_parse_digest(const char* header, const char* prefix, MvDigest* out);

/* Finds an NTLM or Negotiate challenge (server: Negotiate first; proxy: NTLM first). Answers the
 * package (MV_PKG_) and copies its token (maybe empty) into @p token; MV_PKG_NONE when absent
 * or the token does not fit in @p cap - 1 characters. */
MV_HIDDEN_P int mv_http_find_sspi(const char* header, int proxy, char* token, size_t cap);

/* Standard Base64 with "=" padding; @p out needs 4 * ((len + 2) / 3) + 1 bytes. Answers the
 * characters written (NUL-terminated). */
MV_HIDDEN_P size_t mv_b64_encode(const uint8_t* in, size_t len, char* out);
/* Strict decoding of whole groups of four (padding only at the end). Answers the bytes written,
 * or -1 for an invalid text or one that does not fit in @p cap. */
MV_HIDDEN_P long mv_b64_decode(const char* in, size_t len, uint8_t* out, size_t cap);
/* Value of one Base64 character, -1 for anything else ("=" included). */
MV_HIDDEN_P int mv_b64_value(unsigned char c);

#ifdef __cplusplus
}
#endif

#endif
