/*
 * Moravel: a small event-driven network scheduler with a plain C interface.
 *
 * One agent runs an event loop made of a timer executor and a socket executor, either on a
 * worker thread of its own or on a thread of the caller that drives it with
 * SCHEAGENT_WorkProc() / SCHEAGENT_HandleFromUI(). Work is queued as tokens; when a token's
 * condition is met the agent calls the token's callback on the loop thread with a
 * MoravelCallbackRecord.
 *
 * Rules shared by every function:
 *  - Every function answers a 32-bit result code, 0 on success (MORAVEL_OK).
 *  - Asynchronous work answers at once and ends in exactly one callback. A non-zero result of
 *    the starting call means that no callback follows.
 *  - NULL or out-of-range arguments answer MORAVEL_E_INVALIDARG (0x80000003).
 *  - Tokens, parameter blocks and result records belong to the caller and must stay valid until
 *    the callback has run.
 */
#ifndef MORAVEL_H
#define MORAVEL_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Calling convention of every exported function and callback: __stdcall on 32-bit Windows. */
#if defined(_WIN32) && !defined(_WIN64)
#define MORAVEL_CALL __stdcall
#else
#define MORAVEL_CALL
#endif

#if defined(_WIN32)
#ifdef MORAVEL_BUILDING
#define MORAVEL_API __declspec(dllexport)
#else
#define MORAVEL_API __declspec(dllimport)
#endif
#else
#define MORAVEL_API __attribute__((visibility("default")))
#endif

/** @name Result codes */
/**@{*/
#define MORAVEL_OK 0
#define MORAVEL_E_NOTAVAILABLE ((int32_t)0x80000001) /**< object missing / not available */
#define MORAVEL_E_OUTOFMEMORY ((int32_t)0x80000002)  /**< out of memory */
#define MORAVEL_E_INVALIDARG ((int32_t)0x80000003)   /**< invalid argument */
#define MORAVEL_E_NOTSUPPORTED ((int32_t)0x80000004) /**< operation missing from a transport */
#define MORAVEL_E_LOCKS ((int32_t)0x80070010)        /**< failed to create the agent's locks */
#define MORAVEL_I_EXECUTOR_REGISTERED ((int32_t)0x00070010) /**< informational */
#define MORAVEL_E_EXECUTOR_NOT_REGISTERED ((int32_t)0x80070011)
#define MORAVEL_E_TLS_LOAD ((int32_t)0x80070012)       /**< TLS wrapper library not loaded */
#define MORAVEL_E_TLS_CONTEXT ((int32_t)0x80070013)    /**< TLS wrapper gave no TLS context */
#define MORAVEL_E_RELEASING ((int32_t)0x80070041)      /**< agent is being released */
#define MORAVEL_E_IDLE_TIMEOUT ((int32_t)0x80070042)   /**< socket operation idle time-out */
#define MORAVEL_E_CANCELLED ((int32_t)0x80070043)      /**< token removed or agent released */
#define MORAVEL_E_BAD_SOCKET ((int32_t)0x80070044)     /**< socket handle no longer valid */
#define MORAVEL_E_CLOSED ((int32_t)0x80070071)         /**< connection closed by the peer */
#define MORAVEL_E_IO ((int32_t)0x80070072)             /**< send or receive failed */
#define MORAVEL_E_CONN_ABORTED ((int32_t)0x80070073)   /**< connect wait aborted: not retried */
#define MORAVEL_E_SOCKET ((int32_t)0x80070074)         /**< failed to create a socket */
#define MORAVEL_E_CONNECT_START ((int32_t)0x80070076)  /**< connect() could not be started */
#define MORAVEL_E_STARTUP ((int32_t)0x80070077)        /**< socket layer start-up failed */
#define MORAVEL_E_DGRAM_RECV ((int32_t)0x80070078)     /**< datagram receive failed */
#define MORAVEL_E_DGRAM_SEND ((int32_t)0x80070079)     /**< datagram send failed */
#define MORAVEL_E_BIND ((int32_t)0x8007007a)           /**< bind or listen failed */
#define MORAVEL_E_CONNECT_FAILED ((int32_t)0x8007007b) /**< connection attempt failed */
#define MORAVEL_E_NO_ADDRESS ((int32_t)0x800700a1)     /**< host name gave no address */
#define MORAVEL_E_NO_DNS_SERVER ((int32_t)0x800700a5)  /**< no DNS server configured */
#define MORAVEL_E_NETWORK_PARAMS ((int32_t)0x800700a7) /**< network parameters unreadable */
#define MORAVEL_E_DNS_FORMAT ((int32_t)0x800700a9)     /**< DNS server answered RCODE 1 */
#define MORAVEL_I_WOULDBLOCK ((int32_t)0x00070071)     /**< datagram receive would block */
/**@}*/

