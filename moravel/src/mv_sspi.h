/* Connection-bound authentication (NTLM and Negotiate) behind one small interface: a context is
 * made per request and stepped with each challenge token until the server is satisfied. */
#ifndef MV_SSPI_H
#define MV_SSPI_H

#include <stddef.h>
#include <stdint.h>

#define MV_SSPI_HIDDEN __attribute__((visibility("hidden")))

typedef struct MvSspi MvSspi;

/* @p pkg is MV_PKG_NTLM or MV_PKG_NEGOTIATE; @p user may be "DOMAIN\user" or "user@realm";
 * @p host names the server (Kerberos target "HTTP@host"). NULL when the package is unusable. */
MV_SSPI_HIDDEN MvSspi* mv_sspi_create(int pkg, const char* user, const char* password,
                                      const char* host);
/* One leg: @p in is the decoded challenge (empty on the first, bare one). Writes the next token
 * to @p out; *done is set when no further round is needed. Answers 0, or -1 on failure. */
MV_SSPI_HIDDEN int mv_sspi_step(MvSspi* s, const uint8_t* in, size_t inLen, uint8_t* out,
                                size_t cap, size_t* outLen, int* done);
/* Hands out the established context (caller frees it with SMO_HttpReq_FreeContext). */
MV_SSPI_HIDDEN int mv_sspi_export(MvSspi* s, void** ctx, uint32_t* size, uint32_t* type,
                                  uint32_t* trailer);
MV_SSPI_HIDDEN void mv_sspi_free(MvSspi* s);

#endif
