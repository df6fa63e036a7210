#pragma once

#include <QHostAddress>

// Free ports for tests that run in parallel: the kernel picks a port that nothing uses at the
// moment of the call. Another process can still take it before the test binds it, so bind soon.
class CFreePort
{
public:
    static quint16 tcp(const QHostAddress& address = QHostAddress::LocalHost);
    static quint16 udp(const QHostAddress& address = QHostAddress::LocalHost);
};