/** Socket handle as the platform knows it. */
#if defined(_WIN32)
typedef uintptr_t MoravelSocket;
#else
typedef int MoravelSocket;
#endif

/**
 * Token: owned by the caller, must stay valid while queued. 16 bytes on every platform.
 * The agent keeps a pointer to the live token and a copy of it taken when it was queued.
 */
typedef struct MoravelToken
{
    uint32_t stamp;       /**< activity stamp in ms (STATOKEN_TouchToken, moved data) */
    uint32_t idleTimeout; /**< idle time-out of socket operations in ms; 0 means none */
    uint32_t key;         /**< removal key */
    uint32_t key2;        /**< second removal key (removal flag MORAVEL_REMOVE_KEY2) */
} MoravelToken;

/** Opaque agent (also the "scheduler" argument of the operations). */
typedef struct MoravelAgent MoravelAgent;
/** Opaque transport: a byte-stream object dispatched through the COMMON_TI_ functions. */
typedef struct MoravelTransport MoravelTransport;

/** What every token callback receives. Offsets 0/4/8/12/16/20 in a 32-bit build. */
typedef struct MoravelCallbackRecord
{
    MoravelToken* token; /**< the token (NULL for SCHEAGENT_DoSomethingSafely) */
    void* user;          /**< user data given when the token was queued */
    uintptr_t value;     /**< bytes moved, payload pointer of an extended timer, else 0 */
    uintptr_t extra;     /**< payload length of an extended timer, else 0 */
    int32_t status;      /**< 0 or a result code */
    MoravelAgent* agent; /**< the agent */
} MoravelCallbackRecord;

/** Token callback; its result is answered by SCHEAGENT_DoSomethingSafely and general tokens. */
typedef int(MORAVEL_CALL* MoravelCallback)(MoravelCallbackRecord* record);

/** Work function of a general token; runs on the loop thread. Non-zero result: the status. */
typedef int(MORAVEL_CALL* MoravelWorkFn)(void* arg1, void* arg2, MoravelAgent* agent,
                                         uintptr_t* out);

/** Connection parameters (148 bytes everywhere), copied by SMO_SocketConn_Init. */
typedef struct MoravelConnParams
{
    uint32_t address;    /**< IPv4 address in network order (not used by the connect itself) */
    uint32_t port;       /**< TCP port */
    uint32_t hardClose;  /**< non-zero: SO_LINGER on with time 0, releasing resets */
    char host[129];      /**< host name or address text, NUL-terminated */
    uint8_t reserved[7]; /**< reserved, zero */
} MoravelConnParams;

/** Resolver request: at least 1036 bytes, the host name at offset 8. */
typedef struct MoravelResolveRequest
{
    uint32_t reserved[2];
    char host[1028];
} MoravelResolveRequest;

/** Resolver result (84 bytes). */
typedef struct MoravelResolveResult
{
    uint32_t ipv4;     /**< first A answer, network order */
    char ipv4Text[40]; /**< that address as dotted text */
    char ipv6Text[40]; /**< first AAAA answer: eight groups of four lowercase hex digits */
} MoravelResolveResult;

/** Accept context: the accepted connection is written to @c transport. */
typedef struct MoravelAcceptContext
{
    uint32_t hardClose;          /**< non-zero: the accepted socket resets when released */
    MoravelTransport* transport; /**< out: the accepted connection, owned by the caller */
} MoravelAcceptContext;

/** Removal flags of the SCHEAGENT_Remove functions. */
#define MORAVEL_REMOVE_SILENT 1u /**< free matching entries without calling back */
#define MORAVEL_REMOVE_KEY2 2u   /**< match the token's second key */
#define MORAVEL_REMOVE_PARKED 4u /**< timers: only parked entries */

/** Timer delay that parks an entry: it never fires, only removal finishes it. */
#define MORAVEL_DELAY_PARKED 0xFFFFFFFFu

/** SCHEAGENT_Echo bits. */
#define MORAVEL_ECHO_TIMERS 0x001
#define MORAVEL_ECHO_SOCKETS 0x100

/* ---------------------------------------------------------------------------------------- */
/* Agent                                                                                    */
/* ---------------------------------------------------------------------------------------- */

