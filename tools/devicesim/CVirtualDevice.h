#pragma once

#include "CDeviceEndpoint.h"
#include "CTimer.h"
#include "HttpTypes.h"
#include "SDeviceState.h"

#include <nlohmann/json.hpp>

#include <deque>
#include <list>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct event_base;
struct evhttp_request;
typedef struct ssl_ctx_st SSL_CTX;

namespace devsim {

// One simulated camera or recorder: its state, its HTTP and HTTPS ports, its restarts and the
// record of what it was sent.
class CVirtualDevice
{
public:
    enum class ELife
    {
        Stopped,
        Online,
        Restarting,
        Unreachable
    };

    CVirtualDevice(event_base* base, SSL_CTX* tls, SDeviceState state);
    ~CVirtualDevice();
    CVirtualDevice(const CVirtualDevice&) = delete;
    CVirtualDevice& operator=(const CVirtualDevice&) = delete;

    // Listens on the current address and ports (or not at all while "offline").
    bool start(std::string* error);
    void stop();

    SDeviceState& state() { return m_state; }
    const SDeviceState& state() const { return m_state; }
    std::string ip() const;
    ELife life() const { return m_life; }
    // True while the device would answer a discovery probe.
    bool answersDiscovery() const;

    // Replies first, then goes down after a moment and comes back after the restart time,
    // applying what the restart applies: network settings, a new firmware, a factory reset.
    // goDownMs < 0: the usual moment.
    void scheduleRestart(int goDownMs = -1);
    void setPendingFirmware(const std::string& version) { m_pendingFirmware = version; }
    // Groups of parameters a factory reset keeps ("net", "dst", "lang", "zapk", "focusvalue",
    // "len"); the reset itself happens at the restart.
    void setPendingRestore(const std::set<std::string>& keep);

    void setFault(const SFault& fault);
    // Rewrites the parameters that mirror the device's own state (identity, address, ports,
    // modules, capabilities).
    void refreshGeneratedParams();

    void record(nlohmann::json entry);
    void clearRecords() { m_records.clear(); }
    nlohmann::json toJson() const;
    // Changes state from a control request; false with a reason when a value is invalid.
    bool applyJson(const nlohmann::json& changes, std::string* error);

private:
    void onRequest(evhttp_request* req, bool https);
    void sendResponse(evhttp_request* req, const SHttpResponse& response);
    bool openEndpoints(std::string* error);
    void goDown();
    void comeBack();
    void applyNetworkSettings();
    void applyRestore();
    static bool isConnectionFault(const std::string& kind);

    struct SDelayed
    {
        evhttp_request* req = nullptr;
        SHttpResponse response;
        std::unique_ptr<CTimer> timer;
    };
    void cancelDelayed();
    // Binds the device's listeners afresh (after a move or a change of fault mode); a failure
    // leaves the device unreachable with the error kept.
    void reopenEndpoints();

    event_base* m_base;
    SDeviceState m_state;
    ELife m_life = ELife::Stopped;
    CDeviceEndpoint m_http;
    CDeviceEndpoint m_https;
    CTimer m_downTimer;
    CTimer m_upTimer;
    std::vector<SModule> m_factoryModules;
    std::string m_pendingFirmware;
    bool m_pendingRestore = false;
    std::set<std::string> m_restoreKeep;
    std::string m_lastError;
    std::list<SDelayed> m_delayed;
    std::deque<nlohmann::json> m_records;
    int m_restarts = 0;
};

} // namespace devsim
