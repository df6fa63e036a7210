#include "CDeviceJson.h"

#include "StringUtil.h"

namespace devsim {

namespace {

bool fail(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}

bool readModule(const nlohmann::json& j, SModule* m, std::string* error)
{
    if (!j.is_object())
        return fail(error, "a module must be an object");
    m->index = j.value("index", m->index);
    m->name = j.value("name", m->name);
    m->extendedName = j.value("extendedName", m->extendedName);
    m->version = j.value("version", m->version);
    m->status = j.value("status", m->status);
    m->license = j.value("license", m->license);
    m->signature = j.value("signature", m->signature);
    m->updateMode = j.value("updateMode", m->updateMode);
    if (m->index < 0 || m->index > 31)
        return fail(error, "module index out of 0..31");
    return true;
}

} // namespace

bool CDeviceJson::isFaultKind(const std::string& kind)
{
    static const char* const kinds[] = {
        "none",  "offline", "silent",    "slow",    "status",      "redirect-once", "redirect-loop",
        "reset", "garbage", "truncated", "endless", "auth-reject", "refuse-uploads"};
    for (const char* k : kinds)
        if (kind == k)
            return true;
    return false;
}

bool CDeviceJson::parseFault(const nlohmann::json& j, SFault* fault, std::string* error)
{
    if (j.is_string()) {
        *fault = SFault();
        fault->kind = j.get<std::string>();
    } else if (j.is_object()) {
        SFault f;
        f.kind = j.value("kind", std::string("none"));
        f.status = j.value("status", f.status);
        f.delayMs = j.value("delayMs", f.delayMs);
        f.path = j.value("path", f.path);
        f.location = j.value("location", f.location);
        *fault = f;
    } else {
        return fail(error, "fault must be a kind or an object");
    }
    if (!isFaultKind(fault->kind))
        return fail(error, "unknown fault kind: " + fault->kind);
    if (fault->status < 100 || fault->status > 599)
        return fail(error, "fault status out of 100..599");
    if (fault->delayMs < 0)
        return fail(error, "fault delayMs must not be negative");
    return true;
}

bool CDeviceJson::apply(const nlohmann::json& changes, SDeviceState* state, std::string* error)
{
    if (!changes.is_object())
        return fail(error, "expected a JSON object");
    try {
        for (const auto& [key, value] : changes.items()) {
            if (key == "ip") {
                uint32_t address = 0;
                if (!parseIPv4(value.get<std::string>(), &address))
                    return fail(error, "invalid ip");
                state->address = address;
            } else if (key == "httpPort") {
                state->httpPort = value.get<int>();
            } else if (key == "httpsPort") {
                state->httpsPort = value.get<int>();
            } else if (key == "model") {
                state->model = value.get<std::string>();
            } else if (key == "extendedModel") {
                state->extendedModel = value.get<std::string>();
            } else if (key == "firmwareVersion") {
                state->firmwareVersion = value.get<std::string>();
            } else if (key == "mac") {
                state->mac = value.get<std::string>();
            } else if (key == "recorder") {
                state->recorder = value.get<bool>();
            } else if (key == "channels") {
                state->channels = value.get<int>();
            } else if (key == "user") {
                state->user = value.get<std::string>();
            } else if (key == "password") {
                state->password = value.get<std::string>();
            } else if (key == "auth") {
                if (!CHttpAuth::parseMode(value.get<std::string>(), &state->authMode))
                    return fail(error, "auth must be basic or digest");
            } else if (key == "firstUse") {
                state->firstUse = value.get<bool>();
            } else if (key == "restartMs") {
                state->restartMs = value.get<int>();
            } else if (key == "uploadRefusalStatus") {
                state->uploadRefusalStatus = value.get<int>();
            } else if (key == "upgradeGoDownMs") {
                state->upgradeGoDownMs = value.get<int>();
                if (state->upgradeGoDownMs < 0)
                    return fail(error, "upgradeGoDownMs must not be negative");
            } else if (key == "replyOverrides") {
                // name -> value answers that value; name -> null leaves the name out; an empty
                // object clears every override.
                if (value.empty())
                    state->replyOverrides.clear();
                for (const auto& [name, v] : value.items()) {
                    if (v.is_null())
                        state->replyOverrides[name] = std::nullopt;
                    else
                        state->replyOverrides[name] =
                            v.is_string() ? v.get<std::string>() : v.dump();
                }
            } else if (key == "reportBytes") {
                state->reportBytes = value.get<int>();
                if (state->reportBytes < 0)
                    return fail(error, "reportBytes must not be negative");
            } else if (key == "exportFileName") {
                state->exportFileName = value.get<std::string>();
            } else if (key == "dhcpAddress") {
                uint32_t address = 0;
                const std::string text = value.get<std::string>();
                if (!text.empty() && !parseIPv4(text, &address))
                    return fail(error, "invalid dhcpAddress");
                state->dhcpAddress = address;
            } else if (key == "fault") {
                if (!parseFault(value, &state->fault, error))
                    return false;
            } else if (key == "modules") {
                std::vector<SModule> modules;
                for (const auto& item : value) {
                    SModule m;
                    m.index = static_cast<int>(modules.size());
                    if (!readModule(item, &m, error))
                        return false;
                    modules.push_back(m);
                }
                state->modules = modules;
            } else if (key == "sdCards") {
                std::vector<SSdCard> cards;
                for (const auto& item : value) {
                    SSdCard c;
                    c.cond = item.value("cond", c.cond);
                    c.totalSize = item.value("totalSize", c.totalSize);
                    c.usedSpace = item.value("usedSpace", c.usedSpace);
                    cards.push_back(c);
                }
                state->sdCards = cards;
            } else if (key == "params") {
                // name -> value sets a parameter; name -> null removes it.
                for (const auto& [name, v] : value.items()) {
                    if (v.is_null())
                        state->params.remove(name);
                    else
                        state->params.set(name, v.is_string() ? v.get<std::string>() : v.dump());
                }
            } else if (key == "count" || key == "index" || key == "clearReceived") {
                // handled by the caller
            } else {
                return fail(error, "unknown key: " + key);
            }
        }
    } catch (const nlohmann::json::exception& e) {
        return fail(error, std::string("invalid value: ") + e.what());
    }
    if (state->httpPort < 0 || state->httpPort > 65535 || state->httpsPort < 0 ||
        state->httpsPort > 65535)
        return fail(error, "port out of range");
    if (state->restartMs < 0)
        return fail(error, "restartMs must not be negative");
    if (state->model.empty() || state->model.find('-') != std::string::npos ||
        state->firmwareVersion.find('-') != std::string::npos)
        return fail(error, "model and firmwareVersion must not be empty or hold \"-\"");
    return true;
}

} // namespace devsim