/**
 * Creates an agent. With @p ownThread != 0 the agent runs its loop on a worker thread of its
 * own; otherwise the caller drives it with SCHEAGENT_WorkProc or SCHEAGENT_HandleFromUI.
 * DNS servers are read from /etc/resolv.conf, or from the file named by the environment
 * variable MORAVEL_RESOLV_CONF.
 * @return 0; 0x80000003 when @p out is NULL; 0x80000002 out of memory; 0x80070010 locks;
 *         0x80070074 wake-up sockets. *out is NULL on failure.
 */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_Initialize(MoravelAgent** out, int ownThread);

/**
 * Stops and frees the agent and sets *p to NULL. Queued tokens are freed without callback.
 * @return 0; 0x80000003 for a NULL pointer or NULL agent; 0x80000001 when called from a
 *         callback on the agent's own worker thread (the agent cannot join itself).
 */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_Release(MoravelAgent** p);

/** Runs one cycle on the calling thread. @return 0; 0x80000003; 0x80070041 once stopping. */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_WorkProc(MoravelAgent* agent);

/**
 * Marks the agent as UI-driven (socket waits bounded by 8 ms from then on) and runs cycles
 * until more than 8 microseconds have passed since the call began or the agent stops.
 * @return 0; 0x80000003; 0x80070041 once stopping.
 */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_HandleFromUI(MoravelAgent* agent);

/** Whether the calling thread is the one that last ran a cycle (0 for NULL). */
MORAVEL_API int MORAVEL_CALL SCHEAGENT_IsInternalThread(MoravelAgent* agent);

/** Answers the agent itself (NULL for NULL). */
MORAVEL_API MoravelAgent* MORAVEL_CALL SCHEAGENT_GetScheduler(MoravelAgent* agent);

/** Bit 0: timer entries queued (scheduled or parked); bit 8: socket operations queued. */
MORAVEL_API int MORAVEL_CALL SCHEAGENT_Echo(MoravelAgent* agent);

/**
 * Runs @p fn on the loop thread with a record {token NULL, user @p arg, @p value, @p extra,
 * status 0, agent} and answers its result. On the loop thread fn runs at once; from any other
 * thread the call waits until a cycle has run it. A caller-driven agent must therefore be
 * cycling on another thread.
 * @return fn's result; 0 when it did not run (agent released meanwhile); 0x80000003 for a NULL
 *         agent or function; 0x80070041 when the agent is stopping.
 */
MORAVEL_API int MORAVEL_CALL SCHEAGENT_DoSomethingSafely(MoravelAgent* agent, MoravelCallback fn,
                                                         void* arg, uintptr_t value,
                                                         uintptr_t extra);

/* ---------------------------------------------------------------------------------------- */
/* Tokens                                                                                   */
/* ---------------------------------------------------------------------------------------- */

/**
 * Queues a timer: @p cb runs with status 0 after @p delayMs (0: next cycle; equal due times
 * fire in queueing order). MORAVEL_DELAY_PARKED parks it: only removal finishes it.
 * @return 0; 0x80000003 (NULL agent, token or callback); 0x80000002; 0x80070041.
 */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_AddTimerToken(MoravelAgent* agent, MoravelToken* token,
                                                         MoravelCallback cb, void* user,
                                                         uint32_t delayMs);

/** SCHEAGENT_AddTimerToken under a second name. */
MORAVEL_API int32_t MORAVEL_CALL SMO_Timer_Init(MoravelAgent* agent, MoravelToken* token,
                                                MoravelCallback cb, void* user, uint32_t delayMs);

/** A timer that also stores @p x and @p y with its entry; they are not given to @p cb. */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_AddTimerTokenInternal(MoravelAgent* agent,
                                                                 MoravelToken* token,
                                                                 MoravelCallback cb, void* user,
                                                                 uint32_t delayMs, uint32_t x,
                                                                 uint32_t y);

/**
 * A timer carrying a copy of @p payload: the callback gets value = pointer to the copy and
 * extra = @p payloadLen; the copy is freed after the callback.
 * @return as SCHEAGENT_AddTimerToken; 0x80000003 also for a NULL payload with a length.
 */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_AddExtendedTimerToken(
    MoravelAgent* agent, MoravelToken* token, MoravelCallback cb, void* user, uint32_t delayMs,
    const void* payload, uint32_t payloadLen);

