#include "CTlsContext.h"

#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

namespace devsim {

CTlsContext::~CTlsContext()
{
    if (m_ctx)
        SSL_CTX_free(m_ctx);
}

bool CTlsContext::init(std::string* error)
{
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* cert = X509_new();
    bool ok = key && cert;
    if (ok) {
        X509_set_version(cert, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
        X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
        X509_gmtime_adj(X509_getm_notAfter(cert), 10L * 365 * 24 * 3600);
        X509_set_pubkey(cert, key);
        X509_NAME* name = X509_get_subject_name(cert);
        X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>("QXOR"), -1, -1, 0);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>("ardmere-devicesim"), -1,
                                   -1, 0);
        X509_set_issuer_name(cert, name);
        ok = X509_sign(cert, key, EVP_sha256()) > 0;
    }
    if (ok) {
        m_ctx = SSL_CTX_new(TLS_server_method());
        ok = m_ctx && SSL_CTX_use_certificate(m_ctx, cert) == 1 &&
             SSL_CTX_use_PrivateKey(m_ctx, key) == 1;
    }
    if (ok)
        SSL_CTX_set_options(m_ctx, SSL_OP_NO_SSLv3);
    if (!ok && error)
        *error = "cannot create the TLS certificate";
    X509_free(cert);
    EVP_PKEY_free(key);
    return ok;
}

} // namespace devsim
