#pragma once

#include <set>
#include <string>

struct bufferevent;
struct event_base;
typedef struct ssl_st SSL;

namespace devsim {

class CTimer;

// A connection accepted while the device misbehaves below HTTP: it holds the connection without
// answering ("silent"), resets it ("reset"), sends a reply whose body stops short of its declared
// length ("truncated") or a body that never ends ("endless").
class CFaultConnection
{
public:
    // Takes ownership of fd (and of ssl when given). The connection removes itself from `owner`
    // and deletes itself when it ends.
    static void accept(event_base* base, int fd, SSL* ssl, const std::string& kind,
                       std::set<CFaultConnection*>* owner);
    ~CFaultConnection();
    CFaultConnection(const CFaultConnection&) = delete;
    CFaultConnection& operator=(const CFaultConnection&) = delete;

private:
    CFaultConnection(event_base* base, bufferevent* bev, int fd, const std::string& kind,
                     std::set<CFaultConnection*>* owner);
    static void onRead(bufferevent* bev, void* arg);
    static void onWrite(bufferevent* bev, void* arg);
    static void onEvent(bufferevent* bev, short what, void* arg);
    void requestSeen();
    void finish();

    bufferevent* m_bev = nullptr;
    int m_fd = -1;
    std::string m_kind;
    std::set<CFaultConnection*>* m_owner = nullptr;
    std::string m_head;      // request bytes until the end of the header block
    bool m_answered = false; // the fault's reply has started
    bool m_closing = false;  // everything is sent; waiting for the peer to close
    CTimer* m_lingerTimer = nullptr;
};

} // namespace devsim