/**
 * Queues work for the next cycle: @p workFn(arg1, arg2, agent, &out) runs on the loop thread;
 * a non-zero result becomes the record's status and out its value; then @p doneCb runs once.
 * A cancelled general token skips workFn and reports 0x80070043 to doneCb.
 * @return as SCHEAGENT_AddTimerToken (workFn and doneCb must not be NULL).
 */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_AddGeneralToken(MoravelAgent* agent, MoravelToken* token,
                                                           MoravelCallback doneCb, void* user,
                                                           MoravelWorkFn workFn, void* workArg1,
                                                           void* workArg2);

/**
 * Queues a socket operation. @p direction 0 receives, otherwise sends. With @p mode 0 the
 * callback comes when all @p length bytes have moved; with mode != 0 as soon as any byte has
 * moved. A write with mode != 0 and length 0, or a read with mode != 0, no buffer and length
 * 0, is a readiness notification (value 0). The token's idle time-out bounds the wait
 * (0x80070042); a peer close gives 0x80070071, another failure 0x80070072, a failed
 * connection attempt 0x8007007b, a socket that is no longer valid 0x80070044.
 * @return 0; 0x80000003 (NULL agent/token/callback, negative socket, NULL buffer with a
 *         length, nothing to do); 0x80000002; 0x80070041.
 */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_AddSocketOperToken(
    MoravelAgent* agent, MoravelToken* token, MoravelCallback cb, void* user, MoravelSocket socket,
    uint32_t length, void* buffer, uint32_t mode, uint32_t direction);

/**
 * Removes every queued timer and socket operation whose token key (or second key with
 * MORAVEL_REMOVE_KEY2) equals @p key: with MORAVEL_REMOVE_SILENT freed silently, else called
 * back with 0x80070043. Runs on the loop thread (see SCHEAGENT_DoSomethingSafely).
 * @return 0 even when nothing matched; 0x80000003 for a NULL agent; 0x80070041.
 */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_RemoveToken(MoravelAgent* agent, uint32_t removeFlags,
                                                       uint32_t key);
/** As SCHEAGENT_RemoveToken, timers only; MORAVEL_REMOVE_PARKED limits it to parked ones. */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_RemoveTimerToken(MoravelAgent* agent,
                                                            uint32_t removeFlags, uint32_t key);
/** SCHEAGENT_RemoveTimerToken under a second name. */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_RemoveGeneralToken(MoravelAgent* agent,
                                                              uint32_t removeFlags, uint32_t key);
/** As SCHEAGENT_RemoveToken, socket operations only. */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_RemoveSocketOperToken(MoravelAgent* agent,
                                                                 uint32_t removeFlags,
                                                                 uint32_t key);

/** Writes the current monotonic time in ms to the token's stamp and answers it (0 for NULL). */
MORAVEL_API uint32_t MORAVEL_CALL STATOKEN_TouchToken(MoravelToken* token);

/* ---------------------------------------------------------------------------------------- */
/* Memory                                                                                   */
/* ---------------------------------------------------------------------------------------- */

/** A block of at least @p size bytes from the agent's pool. @return 0; 0x80000003; 0x80000002. */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_RequestMemory(MoravelAgent* agent, void** out,
                                                         uint32_t size);
/** Gives back a block of SCHEAGENT_RequestMemory. @return 0; 0x80000003 (not a pool block). */
MORAVEL_API int32_t MORAVEL_CALL SCHEAGENT_ReturnMemory(MoravelAgent* agent, void* block);
/** A zero-filled heap block. @return 0; 0x80000003 (size 0, NULL out); 0x80000002. */
MORAVEL_API int32_t MORAVEL_CALL RawMemAlloc(uint32_t size, void** out);
/** Frees *p when set and clears it. @return 0; 0x80000003 for a NULL @p p. */
MORAVEL_API int32_t MORAVEL_CALL RawMemFree(void** p);

/* ---------------------------------------------------------------------------------------- */
/* Transports                                                                               */
/* ---------------------------------------------------------------------------------------- */

/**
 * Queued read into @p buffer; the callback's value is the number of bytes read. Mode 0 waits
 * for all @p length bytes, mode != 0 completes on any bytes.
 * @return 0x80000001 for a NULL transport, 0x80000004 when the transport has no reads, else the
 *         transport's result (socket transport: 0x80070071 once its byte limit is reached).
 */
MORAVEL_API int32_t MORAVEL_CALL COMMON_TI_ReadData(MoravelTransport* transport,
                                                    MoravelToken* token, MoravelCallback cb,
                                                    void* user, uint32_t length, void* buffer,
                                                    uint32_t mode);
/**
 * Reads what is available now. *read is 0 when nothing is there; @p error receives the system
 * error of a failure. @return 0; 0x80070071 closed; 0x80070072 failed; 0x80000001/0x80000004.
 */
