/* libOpenSSLWrapper.so: the thirteen functions Moravel resolves by name at agent start-up, each
 * forwarding to the OpenSSL 3 function of the same name without the prefix. Moravel itself never
 * links libssl, so a machine without this library still runs it, without TLS. */
#include <openssl/ssl.h>

#define WRAPPER_API __attribute__((visibility("default")))

WRAPPER_API void OPSSLWP_SSL_free(SSL* ssl)
{
    SSL_free(ssl);
}

WRAPPER_API int OPSSLWP_SSL_connect(SSL* ssl)
{
    return SSL_connect(ssl);
}

WRAPPER_API int OPSSLWP_SSL_read(SSL* ssl, void* buf, int num)
{
    return SSL_read(ssl, buf, num);
}

WRAPPER_API int OPSSLWP_SSL_write(SSL* ssl, const void* buf, int num)
{
    return SSL_write(ssl, buf, num);
}

WRAPPER_API int OPSSLWP_SSL_get_error(const SSL* ssl, int ret)
{
    return SSL_get_error(ssl, ret);
}

WRAPPER_API int OPSSLWP_SSL_set_fd(SSL* ssl, int fd)
{
    return SSL_set_fd(ssl, fd);
}

WRAPPER_API SSL* OPSSLWP_SSL_new(SSL_CTX* ctx)
{
    return SSL_new(ctx);
}

WRAPPER_API SSL_CTX* OPSSLWP_SSL_CTX_new(const SSL_METHOD* method)
{
    return SSL_CTX_new(method);
}

/* SSL_library_init is OPENSSL_init_ssl in OpenSSL 3. */
WRAPPER_API int OPSSLWP_SSL_library_init(void)
{
    return OPENSSL_init_ssl(0, NULL);
}

/* SSLv23_client_method is TLS_client_method in OpenSSL 3: the highest version both ends share. */
WRAPPER_API const SSL_METHOD* OPSSLWP_SSLv23_client_method(void)
{
    return TLS_client_method();
}

WRAPPER_API void OPSSLWP_SSL_CTX_free(SSL_CTX* ctx)
{
    SSL_CTX_free(ctx);
}

WRAPPER_API int OPSSLWP_SSL_CTX_load_verify_locations(SSL_CTX* ctx, const char* file,
                                                      const char* path)
{
    return SSL_CTX_load_verify_locations(ctx, file, path);
}

WRAPPER_API void OPSSLWP_SSL_CTX_set_verify(SSL_CTX* ctx, int mode, SSL_verify_cb callback)
{
    SSL_CTX_set_verify(ctx, mode, callback);
}
