#pragma once

#include "CFleetBuilder.h"
#include "COptions.h"
#include "CTlsContext.h"
#include "CVirtualDevice.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <vector>

struct event;
struct event_base;

namespace devsim {

class CControlServer;
class CDiscoveryResponder;

// The whole fleet in one process: one event loop, the devices, the control interface and the
// discovery responder.
class CSimulator
{
public:
    explicit CSimulator(const COptions& options);
    ~CSimulator();
    CSimulator(const CSimulator&) = delete;
    CSimulator& operator=(const CSimulator&) = delete;

    // Builds the fleet and starts every device; false with a reason when anything cannot start.
    bool init(const std::string& programPath, std::string* error);
    // Prints "ready N" and serves until SIGTERM or SIGINT.
    int run();

    CVirtualDevice* find(const std::string& ip);
    const std::vector<std::unique_ptr<CVirtualDevice>>& devices() const { return m_devices; }
    CVirtualDevice* addDevice(const nlohmann::json& description, std::string* error);
    bool removeDevice(const std::string& ip);
    event_base* base() const { return m_base; }

private:
    static void onSignal(int fd, short what, void* arg);

    const COptions& m_options;
    CFleetBuilder m_builder;
    event_base* m_base = nullptr;
    CTlsContext m_tls;
    std::vector<std::unique_ptr<CVirtualDevice>> m_devices;
    std::unique_ptr<CControlServer> m_control;
    std::unique_ptr<CDiscoveryResponder> m_discovery;
    event* m_sigterm = nullptr;
    event* m_sigint = nullptr;
    int m_nextIndex = 0;
};

} // namespace devsim