MORAVEL_API int32_t MORAVEL_CALL COMMON_TI_ReadDataDirect(MoravelTransport* transport, void* buffer,
                                                          uint32_t length, uint32_t* read,
                                                          int* error);
/** Queued write of all @p length bytes. @return as COMMON_TI_ReadData. */
MORAVEL_API int32_t MORAVEL_CALL COMMON_TI_WriteData(MoravelTransport* transport,
                                                     MoravelToken* token, MoravelCallback cb,
                                                     void* user, uint32_t length,
                                                     const void* buffer);
/** Writes what the connection takes now. @return 0; 0x80070072; 0x80000001/0x80000004. */
MORAVEL_API int32_t MORAVEL_CALL COMMON_TI_WriteDataDirect(MoravelTransport* transport,
                                                           const void* buffer, uint32_t length,
                                                           uint32_t* written, int* error);
/** The callback comes when the transport is ready for use (connected). */
MORAVEL_API int32_t MORAVEL_CALL COMMON_TI_WaitConnected(MoravelTransport* transport,
                                                         MoravelToken* token, MoravelCallback cb,
                                                         void* user);
/** Closes and frees the transport, sets *p to NULL. @return 0; 0x80000001 when *p is NULL. */
MORAVEL_API int32_t MORAVEL_CALL COMMON_TI_Release(MoravelTransport** p);

/**
 * Wraps a connected (or listening) socket into a socket transport that owns it: non-blocking,
 * SO_REUSEADDR, TCP_NODELAY, and with @p hardClose != 0 SO_LINGER on with time 0.
 * @p initialData (@p initialLength bytes received before) is served first by reads. With
 * @p byteLimit != 0 reads stop after that many bytes; the first read at the limit sends the
 * 64-byte answer "HTTP/1.0 200 OK..." on the socket, and every read at the limit answers
 * 0x80070071.
 * @return 0; 0x80000003 (NULL out or agent, negative socket, NULL data with a length);
 *         0x80000002. *out is NULL on failure.
 */
MORAVEL_API int32_t MORAVEL_CALL SOCK_TO_COMM_TI(MoravelTransport** out, MoravelAgent* agent,
                                                 MoravelSocket socket, int hardClose,
                                                 uint32_t initialLength, const void* initialData,
                                                 uint32_t byteLimit);

/** The socket a transport made by this library uses, or -1. */
MORAVEL_API MoravelSocket MORAVEL_CALL COMMON_TI_GetSocket(MoravelTransport* transport);

/* ---------------------------------------------------------------------------------------- */
/* Operations                                                                               */
/* ---------------------------------------------------------------------------------------- */

/** Socket operation, direction receive (see SCHEAGENT_AddSocketOperToken). */
MORAVEL_API int32_t MORAVEL_CALL SMO_SocketRead_Init(MoravelAgent* agent, MoravelToken* token,
                                                     MoravelCallback cb, void* user,
                                                     MoravelSocket socket, uint32_t length,
                                                     void* buffer, uint32_t mode);
/** Socket operation, direction send (see SCHEAGENT_AddSocketOperToken). */
MORAVEL_API int32_t MORAVEL_CALL SMO_SocketWrite_Init(MoravelAgent* agent, MoravelToken* token,
                                                      MoravelCallback cb, void* user,
                                                      MoravelSocket socket, uint32_t length,
                                                      const void* buffer, uint32_t mode);

/**
 * Waits for one incoming connection on a listening socket transport. Stream listener: the
 * connection is accepted. Datagram listener: the first datagram is received and a new UDP
 * socket connected to its sender is made (would-block 0x00070071, failure 0x80070078).
 * The new socket transport is written to @p context->transport before the callback (status 0,
 * value 0); the caller owns it.
 * @return 0; 0x80000003; 0x80000002; 0x80070041.
 */
MORAVEL_API int32_t MORAVEL_CALL SMO_SocketAccept_Init(MoravelAgent* agent, MoravelToken* token,
                                                       MoravelCallback cb, void* user,
                                                       MoravelTransport* listener,
                                                       MoravelAcceptContext* context);

/**
 * Resolves (unless the host is an address; "localhost" is 127.0.0.1 without any query) and
 * connects, IPv4 first with fail-over to the IPv6 address and back. On status 0 *transport
 * holds the connected socket transport, owned by the caller; on failure it stays NULL.
 * Failures: 0x80070042 idle time-out, 0x8007007b refused/unreachable, 0x800700a1 no address,
 * 0x80070072 address not usable, 0x80070076 connect not started, resolver codes.
 * @return 0; 0x80000003; 0x80000002; 0x80070041.
 */
