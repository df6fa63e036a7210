#define _DEFAULT_SOURCE
#include "pyxera_internal.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <stdlib.h>

static int contains(const uint32_t* v, size_t n, uint32_t x)
{
    size_t i;
    for (i = 0; i < n; ++i) {
        if (v[i] == x)
            return 1;
    }
    return 0;
}

int pyx_broadcast_targets(int loopback_only, uint32_t** out, size_t* count)
{
    struct ifaddrs* list = NULL;
    struct ifaddrs* it;
    size_t cap = 8, n = 0;
    uint32_t* v = malloc(cap * sizeof *v);
    *out = NULL;
    *count = 0;
    if (!v)
        return PYXERA_ERR_NOMEM;
    /* Loopback has no broadcast flag, but 127.255.255.255 reaches every 127/8 listener. */
    v[n++] = htonl(0x7FFFFFFFu);
    if (!loopback_only && getifaddrs(&list) == 0) {
        for (it = list; it; it = it->ifa_next) {
            uint32_t b;
            if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET || !it->ifa_broadaddr)
                continue;
            if (!(it->ifa_flags & IFF_UP) || !(it->ifa_flags & IFF_BROADCAST))
                continue;
            b = ((const struct sockaddr_in*)(const void*)it->ifa_broadaddr)->sin_addr.s_addr;
            if (b == 0 || contains(v, n, b))
                continue;
            if (n == cap) {
                uint32_t* g = realloc(v, cap * 2 * sizeof *v);
                if (!g)
                    break; /* keep what we have: a partial list still discovers something */
                v = g;
                cap *= 2;
            }
            v[n++] = b;
        }
        freeifaddrs(list);
    }
    *out = v;
    *count = n;
    return PYXERA_OK;
}
