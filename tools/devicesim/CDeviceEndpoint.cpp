#include "CDeviceEndpoint.h"

#include "CFaultConnection.h"

#include <arpa/inet.h>
#include <event2/bufferevent.h>
#include <event2/bufferevent_ssl.h>
#include <event2/http.h>
#include <event2/listener.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace devsim {

namespace {
constexpr int kBacklog = 1024;
constexpr int kHttpTimeoutSeconds = 120;
// Firmware files are the largest uploads; the body is held in memory while it is handled.
constexpr ev_ssize_t kMaxBodyBytes = 512 * 1024 * 1024;
} // namespace

CDeviceEndpoint::CDeviceEndpoint(event_base* base, SSL_CTX* tls) : m_base(base), m_tls(tls) {}

CDeviceEndpoint::~CDeviceEndpoint()
{
    close();
}

evconnlistener* CDeviceEndpoint::bindListener(uint32_t address, int port, std::string* error)
{
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_addr.s_addr = htonl(address);
    sin.sin_port = htons(static_cast<uint16_t>(port));
    evconnlistener* listener = evconnlistener_new_bind(
        m_base, nullptr, nullptr, LEV_OPT_REUSEABLE | LEV_OPT_CLOSE_ON_FREE | LEV_OPT_CLOSE_ON_EXEC,
        kBacklog, reinterpret_cast<sockaddr*>(&sin), sizeof sin);
    if (!listener && error) {
        char text[INET_ADDRSTRLEN];
        inet_ntop(AF_INET, &sin.sin_addr, text, sizeof text);
        *error = std::string("cannot listen on ") + text + ":" + std::to_string(port) + ": " +
                 std::strerror(errno);
    }
    return listener;
}

bool CDeviceEndpoint::open(uint32_t address, int port, const std::string& faultKind,
                           RequestHandler handler, std::string* error)
{
    close();
    m_faultKind = faultKind;
    m_handler = std::move(handler);
    evconnlistener* listener = bindListener(address, port, error);
    if (!listener)
        return false;
    if (!faultKind.empty()) {
        evconnlistener_set_cb(listener, &CDeviceEndpoint::onRawAccept, this);
        m_rawListener = listener;
        return true;
    }
    m_http = evhttp_new(m_base);
    evhttp_set_allowed_methods(m_http, EVHTTP_REQ_GET | EVHTTP_REQ_POST | EVHTTP_REQ_HEAD |
                                           EVHTTP_REQ_PUT | EVHTTP_REQ_DELETE);
    evhttp_set_timeout(m_http, kHttpTimeoutSeconds);
    evhttp_set_max_body_size(m_http, kMaxBodyBytes);
    evhttp_set_gencb(m_http, &CDeviceEndpoint::onHttpRequest, this);
    if (m_tls)
        evhttp_set_bevcb(m_http, &CDeviceEndpoint::makeTlsBufferevent, this);
    if (!evhttp_bind_listener(m_http, listener)) {
        evconnlistener_free(listener);
        evhttp_free(m_http);
        m_http = nullptr;
        if (error)
            *error = "cannot attach the HTTP server";
        return false;
    }
    return true;
}

void CDeviceEndpoint::close()
{
    if (m_http) {
        evhttp_free(m_http); // closes the listener and every connection with it
        m_http = nullptr;
    }
    if (m_rawListener) {
        evconnlistener_free(m_rawListener);
        m_rawListener = nullptr;
    }
    while (!m_faultConnections.empty()) {
        CFaultConnection* conn = *m_faultConnections.begin();
        m_faultConnections.erase(m_faultConnections.begin());
        delete conn;
    }
}

void CDeviceEndpoint::onHttpRequest(evhttp_request* req, void* arg)
{
    auto* self = static_cast<CDeviceEndpoint*>(arg);
    self->m_handler(req);
}

bufferevent* CDeviceEndpoint::makeTlsBufferevent(event_base* base, void* arg)
{
    auto* self = static_cast<CDeviceEndpoint*>(arg);
    SSL* ssl = SSL_new(self->m_tls);
    if (!ssl)
        return nullptr;
    bufferevent* bev = bufferevent_openssl_socket_new(base, -1, ssl, BUFFEREVENT_SSL_ACCEPTING,
                                                      BEV_OPT_CLOSE_ON_FREE);
    if (bev)
        bufferevent_openssl_set_allow_dirty_shutdown(bev, 1);
    return bev;
}

void CDeviceEndpoint::onRawAccept(evconnlistener*, int fd, sockaddr*, int, void* arg)
{
    auto* self = static_cast<CDeviceEndpoint*>(arg);
    SSL* ssl = self->m_tls ? SSL_new(self->m_tls) : nullptr;
    CFaultConnection::accept(self->m_base, fd, ssl, self->m_faultKind, &self->m_faultConnections);
}

} // namespace devsim