MORAVEL_API int32_t MORAVEL_CALL SMO_SocketConn_Init(MoravelAgent* agent, MoravelToken* token,
                                                     MoravelCallback cb, void* user,
                                                     const MoravelConnParams* params,
                                                     MoravelTransport** transport);

/** Whether @p text looks like an IPv4 or IPv6 address (see the library notes). */
MORAVEL_API int MORAVEL_CALL SMO_SocketConn_IsIPFormat(const char* text);

/**
 * Resolves @p request->host by asking the configured DNS servers directly (A and AAAA). The
 * first good answer ends the job with status 0. A failed answer (malformed, wrong ID, no
 * record, RCODE other than 0, read idle time-out) is counted and the job fails with it once
 * twice the number of servers have failed; RCODE 1 ends it at once with 0x800700a9. Without any
 * answer the job ends with 0x80070042 after four sending passes. Removing the token's key
 * ends the job with 0x80070043.
 * @return 0; 0x800700a5 without DNS servers; 0x80000003 (NULL arguments, empty or unencodable
 *         name); 0x80000002; 0x80070041.
 */
MORAVEL_API int32_t MORAVEL_CALL SMO_ResolveIP_Init(MoravelAgent* agent, MoravelToken* token,
                                                    MoravelCallback cb, void* user,
                                                    const MoravelResolveRequest* request,
                                                    MoravelResolveResult* result);

/* ---------------------------------------------------------------------------------------- */
/* HTTP request operation                                                                   */
/* ---------------------------------------------------------------------------------------- */

/** @name Result codes of the HTTP request operation and the TLS, tunnel and Base64 transports */
/**@{*/
#define MORAVEL_I_HTTP_REPEAT ((int32_t)0x00070081)   /**< internal: repeat with credentials */
#define MORAVEL_E_HTTP_HEADER ((int32_t)0x80070081)   /**< no "HTTP/1." or header too long */
#define MORAVEL_E_HTTP_AUTH ((int32_t)0x80070082)     /**< authentication failed */
#define MORAVEL_E_HTTP_404 ((int32_t)0x80070083)      /**< status 404 */
#define MORAVEL_E_HTTP_503 ((int32_t)0x80070084)      /**< status 503 */
#define MORAVEL_E_HTTP_405 ((int32_t)0x80070085)      /**< status 405 */
#define MORAVEL_E_HTTP_500 ((int32_t)0x80070086)      /**< status 500 */
#define MORAVEL_E_HTTP_STATUS ((int32_t)0x80070087)   /**< any other status but 200/401/407 */
#define MORAVEL_E_PROXY_TIMEOUT ((int32_t)0x80070088) /**< idle time-out through a proxy */
#define MORAVEL_E_PROXY_CONNECT ((int32_t)0x80070089) /**< connection failure through a proxy */
#define MORAVEL_E_PROXY_HEADER ((int32_t)0x8007008a)  /**< no "HTTP/1." through a proxy */
#define MORAVEL_E_PROXY_NAME ((int32_t)0x8007008b)    /**< proxy host name not resolved */
#define MORAVEL_E_HTTP_CLOSED ((int32_t)0x8007008c)   /**< closed before any byte (direct) */
#define MORAVEL_E_PROXY_CLOSED ((int32_t)0x8007008d)  /**< closed before any byte (proxy) */
#define MORAVEL_E_HTTP_403 ((int32_t)0x8007008e)      /**< status 403 */
#define MORAVEL_E_HTTP_400 ((int32_t)0x8007008f)      /**< status 400 */
#define MORAVEL_E_TLS_BIND ((int32_t)0x800700f1)      /**< TLS: binding the socket failed */
#define MORAVEL_E_TLS_HANDSHAKE ((int32_t)0x800700f2) /**< TLS handshake failed */
#define MORAVEL_E_TLS_WRITE ((int32_t)0x800700f3)     /**< TLS write failed */
#define MORAVEL_E_TLS_READ ((int32_t)0x800700f4)      /**< TLS read failed */
/**@}*/

/** @name Flags of MoravelHttpParams::flags */
/**@{*/
#define MORAVEL_HTTP_CAMCFGRELAY 0x01u  /**< add "CamCfgRelay: yes" */
#define MORAVEL_HTTP_ONESOCKET 0x02u    /**< add "OneSocket: yes" */
#define MORAVEL_HTTP_VERIFYPASS 0x04u   /**< add "VerifyPassProxy: yes" (tunnel: real length) */
#define MORAVEL_HTTP_SERVER_SSPI 0x08u  /**< answer server challenges with NTLM/Negotiate only */
#define MORAVEL_HTTP_PROXY_SSPI 0x10u   /**< answer proxy challenges with NTLM/Negotiate only */
#define MORAVEL_HTTP_PASSWORD_HA1 0x20u /**< password fields hold the Digest HA1 (32 hex) */
/**@}*/

