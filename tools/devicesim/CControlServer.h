#pragma once

#include <nlohmann/json.hpp>

#include <string>

struct evhttp;
struct evhttp_request;
struct evhttp_bound_socket;

namespace devsim {

class CSimulator;

// The control interface for tests: JSON over HTTP on 127.0.0.1.
//   GET    /devices                 every device (without its request record)
//   GET    /devices/IP              one device, with "received"
//   POST   /devices                 add a device (JSON description; answers the device)
//   POST   /devices/IP              change state (JSON, keys as in the listing)
//   DELETE /devices/IP              remove a device
//   POST   /devices/IP/fault        set the fault: {"kind": ..., "status", "delayMs", "path"}
//   POST   /devices/IP/restart      restart the device now
//   GET    /devices/IP/received     what the device received, oldest first
//   DELETE /devices/IP/received     forget it
class CControlServer
{
public:
    explicit CControlServer(CSimulator& simulator) : m_simulator(simulator) {}
    ~CControlServer();
    CControlServer(const CControlServer&) = delete;
    CControlServer& operator=(const CControlServer&) = delete;

    bool start(int port, std::string* error);
    int port() const { return m_port; }

private:
    static void onRequest(evhttp_request* req, void* arg);
    void handle(evhttp_request* req);
    static void reply(evhttp_request* req, int status, const nlohmann::json& body);

    CSimulator& m_simulator;
    evhttp* m_http = nullptr;
    int m_port = 0;
};

} // namespace devsim
