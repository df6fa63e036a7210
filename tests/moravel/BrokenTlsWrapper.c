/* A TLS wrapper that lacks one of the thirteen functions (OPSSLWP_SSL_CTX_set_verify): an
 * agent must refuse it as a whole and work without TLS. */
#define API __attribute__((visibility("default")))

API void OPSSLWP_SSL_free(void* s)
{
    (void)s;
}
API int OPSSLWP_SSL_connect(void* s)
{
    (void)s;
    return -1;
}
API int OPSSLWP_SSL_read(void* s, void* b, int n)
{
    (void)s;
    (void)b;
    (void)n;
    return -1;
}
API int OPSSLWP_SSL_write(void* s, const void* b, int n)
{
    (void)s;
    (void)b;
    (void)n;
    return -1;
}
API int OPSSLWP_SSL_get_error(const void* s, int r)
{
    (void)s;
    (void)r;
    return 1;
}
API int OPSSLWP_SSL_set_fd(void* s, int fd)
{
    (void)s;
    (void)fd;
    return 0;
}
API void* OPSSLWP_SSL_new(void* c)
{
    (void)c;
    return 0;
}
API void* OPSSLWP_SSL_CTX_new(const void* m)
{
    (void)m;
    return (void*)1;
}
API int OPSSLWP_SSL_library_init(void)
{
    return 1;
}
API const void* OPSSLWP_SSLv23_client_method(void)
{
    return (const void*)1;
}
API void OPSSLWP_SSL_CTX_free(void* c)
{
    (void)c;
}
API int OPSSLWP_SSL_CTX_load_verify_locations(void* c, const char* f, const char* p)
{
    (void)c;
    (void)f;
    (void)p;
    return 1;
}