/**
 * HTTP request parameters (3932 bytes in a 32-bit build), filled by the caller, usually through
 * SMO_HttpRequest_SetConn or SMO_HttpRequest_SetConnURL on a zero-filled block. The operation
 * copies them at start. @c conn names the host actually connected to: the server, or the proxy.
 */
typedef struct MoravelHttpParams
{
    MoravelConnParams conn;   /**< 0: address, port, hard-close flag and host connected to */
    char proxyPrefix[260];    /**< 148: "http://host:port" of the server when proxied, else "" */
    uint32_t tunnelKind;      /**< 408: 1 "application/x-rtsp-tunnelled", else "x-qxor" types */
    uint32_t method;          /**< 412: 0 GET, otherwise POST */
    uint32_t tunnelMode;      /**< 416: non-zero sends the session cookie and tunnelled types */
    char hostHeader[129];     /**< 420: server host for the Host header and CONNECT */
    char path[2049];          /**< 549: path, beginning with "/" */
    char query[1025];         /**< 2598: GET: query appended to the path; POST: the body */
    char user[65];            /**< 3623: server user ("DOMAIN\\user" or "user@realm" allowed) */
    char password[65];        /**< 3688: server password (or Digest HA1 with the HA1 flag) */
    char proxyUser[65];       /**< 3753: proxy user */
    char proxyPassword[65];   /**< 3818: proxy password */
    char sessionCookie[37];   /**< 3883: "x-sessioncookie" text */
    const char* externalBody; /**< 3920: when set, replaces @c query */
    uint32_t responseTimeout; /**< 3924: idle time-out (ms) while the header is read; 0 none */
    uint8_t flags;            /**< 3928: MORAVEL_HTTP_ flags */
    uint8_t padding[3];
} MoravelHttpParams;

/** Response record (28 bytes in a 32-bit build); offsets 4..27 are zeroed at start. */
typedef struct MoravelHttpResponse
{
    MoravelTransport** transport; /**< 0: where the connected transport goes on success */
    int32_t contentLength;        /**< 4: Content-Length of a 200 response, 0 when absent */
    const char* header;           /**< 8: response header text, valid during the callback only */
    uint32_t contextSize;         /**< 12: size of the exported security context, else 0 */
    uint32_t contextType;         /**< 16: kind of that context (MORAVEL_CONTEXT_) */
    void* context;                /**< 20: the context; free with SMO_HttpReq_FreeContext */
    uint32_t trailerSize;         /**< 24: security trailer size of that context */
} MoravelHttpResponse;

/** @name Kinds of exported security contexts (MoravelHttpResponse::contextType) */
/**@{*/
#define MORAVEL_CONTEXT_NTLM 1u   /**< NTLM session state (keys, flags) */
#define MORAVEL_CONTEXT_GSSAPI 2u /**< a gss_export_sec_context token */
/**@}*/

/**
 * Sends one HTTP/1.0 request without TLS (SMO_HttpRequest_InitEx with tls 0).
 */
MORAVEL_API int32_t MORAVEL_CALL SMO_HttpRequest_Init(MoravelAgent* agent, MoravelToken* token,
                                                      MoravelCallback cb, void* user,
                                                      const MoravelHttpParams* params,
                                                      MoravelHttpResponse* response);

/**
 * Sends one HTTP/1.0 request, optionally through a proxy (absolute URI for GET, CONNECT for
 * POST and TLS) and over TLS, answers Basic, Digest, NTLM and Negotiate challenges of the
 * server and the proxy by itself, and on status 200 stores the transport, positioned at the
 * response body, through @p response->transport (released when that pointer is NULL).
 * Exactly one callback follows a zero result; its status is 0 or a MORAVEL_E_ code (HTTP
 * status codes, 0x80070082 authentication failed, 0x80070081 malformed or overlong header,
 * 0x8007008c closed before any byte, 0x80070071 closed later, proxy variants).
 * @return 0; 0x80000003 (NULL arguments, empty host); 0x80000002; 0x80070012 for TLS without
 *         a TLS context; 0x80070041.
 */
