/* NTLM through our own message code, Negotiate through MIT krb5's GSSAPI with SPNEGO. */
#include "mv_sspi.h"

#include "moravel.h"
#include "mv_http_parse.h"
#include "mv_ntlm.h"

#include <gssapi/gssapi.h>
#include <gssapi/gssapi_ext.h>
#include <openssl/rand.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

struct MvSspi
{
    int pkg;
    char user[129];
    char domain[129];
    char password[65];
    char host[129];
    /* NTLM */
    int legs;
    MvNtlmSession session;
    /* Negotiate */
    gss_cred_id_t cred;
    gss_ctx_id_t ctx;
    gss_name_t target;
    int complete;
};

/* "DOMAIN\user", else "user@domain", else the user alone. */
static int splitIdentity(MvSspi* s, const char* identity)
{
    const char* bs = strchr(identity, '\\');
    const char* at = strchr(identity, '@');
    if (bs) {
        if ((size_t)(bs - identity) > 128) {
            return -1;
        }
        snprintf(s->domain, sizeof(s->domain), "%.*s", (int)(bs - identity), identity);
        snprintf(s->user, sizeof(s->user), "%s", bs + 1);
    } else if (at) {
        snprintf(s->user, sizeof(s->user), "%.*s", (int)(at - identity), identity);
        snprintf(s->domain, sizeof(s->domain), "%s", at + 1);
    } else {
        if (strlen(identity) > 64) {
            return -1;
        }
        snprintf(s->user, sizeof(s->user), "%s", identity);
    }
    return 0;
}

static const gss_OID_desc kSpnego = {6, (void*)"\x2b\x06\x01\x05\x05\x02"};

static int gssSetUp(MvSspi* s, const char* identity)
{
    OM_uint32 minor = 0;
    /* MIT's GSSAPI needs a target: the HTTP service of the host the request names. */
    char service[160];
    snprintf(service, sizeof(service), "HTTP@%s", s->host);
    gss_buffer_desc name = {strlen(service), service};
    if (GSS_ERROR(gss_import_name(&minor, &name, GSS_C_NT_HOSTBASED_SERVICE, &s->target))) {
        return -1;
    }
    s->cred = GSS_C_NO_CREDENTIAL;
    if (identity[0] && s->password[0]) {
        gss_name_t user = GSS_C_NO_NAME;
        gss_buffer_desc ub = {strlen(identity), (void*)identity};
        if (GSS_ERROR(gss_import_name(&minor, &ub, GSS_C_NT_USER_NAME, &user))) {
            return -1;
        }
        gss_buffer_desc pw = {strlen(s->password), s->password};
        OM_uint32 major =
            gss_acquire_cred_with_password(&minor, user, &pw, GSS_C_INDEFINITE, GSS_C_NO_OID_SET,
                                           GSS_C_INITIATE, &s->cred, NULL, NULL);
        gss_release_name(&minor, &user);
        if (GSS_ERROR(major)) {
            return -1;
        }
    }
    s->ctx = GSS_C_NO_CONTEXT;
    return 0;
}

MvSspi* mv_sspi_create(int pkg, const char* user, const char* password, const char* host)
{
    MvSspi* s = calloc(1, sizeof(MvSspi));
    if (!s) {
        return NULL;
    }
    s->pkg = pkg;
    s->target = GSS_C_NO_NAME;
    s->cred = GSS_C_NO_CREDENTIAL;
    s->ctx = GSS_C_NO_CONTEXT;
    snprintf(s->password, sizeof(s->password), "%s", password);
    snprintf(s->host, sizeof(s->host), "%s", host);
    if (splitIdentity(s, user) != 0 || (pkg == MV_PKG_NEGOTIATE && gssSetUp(s, user) != 0) ||
        (pkg != MV_PKG_NEGOTIATE && pkg != MV_PKG_NTLM)) {
        mv_sspi_free(s);
        return NULL;
    }
    return s;
}

static uint64_t fileTimeNow(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return ((uint64_t)ts.tv_sec + 11644473600ull) * 10000000ull + (uint64_t)ts.tv_nsec / 100;
}

