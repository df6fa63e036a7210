#include "CFaultConnection.h"

#include "CTimer.h"

#include <event2/buffer.h>
#include <event2/bufferevent.h>
#include <event2/bufferevent_ssl.h>
#include <event2/event.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace devsim {

namespace {
constexpr std::size_t kHeadLimit = 64 * 1024;
constexpr std::size_t kEndlessChunk = 16 * 1024;
constexpr int kLingerMs = 10000;
} // namespace

void CFaultConnection::accept(event_base* base, int fd, SSL* ssl, const std::string& kind,
                              std::set<CFaultConnection*>* owner)
{
    bufferevent* bev = nullptr;
    if (ssl)
        bev = bufferevent_openssl_socket_new(base, fd, ssl, BUFFEREVENT_SSL_ACCEPTING,
                                             BEV_OPT_CLOSE_ON_FREE);
    else
        bev = bufferevent_socket_new(base, fd, BEV_OPT_CLOSE_ON_FREE);
    if (!bev) {
        if (ssl)
            SSL_free(ssl);
        close(fd);
        return;
    }
    if (ssl)
        bufferevent_openssl_set_allow_dirty_shutdown(bev, 1);
    auto* conn = new CFaultConnection(base, bev, fd, kind, owner);
    owner->insert(conn);
}

CFaultConnection::CFaultConnection(event_base* base, bufferevent* bev, int fd,
                                   const std::string& kind, std::set<CFaultConnection*>* owner)
    : m_bev(bev), m_fd(fd), m_kind(kind), m_owner(owner)
{
    m_lingerTimer = new CTimer(base, [this] { finish(); });
    bufferevent_setcb(m_bev, &CFaultConnection::onRead, &CFaultConnection::onWrite,
                      &CFaultConnection::onEvent, this);
    bufferevent_enable(m_bev, EV_READ | EV_WRITE);
}

CFaultConnection::~CFaultConnection()
{
    delete m_lingerTimer;
    if (m_bev)
        bufferevent_free(m_bev);
}

void CFaultConnection::finish()
{
    m_owner->erase(this);
    delete this;
}

void CFaultConnection::onRead(bufferevent* bev, void* arg)
{
    auto* self = static_cast<CFaultConnection*>(arg);
    evbuffer* input = bufferevent_get_input(bev);
    if (self->m_answered || self->m_closing) {
        evbuffer_drain(input, evbuffer_get_length(input));
        return;
    }
    const std::size_t n = evbuffer_get_length(input);
    std::string chunk(n, '\0');
    evbuffer_remove(input, &chunk[0], n);
    if (self->m_head.size() < kHeadLimit)
        self->m_head += chunk;
    if (self->m_kind == "silent")
        return;
    if (self->m_head.find("\r\n\r\n") != std::string::npos || self->m_head.size() >= kHeadLimit)
        self->requestSeen();
}

void CFaultConnection::requestSeen()
{
    m_answered = true;
    if (m_kind == "reset") {
        // A zero linger time makes close() send RST instead of FIN.
        linger lin{1, 0};
        setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &lin, sizeof lin);
        finish();
        return;
    }
    evbuffer* output = bufferevent_get_output(m_bev);
    if (m_kind == "truncated") {
        const std::string body = "system_info_firmwareversion='";
        evbuffer_add_printf(output,
                            "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
                            "Content-Length: 4096\r\nConnection: close\r\n\r\n%s",
                            body.c_str());
        m_closing = true;
        return; // onWrite closes once the bytes are out
    }
    if (m_kind == "endless") {
        evbuffer_add_printf(output, "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                                    "Content-Disposition: attachment; filename=endless.bin\r\n"
                                    "Connection: close\r\n\r\n");
        bufferevent_setwatermark(m_bev, EV_WRITE, kEndlessChunk, 0);
        onWrite(m_bev, this);
        return;
    }
    finish();
}

void CFaultConnection::onWrite(bufferevent* bev, void* arg)
{
    auto* self = static_cast<CFaultConnection*>(arg);
    if (!self->m_answered)
        return;
    if (self->m_kind == "endless") {
        static const std::string filler(kEndlessChunk, 'x');
        bufferevent_write(bev, filler.data(), filler.size());
        return;
    }
    if (self->m_closing && evbuffer_get_length(bufferevent_get_output(bev)) == 0) {
        // Everything is out: end our side and give the peer a moment to see the short body
        // end with FIN rather than with a reset caused by unread input.
        if (!bufferevent_openssl_get_ssl(bev)) {
            shutdown(self->m_fd, SHUT_WR);
            self->m_lingerTimer->start(kLingerMs);
        } else {
            self->finish();
        }
    }
}

void CFaultConnection::onEvent(bufferevent*, short what, void* arg)
{
    auto* self = static_cast<CFaultConnection*>(arg);
    if (what & (BEV_EVENT_EOF | BEV_EVENT_ERROR | BEV_EVENT_TIMEOUT))
        self->finish();
}

} // namespace devsim