MORAVEL_API int32_t MORAVEL_CALL SMO_HttpRequest_InitEx(MoravelAgent* agent, MoravelToken* token,
                                                        MoravelCallback cb, void* user,
                                                        const MoravelHttpParams* params,
                                                        MoravelHttpResponse* response, int tls);

/**
 * Fills the address fields: with @p useProxy the proxy is connected to and the proxy prefix
 * becomes "http://host:port"; the Host-header field gets @p host in both cases. @return 0
 * (0x80000003 for NULL @p params or a NULL host that is needed).
 */
MORAVEL_API int32_t MORAVEL_CALL SMO_HttpRequest_SetConn(MoravelHttpParams* params, int useProxy,
                                                         const char* proxyHost, uint32_t proxyPort,
                                                         const char* host, uint32_t port);

/**
 * Parses "http://host[:port]/path?query" or "https://..." into @p params, with the credentials
 * and an optional proxy (used when @p proxyHost is not NULL). *isHttps (when not NULL) is 1
 * for https. @return 0; 0x80000003 for a bad URL or an overlong part.
 */
MORAVEL_API int32_t MORAVEL_CALL SMO_HttpRequest_SetConnURL(
    MoravelHttpParams* params, const char* url, const char* user, const char* password,
    const char* proxyHost, uint32_t proxyPort, const char* proxyUser, const char* proxyPassword,
    int post, int* isHttps);

/**
 * Writes a 24-character session cookie (Base64 of MD5 over the 16 seed bytes and the process
 * id, little-endian) and a NUL to @p out (at least 25 bytes). @return 0; 0x80000003.
 */
MORAVEL_API int32_t MORAVEL_CALL SMO_HttpReq_GenerateSession(const uint8_t* seed, char* out);

/** Frees a security context handed out in MoravelHttpResponse::context. @return 0. */
MORAVEL_API int32_t MORAVEL_CALL SMO_HttpReq_FreeContext(void* context);

/**
 * Loads trusted CA certificates from the directory @p path (hashed names as made by
 * "openssl rehash") into the agent's TLS context and turns peer verification on. Does nothing
 * on an agent without TLS. Meant for set-up, before TLS connections are made.
 * @return 0 (callers need not look at it); 0x80000003; 0x80070012 without TLS.
 */
MORAVEL_API int32_t MORAVEL_CALL SMO_SSL_LoadVerifyLocation(MoravelAgent* agent, const char* path);

/** Whether the agent loaded the TLS wrapper and holds a TLS context (0 for NULL). */
MORAVEL_API int MORAVEL_CALL SMO_SSL_Available(MoravelAgent* agent);

/* ---------------------------------------------------------------------------------------- */
/* TLS, HTTP tunnel and Base64 transports                                                   */
/* ---------------------------------------------------------------------------------------- */

/**
 * Wraps a connected socket transport into a TLS transport that owns it (released with it).
 * Use COMMON_TI_WaitConnected for the handshake. On failure @p inner is left to the caller.
 * @return 0; 0x80000003; 0x80070012 without TLS; 0x80000002; 0x800700f1.
 */
MORAVEL_API int32_t MORAVEL_CALL TLS_SOCK_PI_Create(MoravelTransport** out, MoravelAgent* agent,
                                                    MoravelTransport* inner);

/**
 * An HTTP tunnel transport: every COMMON_TI_WriteData becomes one POST request (of the copied
 * @p params) whose body is the written text; the callback's value is the length written.
 * Reads, direct writes and waits answer 0x80000004. @return 0; 0x80000003; 0x80000002.
 */
MORAVEL_API int32_t MORAVEL_CALL HTTP_AS_SOCK_PI_Create(MoravelTransport** out, MoravelAgent* agent,
                                                        const MoravelHttpParams* params);
/** As HTTP_AS_SOCK_PI_Create; @p tls != 0 sends every request over TLS (0x80070012 without). */
MORAVEL_API int32_t MORAVEL_CALL HTTP_AS_SOCK_PI_CreateEx(MoravelTransport** out,
                                                          MoravelAgent* agent,
                                                          const MoravelHttpParams* params, int tls);

/**
 * A Base64 decorator owning @p inner: writes are encoded (text up to its first NUL), reads
 * are decoded (decoded zero bytes are dropped), so it carries text only.
 * @return 0; 0x80000003 for NULL arguments; 0x80000002.
 */
MORAVEL_API int32_t MORAVEL_CALL Decorate_Base64_SOCK_PI(MoravelTransport** out,
                                                         MoravelTransport* inner);

#ifdef __cplusplus
}

#endif

#endif /* MORAVEL_H */