static int ntlmStep(MvSspi* s, const uint8_t* in, size_t inLen, uint8_t* out, size_t cap,
                    size_t* outLen, int* done)
{
    if (s->legs == 0 && inLen == 0) {
        if (cap < MV_NTLM_NEGOTIATE_LEN) {
            return -1;
        }
        mv_ntlm_negotiate(out);
        *outLen = MV_NTLM_NEGOTIATE_LEN;
        s->legs = 1;
        return 0;
    }
    if (s->legs != 1 || inLen == 0) {
        return -1;
    }
    MvNtlmChallenge ch;
    uint8_t clientChallenge[8];
    if (mv_ntlm_parse_challenge(in, inLen, &ch) != 0 || RAND_bytes(clientChallenge, 8) != 1 ||
        mv_ntlm_authenticate(s->user, s->domain, s->password, &ch, clientChallenge, fileTimeNow(),
                             out, cap, outLen, &s->session) != 0) {
        return -1;
    }
    s->legs = 2;
    *done = 1;
    return 0;
}

static int gssStep(MvSspi* s, const uint8_t* in, size_t inLen, uint8_t* out, size_t cap,
                   size_t* outLen, int* done)
{
    OM_uint32 minor = 0;
    gss_buffer_desc input = {inLen, (void*)in};
    gss_buffer_desc output = GSS_C_EMPTY_BUFFER;
    OM_uint32 major = gss_init_sec_context(
        &minor, s->cred, &s->ctx, s->target, (gss_OID)&kSpnego, GSS_C_CONF_FLAG, 0,
        GSS_C_NO_CHANNEL_BINDINGS, inLen ? &input : GSS_C_NO_BUFFER, NULL, &output, NULL, NULL);
    int rc = -1;
    if (!GSS_ERROR(major) && output.length <= cap) {
        memcpy(out, output.value, output.length);
        *outLen = output.length;
        s->complete = major == GSS_S_COMPLETE;
        *done = s->complete;
        rc = 0;
    }
    gss_release_buffer(&minor, &output);
    return rc;
}

int mv_sspi_step(MvSspi* s, const uint8_t* in, size_t inLen, uint8_t* out, size_t cap,
                 size_t* outLen, int* done)
{
    *outLen = 0;
    *done = 0;
    return s->pkg == MV_PKG_NTLM ? ntlmStep(s, in, inLen, out, cap, outLen, done)
                                 : gssStep(s, in, inLen, out, cap, outLen, done);
}

int mv_sspi_export(MvSspi* s, void** ctx, uint32_t* size, uint32_t* type, uint32_t* trailer)
{
    if (s->pkg == MV_PKG_NTLM) {
        MvNtlmSession* copy = malloc(sizeof(MvNtlmSession));
        if (!copy) {
            return -1;
        }
        *copy = s->session;
        *ctx = copy;
        *size = sizeof(*copy);
        *type = MORAVEL_CONTEXT_NTLM;
        *trailer = 16; /* an NTLM signature */
        return 0;
    }
    OM_uint32 minor = 0;
    gss_buffer_desc token = GSS_C_EMPTY_BUFFER;
    if (GSS_ERROR(gss_export_sec_context(&minor, &s->ctx, &token))) {
        return -1;
    }
    void* copy = malloc(token.length ? token.length : 1);
    if (!copy) {
        gss_release_buffer(&minor, &token);
        return -1;
    }
    memcpy(copy, token.value, token.length);
    *ctx = copy;
    *size = (uint32_t)token.length;
    *type = MORAVEL_CONTEXT_GSSAPI;
    *trailer = 0;
    gss_release_buffer(&minor, &token);
    return 0;
}

void mv_sspi_free(MvSspi* s)
{
    if (!s) {
        return;
    }
    OM_uint32 minor = 0;
    if (s->ctx != GSS_C_NO_CONTEXT) {
        gss_delete_sec_context(&minor, &s->ctx, GSS_C_NO_BUFFER);
    }
    if (s->cred != GSS_C_NO_CREDENTIAL) {
        gss_release_cred(&minor, &s->cred);
    }
    if (s->target != GSS_C_NO_NAME) {
        gss_release_name(&minor, &s->target);
    }
    memset(s->password, 0, sizeof(s->password));
    free(s);
}

int32_t MORAVEL_CALL SMO_HttpReq_FreeContext(void* context)
{
    free(context);
    return MORAVEL_OK;
}
