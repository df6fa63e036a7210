#include "CControlServer.h"

#include "CDeviceJson.h"
#include "CSimulator.h"
#include "StringUtil.h"

#include <arpa/inet.h>
#include <event2/buffer.h>
#include <event2/http.h>
#include <event2/util.h>
#include <netinet/in.h>

namespace devsim {

CControlServer::~CControlServer()
{
    if (m_http)
        evhttp_free(m_http);
}

bool CControlServer::start(int port, std::string* error)
{
    m_http = evhttp_new(m_simulator.base());
    evhttp_set_allowed_methods(m_http, EVHTTP_REQ_GET | EVHTTP_REQ_POST | EVHTTP_REQ_DELETE);
    evhttp_set_gencb(m_http, &CControlServer::onRequest, this);
    evhttp_bound_socket* socket =
        evhttp_bind_socket_with_handle(m_http, "127.0.0.1", static_cast<uint16_t>(port));
    if (!socket) {
        *error = "cannot listen on 127.0.0.1:" + std::to_string(port) + " for control";
        return false;
    }
    sockaddr_in sin{};
    socklen_t len = sizeof sin;
    getsockname(evhttp_bound_socket_get_fd(socket), reinterpret_cast<sockaddr*>(&sin), &len);
    m_port = ntohs(sin.sin_port);
    return true;
}

void CControlServer::onRequest(evhttp_request* req, void* arg)
{
    static_cast<CControlServer*>(arg)->handle(req);
}

void CControlServer::reply(evhttp_request* req, int status, const nlohmann::json& body)
{
    evhttp_add_header(evhttp_request_get_output_headers(req), "Content-Type", "application/json");
    evbuffer* buffer = evbuffer_new();
    const std::string text = body.dump();
    evbuffer_add(buffer, text.data(), text.size());
    evhttp_send_reply(req, status, status == 200 ? "OK" : "Error", buffer);
    evbuffer_free(buffer);
}

void CControlServer::handle(evhttp_request* req)
{
    using nlohmann::json;
    const std::string uri = evhttp_request_get_uri(req);
    const std::string path = uri.substr(0, uri.find('?'));
    const evhttp_cmd_type method = evhttp_request_get_command(req);
    evbuffer* input = evhttp_request_get_input_buffer(req);
    std::string bodyText(evbuffer_get_length(input), '\0');
    if (!bodyText.empty())
        evbuffer_copyout(input, &bodyText[0], bodyText.size());
    json body = bodyText.empty() ? json::object() : json::parse(bodyText, nullptr, false);
    if (body.is_discarded())
        return reply(req, 400, {{"error", "the body is not valid JSON"}});

    std::vector<std::string> parts;
    for (const std::string& p : split(path, '/'))
        if (!p.empty())
            parts.push_back(p);
    if (parts.empty() || parts[0] != "devices")
        return reply(req, 404, {{"error", "unknown path"}});

    std::string error;
    if (parts.size() == 1) {
        if (method == EVHTTP_REQ_GET) {
            json list = json::array();
            for (const auto& device : m_simulator.devices()) {
                json j = device->toJson();
                j.erase("received");
                list.push_back(j);
            }
            return reply(req, 200, {{"devices", list}});
        }
        if (method == EVHTTP_REQ_POST) {
            CVirtualDevice* device = m_simulator.addDevice(body, &error);
            if (!device)
                return reply(req, 400, {{"error", error}});
            return reply(req, 200, device->toJson());
        }
        return reply(req, 405, {{"error", "method not allowed"}});
    }

    const std::string ip = parts[1];
    CVirtualDevice* device = m_simulator.find(ip);
    if (!device)
        return reply(req, 404, {{"error", "no device at " + ip}});
    const std::string action = parts.size() > 2 ? parts[2] : "";
    if (action.empty()) {
        if (method == EVHTTP_REQ_GET)
            return reply(req, 200, device->toJson());
        if (method == EVHTTP_REQ_DELETE) {
            m_simulator.removeDevice(ip);
            return reply(req, 200, {{"removed", ip}});
        }
        if (method == EVHTTP_REQ_POST) {
            if (!device->applyJson(body, &error))
                return reply(req, 400, {{"error", error}});
            return reply(req, 200, device->toJson());
        }
    } else if (action == "fault" && method == EVHTTP_REQ_POST) {
        SFault fault;
        const json& spec = body.contains("fault") ? body["fault"] : body;
        if (!CDeviceJson::parseFault(spec, &fault, &error))
            return reply(req, 400, {{"error", error}});
        device->setFault(fault);
        return reply(req, 200, device->toJson());
    } else if (action == "restart" && method == EVHTTP_REQ_POST) {
        device->scheduleRestart();
        return reply(req, 200, device->toJson());
    } else if (action == "received") {
        if (method == EVHTTP_REQ_DELETE) {
            device->clearRecords();
            return reply(req, 200, json::array());
        }
        if (method == EVHTTP_REQ_GET)
            return reply(req, 200, device->toJson()["received"]);
    }
    return reply(req, 404, {{"error", "unknown action"}});
}

} // namespace devsim
