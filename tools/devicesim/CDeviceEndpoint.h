#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>

struct event_base;
struct evhttp;
struct evhttp_request;
struct evconnlistener;
struct bufferevent;
struct sockaddr;
typedef struct ssl_ctx_st SSL_CTX;

namespace devsim {

class CFaultConnection;

// One listening port of one device: either an HTTP server (evhttp, over TLS when an SSL
// context is given) or, while the device misbehaves below HTTP, a plain listener whose
// connections are CFaultConnections.
class CDeviceEndpoint
{
public:
    using RequestHandler = std::function<void(evhttp_request*)>;

    CDeviceEndpoint(event_base* base, SSL_CTX* tls);
    ~CDeviceEndpoint();
    CDeviceEndpoint(const CDeviceEndpoint&) = delete;
    CDeviceEndpoint& operator=(const CDeviceEndpoint&) = delete;

    // faultKind empty: serve HTTP through handler. Returns false (with a reason) when the
    // address cannot be bound.
    bool open(uint32_t address, int port, const std::string& faultKind, RequestHandler handler,
              std::string* error);
    void close();
    bool isOpen() const { return m_http || m_rawListener; }

private:
    static void onHttpRequest(evhttp_request* req, void* arg);
    static bufferevent* makeTlsBufferevent(event_base* base, void* arg);
    static void onRawAccept(evconnlistener* listener, int fd, ::sockaddr* addr, int len, void* arg);
    evconnlistener* bindListener(uint32_t address, int port, std::string* error);

    event_base* m_base;
    SSL_CTX* m_tls;
    evhttp* m_http = nullptr;
    evconnlistener* m_rawListener = nullptr;
    std::string m_faultKind;
    RequestHandler m_handler;
    std::set<CFaultConnection*> m_faultConnections;
};

} // namespace devsim
