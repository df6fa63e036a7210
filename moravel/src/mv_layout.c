/* The public records are shared byte for byte with callers written against the 32-bit layout;
 * these checks keep the field order and offsets from drifting. */
#include "moravel.h"

#include <stddef.h>

_Static_assert(sizeof(MoravelToken) == 16, "token is 16 bytes everywhere");
_Static_assert(offsetof(MoravelToken, idleTimeout) == 4, "token idle time-out at 4");
_Static_assert(offsetof(MoravelToken, key) == 8, "token key at 8");
_Static_assert(offsetof(MoravelToken, key2) == 12, "token second key at 12");

_Static_assert(sizeof(MoravelConnParams) == 148, "connection parameters are 148 bytes");
_Static_assert(offsetof(MoravelConnParams, port) == 4, "port at 4");
_Static_assert(offsetof(MoravelConnParams, hardClose) == 8, "hard-close flag at 8");
_Static_assert(offsetof(MoravelConnParams, host) == 12, "host at 12");
_Static_assert(offsetof(MoravelConnParams, reserved) == 141, "reserved at 141");

_Static_assert(offsetof(MoravelResolveRequest, host) == 8, "resolver host at 8");
_Static_assert(sizeof(MoravelResolveRequest) >= 1036, "resolver request at least 1036 bytes");
_Static_assert(sizeof(MoravelResolveResult) == 84, "resolver result is 84 bytes");
_Static_assert(offsetof(MoravelResolveResult, ipv4Text) == 4, "IPv4 text at 4");
_Static_assert(offsetof(MoravelResolveResult, ipv6Text) == 44, "IPv6 text at 44");

_Static_assert(offsetof(MoravelHttpParams, proxyPrefix) == 148, "proxy prefix at 148");
_Static_assert(offsetof(MoravelHttpParams, tunnelKind) == 408, "tunnel kind at 408");
_Static_assert(offsetof(MoravelHttpParams, method) == 412, "method at 412");
_Static_assert(offsetof(MoravelHttpParams, tunnelMode) == 416, "tunnel mode at 416");
_Static_assert(offsetof(MoravelHttpParams, hostHeader) == 420, "Host header at 420");
_Static_assert(offsetof(MoravelHttpParams, path) == 549, "path at 549");
_Static_assert(offsetof(MoravelHttpParams, query) == 2598, "query at 2598");
_Static_assert(offsetof(MoravelHttpParams, user) == 3623, "user at 3623");
_Static_assert(offsetof(MoravelHttpParams, password) == 3688, "password at 3688");
_Static_assert(offsetof(MoravelHttpParams, proxyUser) == 3753, "proxy user at 3753");
_Static_assert(offsetof(MoravelHttpParams, proxyPassword) == 3818, "proxy password at 3818");
_Static_assert(offsetof(MoravelHttpParams, sessionCookie) == 3883, "session cookie at 3883");
_Static_assert(offsetof(MoravelHttpParams, externalBody) == 3920, "external body at 3920");

#if UINTPTR_MAX == 0xFFFFFFFFu
_Static_assert(sizeof(MoravelHttpParams) == 3932, "HTTP parameters are 3932 bytes (32-bit)");
_Static_assert(offsetof(MoravelHttpParams, responseTimeout) == 3924, "time-out at 3924");
_Static_assert(offsetof(MoravelHttpParams, flags) == 3928, "flags at 3928");
_Static_assert(sizeof(MoravelHttpResponse) == 28, "response record is 28 bytes (32-bit)");
_Static_assert(offsetof(MoravelHttpResponse, contentLength) == 4, "Content-Length at 4");
_Static_assert(offsetof(MoravelHttpResponse, header) == 8, "header at 8");
_Static_assert(offsetof(MoravelHttpResponse, contextSize) == 12, "context size at 12");
_Static_assert(offsetof(MoravelHttpResponse, contextType) == 16, "context type at 16");
_Static_assert(offsetof(MoravelHttpResponse, context) == 20, "context at 20");
_Static_assert(offsetof(MoravelHttpResponse, trailerSize) == 24, "trailer size at 24");
_Static_assert(sizeof(MoravelCallbackRecord) == 24, "callback record is 24 bytes (32-bit)");
_Static_assert(offsetof(MoravelCallbackRecord, user) == 4, "user data at 4");
_Static_assert(offsetof(MoravelCallbackRecord, value) == 8, "value at 8");
_Static_assert(offsetof(MoravelCallbackRecord, extra) == 12, "extra at 12");
_Static_assert(offsetof(MoravelCallbackRecord, status) == 16, "status at 16");
_Static_assert(offsetof(MoravelCallbackRecord, agent) == 20, "agent at 20");
#else
_Static_assert(offsetof(MoravelCallbackRecord, value) == 2 * sizeof(void*),
               "value follows the two pointers");
_Static_assert(sizeof(((MoravelCallbackRecord*)0)->value) == sizeof(void*),
               "an extended timer's payload pointer fits in value");
#endif
