#include "CVirtualDevice.h"

#include "CCgiHandler.h"
#include "CDeviceJson.h"
#include "StringUtil.h"

#include <event2/buffer.h>
#include <event2/http.h>
#include <event2/keyvalq_struct.h>

#include <chrono>

namespace devsim {

namespace {

constexpr std::size_t kRecordLimit = 256;
// How long a device keeps answering after it accepted a restart, so that its reply (and the
// other requests of the same batch) still get out.
constexpr int kGoDownDelayMs = 300;

const char* methodName(evhttp_cmd_type type)
{
    switch (type) {
    case EVHTTP_REQ_GET:
        return "GET";
    case EVHTTP_REQ_POST:
        return "POST";
    case EVHTTP_REQ_HEAD:
        return "HEAD";
    case EVHTTP_REQ_PUT:
        return "PUT";
    case EVHTTP_REQ_DELETE:
        return "DELETE";
    default:
        return "OTHER";
    }
}

const char* reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

bool keptByRestore(const std::string& name, const std::set<std::string>& keep)
{
    if (keep.count("net") && startsWith(name, "network_"))
        return true;
    if (keep.count("dst") && startsWith(name, "system_daylight"))
        return true;
    if (keep.count("lang") && startsWith(name, "system_language"))
        return true;
    if (keep.count("zapk") && startsWith(name, "zapk_"))
        return true;
    if (keep.count("focusvalue") && name.find("focus") != std::string::npos)
        return true;
    if (keep.count("len") && name.find("lens") != std::string::npos)
        return true;
    return false;
}

bool isLoopback(uint32_t address)
{
    return (address >> 24) == 127;
}

} // namespace

CVirtualDevice::CVirtualDevice(event_base* base, SSL_CTX* tls, SDeviceState state)
    : m_base(base), m_state(std::move(state)), m_http(base, nullptr), m_https(base, tls),
      m_downTimer(base, [this] { goDown(); }), m_upTimer(base, [this] { comeBack(); })
{
    refreshGeneratedParams();
    m_state.params.set("network_ipaddress", formatIPv4(m_state.address));
    m_state.params.set("network_http_port", std::to_string(m_state.httpPort));
    m_state.params.set("network_https_port", std::to_string(m_state.httpsPort));
    m_state.factoryParams = m_state.params;
    m_factoryModules = m_state.modules;
    m_state.factoryAddress = m_state.address;
}

CVirtualDevice::~CVirtualDevice()
{
    stop();
}

std::string CVirtualDevice::ip() const
{
    return formatIPv4(m_state.address);
}

bool CVirtualDevice::answersDiscovery() const
{
    return m_life == ELife::Online && m_state.fault.kind != "offline";
}

bool CVirtualDevice::isConnectionFault(const std::string& kind)
{
    return kind == "silent" || kind == "reset" || kind == "truncated" || kind == "endless";
}

bool CVirtualDevice::openEndpoints(std::string* error)
{
    m_http.close();
    m_https.close();
    if (m_state.fault.kind == "offline")
        return true;
    if (!isLoopback(m_state.address)) {
        // The simulator serves loopback addresses only; a device sent elsewhere is gone.
        if (error)
            *error = "address " + ip() + " is outside 127.0.0.0/8";
        return false;
    }
    const std::string raw = isConnectionFault(m_state.fault.kind) ? m_state.fault.kind : "";
    if (m_state.httpPort > 0 && !m_http.open(
                                    m_state.address, m_state.httpPort, raw,
                                    [this](evhttp_request* req) { onRequest(req, false); }, error))
        return false;
    if (m_state.httpsPort > 0 &&
        !m_https.open(
            m_state.address, m_state.httpsPort, raw,
            [this](evhttp_request* req) { onRequest(req, true); }, error)) {
        m_http.close();
        return false;
    }
    return true;
}

bool CVirtualDevice::start(std::string* error)
{
    if (!openEndpoints(error)) {
        m_life = ELife::Unreachable;
        if (error)
            m_lastError = *error;
        return false;
    }
    m_life = ELife::Online;
    return true;
}

void CVirtualDevice::stop()
{
    m_downTimer.stop();
    m_upTimer.stop();
    cancelDelayed();
    m_http.close();
    m_https.close();
    m_life = ELife::Stopped;
}

void CVirtualDevice::cancelDelayed()
{
    for (SDelayed& d : m_delayed) {
        // A request whose connection already went away belongs to nobody but us.
        if (!evhttp_request_get_connection(d.req))
            evhttp_request_free(d.req);
    }
    m_delayed.clear();
}

void CVirtualDevice::scheduleRestart(int goDownMs)
{
    if (m_life != ELife::Online || m_downTimer.isActive())
        return;
    m_downTimer.start(goDownMs < 0 ? kGoDownDelayMs : goDownMs);
}

void CVirtualDevice::setPendingRestore(const std::set<std::string>& keep)
{
    m_pendingRestore = true;
    m_restoreKeep = keep;
}

void CVirtualDevice::goDown()
{
    cancelDelayed();
    m_http.close();
    m_https.close();
    m_life = ELife::Restarting;
    ++m_restarts;
    m_upTimer.start(m_state.restartMs);
}

void CVirtualDevice::applyRestore()
{
    CParamTable restored = m_state.factoryParams;
    for (const auto& [name, value] : m_state.params.all())
        if (keptByRestore(name, m_restoreKeep))
            restored.set(name, value);
    m_state.params = restored;
    if (!m_restoreKeep.count("zapk"))
        m_state.modules = m_factoryModules;
    // A factory reset forgets the accounts: the device waits for its first password again.
    m_state.password.clear();
    m_state.firstUse = true;
    m_pendingRestore = false;
    m_restoreKeep.clear();
}

void CVirtualDevice::applyNetworkSettings()
{
    CParamTable& params = m_state.params;
    uint32_t address = m_state.address;
    if (params.value("network_resetip") == "1") {
        if (m_state.dhcpAddress)
            address = m_state.dhcpAddress;
    } else {
        uint32_t fixed = 0;
        if (parseIPv4(params.value("network_ipaddress"), &fixed) && fixed != 0)
            address = fixed;
    }
    auto port = [&params](const char* name, int current) {
        const std::string text = params.value(name);
        if (text.empty() || text.size() > 5 ||
            text.find_first_not_of("0123456789") != std::string::npos)
            return current;
        const int value = std::stoi(text);
        return value >= 1 && value <= 65535 ? value : current;
    };
    m_state.httpPort = port("network_http_port", m_state.httpPort);
    m_state.httpsPort = port("network_https_port", m_state.httpsPort);
    m_state.address = address;
}

void CVirtualDevice::comeBack()
{
    if (!m_pendingFirmware.empty()) {
        m_state.firmwareVersion = m_pendingFirmware;
        m_pendingFirmware.clear();
    }
    if (m_pendingRestore) {
        const bool keepNetwork = m_restoreKeep.count("net") != 0;
        applyRestore();
        if (!keepNetwork) {
            m_state.address = m_state.factoryAddress;
            m_state.httpPort = std::stoi(m_state.factoryParams.value("network_http_port", "80"));
            m_state.httpsPort = std::stoi(m_state.factoryParams.value("network_https_port", "443"));
        } else {
            applyNetworkSettings();
        }
    } else {
        applyNetworkSettings();
    }
    refreshGeneratedParams();
    m_state.params.set("network_ipaddress", ip());
    m_state.params.set("network_http_port", std::to_string(m_state.httpPort));
    m_state.params.set("network_https_port", std::to_string(m_state.httpsPort));
    reopenEndpoints();
}

void CVirtualDevice::setFault(const SFault& fault)
{
    const std::string before = m_state.fault.kind;
    m_state.fault = fault;
    const bool wasBelowHttp = before == "offline" || isConnectionFault(before);
    const bool isBelowHttp = fault.kind == "offline" || isConnectionFault(fault.kind);
    const bool modeChanged = (wasBelowHttp || isBelowHttp) && before != fault.kind;
    if (modeChanged && (m_life == ELife::Online || m_life == ELife::Unreachable)) {
        reopenEndpoints();
    }
}

void CVirtualDevice::reopenEndpoints()
{
    cancelDelayed();
    std::string error;
    if (openEndpoints(&error)) {
        m_life = ELife::Online;
        m_lastError.clear();
    } else {
        m_life = ELife::Unreachable;
        m_lastError = error;
    }
}

void CVirtualDevice::refreshGeneratedParams()
{
    CParamTable& p = m_state.params;
    p.set("system_info_modelname", m_state.model);
    p.set("system_info_extendedmodelname", m_state.extendedModel);
    p.set("system_info_serialnumber", m_state.serial());
    p.set("system_info_firmwareversion", m_state.identification());
    p.set("capability_nvideoin", std::to_string(m_state.channels));
    for (int i = 0; i < 32; ++i)
        p.removePrefix("zapk_module_i" + std::to_string(i));
    if (m_state.recorder)
        return;
    p.set("zapk_module_number", std::to_string(m_state.modules.size()));
    for (const SModule& m : m_state.modules) {
        const std::string prefix = "zapk_module_i" + std::to_string(m.index) + "_";
        p.set(prefix + "name", m.name);
        p.set(prefix + "extendedname", m.extendedName);
        p.set(prefix + "version", m.version);
        p.set(prefix + "status", m.status);
        p.set(prefix + "license", m.license);
    }
}

void CVirtualDevice::record(nlohmann::json entry)
{
    entry["time"] = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    m_records.push_back(std::move(entry));
    while (m_records.size() > kRecordLimit)
        m_records.pop_front();
}

void CVirtualDevice::onRequest(evhttp_request* req, bool https)
{
    SHttpRequest request;
    request.method = methodName(evhttp_request_get_command(req));
    request.uri = evhttp_request_get_uri(req);
    const auto question = request.uri.find('?');
    request.path = request.uri.substr(0, question);
    if (question != std::string::npos)
        request.query = request.uri.substr(question + 1);
    evkeyvalq* headers = evhttp_request_get_input_headers(req);
    for (evkeyval* h = headers->tqh_first; h; h = h->next.tqe_next)
        request.headers[toLower(h->key)] = h->value;
    evbuffer* input = evhttp_request_get_input_buffer(req);
    const std::size_t size = evbuffer_get_length(input);
    request.body.resize(size);
    if (size)
        evbuffer_copyout(input, &request.body[0], size);
    request.https = https;
    request.host = ip();
    request.port = https ? m_state.httpsPort : m_state.httpPort;

    SHttpResponse response = CCgiHandler::handle(*this, request);
    if (response.delayMs <= 0) {
        sendResponse(req, response);
        return;
    }
    m_delayed.emplace_back();
    auto it = std::prev(m_delayed.end());
    it->req = req;
    it->response = response;
    it->timer = std::make_unique<CTimer>(m_base, [this, it] {
        evhttp_request* held = it->req;
        SHttpResponse reply = it->response;
        m_delayed.erase(it);
        sendResponse(held, reply);
    });
    it->timer->start(response.delayMs);
}

void CVirtualDevice::sendResponse(evhttp_request* req, const SHttpResponse& response)
{
    evkeyvalq* out = evhttp_request_get_output_headers(req);
    evhttp_add_header(out, "Server", "QXOR-httpd");
    for (const auto& [name, value] : response.headers)
        evhttp_add_header(out, name.c_str(), value.c_str());
    evbuffer* body = evbuffer_new();
    evbuffer_add(body, response.body.data(), response.body.size());
    evhttp_send_reply(req, response.status, reasonPhrase(response.status), body);
    evbuffer_free(body);
}

nlohmann::json CVirtualDevice::toJson() const
{
    using nlohmann::json;
    static const char* lifeNames[] = {"stopped", "online", "restarting", "unreachable"};
    std::string life = lifeNames[static_cast<int>(m_life)];
    if (m_life == ELife::Online && m_state.fault.kind == "offline")
        life = "offline";
    json modules = json::array();
    for (const SModule& m : m_state.modules)
        modules.push_back({{"index", m.index},
                           {"name", m.name},
                           {"extendedName", m.extendedName},
                           {"version", m.version},
                           {"status", m.status},
                           {"license", m.license},
                           {"signature", m.signature},
                           {"updateMode", m.updateMode},
                           {"configSize", m.config.size()}});
    json overrides = json::object();
    for (const auto& [name, value] : m_state.replyOverrides)
        overrides[name] = value ? json(*value) : json(nullptr);
    json cards = json::array();
    for (const SSdCard& c : m_state.sdCards)
        cards.push_back({{"cond", c.cond}, {"totalSize", c.totalSize}, {"usedSpace", c.usedSpace}});
    return {{"index", m_state.index},
            {"ip", ip()},
            {"state", life},
            {"httpPort", m_state.httpPort},
            {"httpsPort", m_state.httpsPort},
            {"model", m_state.model},
            {"extendedModel", m_state.extendedModel},
            {"firmware", m_state.identification()},
            {"firmwareVersion", m_state.firmwareVersion},
            {"mac", m_state.mac},
            {"serial", m_state.serial()},
            {"recorder", m_state.recorder},
            {"channels", m_state.channels},
            {"user", m_state.user},
            {"password", m_state.password},
            {"auth", CHttpAuth::modeName(m_state.authMode)},
            {"firstUse", m_state.firstUse},
            {"modules", modules},
            {"sdCards", cards},
            {"fault",
             {{"kind", m_state.fault.kind},
              {"status", m_state.fault.status},
              {"delayMs", m_state.fault.delayMs},
              {"path", m_state.fault.path},
              {"location", m_state.fault.location}}},
            {"restartMs", m_state.restartMs},
            {"restarts", m_restarts},
            {"dhcpAddress", m_state.dhcpAddress ? formatIPv4(m_state.dhcpAddress) : ""},
            {"uploadRefusalStatus", m_state.uploadRefusalStatus},
            {"upgradeGoDownMs", m_state.upgradeGoDownMs},
            {"exportFileName", m_state.exportFileName},
            {"reportBytes", m_state.reportBytes},
            {"replyOverrides", overrides},
            {"lastError", m_lastError},
            {"received", json(m_records)}};
}

} // namespace devsim

namespace devsim {

bool CVirtualDevice::applyJson(const nlohmann::json& changes, std::string* error)
{
    SDeviceState copy = m_state;
    if (!CDeviceJson::apply(changes, &copy, error))
        return false;
    const bool moved = copy.address != m_state.address || copy.httpPort != m_state.httpPort ||
                       copy.httpsPort != m_state.httpsPort;
    const SFault fault = copy.fault;
    copy.fault = m_state.fault;
    m_state = std::move(copy);
    if (changes.contains("clearReceived") && changes["clearReceived"] == true)
        clearRecords();
    refreshGeneratedParams();
    if (moved) {
        m_state.params.set("network_ipaddress", ip());
        m_state.params.set("network_http_port", std::to_string(m_state.httpPort));
        m_state.params.set("network_https_port", std::to_string(m_state.httpsPort));
        if (m_life == ELife::Online || m_life == ELife::Unreachable)
            reopenEndpoints();
    }
    setFault(fault);
    return true;
}

} // namespace devsim
