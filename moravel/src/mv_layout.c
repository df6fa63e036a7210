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

#if UINTPTR_MAX == 0xFFFFFFFFu
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
