#include "CSimulator.h"

#include "CControlServer.h"
#include "CDiscoveryResponder.h"
#include "StringUtil.h"

#include <event2/event.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>

namespace devsim {

CSimulator::CSimulator(const COptions& options) : m_options(options), m_builder(options) {}

CSimulator::~CSimulator()
{
    m_discovery.reset();
    m_control.reset();
    m_devices.clear();
    if (m_sigterm)
        event_free(m_sigterm);
    if (m_sigint)
        event_free(m_sigint);
    if (m_base)
        event_base_free(m_base);
}

bool CSimulator::init(const std::string& programPath, std::string* error)
{
    // A thousand devices hold two listening sockets each plus their connections.
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    std::signal(SIGPIPE, SIG_IGN);
    m_base = event_base_new();
    if (!m_base) {
        *error = "cannot create the event loop";
        return false;
    }
    if (!m_tls.init(error) || !m_builder.loadTables(programPath, error))
        return false;
    std::vector<SDeviceState> states;
    if (!m_builder.build(&states, error))
        return false;
    for (SDeviceState& s : states) {
        auto device = std::make_unique<CVirtualDevice>(m_base, m_tls.get(), std::move(s));
        if (find(device->ip())) {
            *error = "two devices share the address " + device->ip();
            return false;
        }
        if (!device->start(error))
            return false;
        m_devices.push_back(std::move(device));
    }
    m_nextIndex = static_cast<int>(m_devices.size());
    if (m_options.controlPort >= 0) {
        m_control = std::make_unique<CControlServer>(*this);
        if (!m_control->start(m_options.controlPort, error))
            return false;
    }
    m_discovery = std::make_unique<CDiscoveryResponder>(*this);
    if (m_options.discoveryPort > 0 && !m_discovery->start(m_options.discoveryPort, error))
        return false;
    m_sigterm = evsignal_new(m_base, SIGTERM, &CSimulator::onSignal, this);
    m_sigint = evsignal_new(m_base, SIGINT, &CSimulator::onSignal, this);
    evsignal_add(m_sigterm, nullptr);
    evsignal_add(m_sigint, nullptr);
    return true;
}

int CSimulator::run()
{
    if (m_control)
        std::printf("control %d\n", m_control->port());
    std::printf("ready %zu\n", m_devices.size());
    std::fflush(stdout);
    event_base_dispatch(m_base);
    return 0;
}

void CSimulator::onSignal(int, short, void* arg)
{
    auto* self = static_cast<CSimulator*>(arg);
    event_base_loopbreak(self->m_base);
}

CVirtualDevice* CSimulator::find(const std::string& ip)
{
    for (auto& device : m_devices)
        if (device->ip() == ip)
            return device.get();
    return nullptr;
}

CVirtualDevice* CSimulator::addDevice(const nlohmann::json& description, std::string* error)
{
    uint32_t next = m_options.firstIp;
    for (const auto& device : m_devices)
        if (device->state().address >= next)
            next = device->state().address + 1;
    SDeviceState state;
    if (!m_builder.makeDevice(description, m_nextIndex, next, &state, error))
        return nullptr;
    if (state.firstUse && !description.contains("password"))
        state.password.clear();
    auto device = std::make_unique<CVirtualDevice>(m_base, m_tls.get(), std::move(state));
    if (find(device->ip())) {
        *error = "a device already answers at " + device->ip();
        return nullptr;
    }
    if (!device->start(error))
        return nullptr;
    ++m_nextIndex;
    m_devices.push_back(std::move(device));
    return m_devices.back().get();
}

bool CSimulator::removeDevice(const std::string& ip)
{
    for (auto it = m_devices.begin(); it != m_devices.end(); ++it) {
        if ((*it)->ip() == ip) {
            m_devices.erase(it);
            return true;
        }
    }
    return false;
}

} // namespace devsim
