#include "CFleetBuilder.h"

#include "CDeviceJson.h"
#include "StringUtil.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace devsim {

namespace {

std::string macFor(uint32_t address)
{
    // 02: a locally administered unicast address, so it never clashes with a real maker's.
    char text[32];
    std::snprintf(text, sizeof text, "02-A5-%02X-%02X-%02X-%02X", (address >> 24) & 0xff,
                  (address >> 16) & 0xff, (address >> 8) & 0xff, address & 0xff);
    return text;
}

std::string programDir(const std::string& programPath)
{
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string path = n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : programPath;
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

SModule module(int index, const char* name, const char* version, const char* status)
{
    SModule m;
    m.index = index;
    m.name = name;
    m.version = version;
    m.status = status;
    return m;
}

bool fileExists(const std::string& path)
{
    return access(path.c_str(), R_OK) == 0;
}

} // namespace

bool CFleetBuilder::loadTables(const std::string& programPath, std::string* error)
{
    std::string dir = m_options.dataDir;
    if (dir.empty()) {
        const std::string beside = programDir(programPath) + "/devicesim-data";
        dir = fileExists(beside + "/camera-params.txt") ? beside : DEVSIM_SOURCE_DATA_DIR;
    }
    if (!m_cameraTable.loadFile(dir + "/camera-params.txt", error) ||
        !m_recorderTable.loadFile(dir + "/recorder-params.txt", error))
        return false;
    // What differs per camera model (a fisheye's square frames, ...).
    static const std::string prefix = "camera-params-";
    static const std::string suffix = ".txt";
    if (DIR* folder = opendir(dir.c_str())) {
        while (dirent* entry = readdir(folder)) {
            const std::string name = entry->d_name;
            if (name.size() <= prefix.size() + suffix.size() || !startsWith(name, prefix) ||
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
                continue;
            const std::string model =
                name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
            if (!m_modelTables[model].loadFile(dir + "/" + name, error)) {
                closedir(folder);
                return false;
            }
        }
        closedir(folder);
    }
    return true;
}

void CFleetBuilder::applyModelParams(const std::string& model, CParamTable* params) const
{
    auto it = m_modelTables.find(model);
    if (it == m_modelTables.end())
        it = m_modelTables.find(model.substr(0, 6));
    if (it == m_modelTables.end())
        return;
    for (const auto& pair : it->second.all())
        params->set(pair.first, pair.second);
}

SDeviceState CFleetBuilder::makeDefault(int index, uint32_t address, bool recorder,
                                        int modelTurn) const
{
    SDeviceState s;
    s.index = index;
    s.address = address;
    s.httpPort = m_options.httpPort;
    s.httpsPort = m_options.httpsPort;
    s.recorder = recorder;
    const auto& models = recorder ? m_options.recorderModels : m_options.models;
    s.model = models[static_cast<std::size_t>(modelTurn) % models.size()];
    s.extendedModel = s.model;
    s.firmwareVersion = m_options.firmwareVersion;
    s.mac = macFor(address);
    s.channels = recorder ? 16 : 1;
    s.user = m_options.user;
    s.password = m_options.password;
    s.authMode = m_options.auth;
    s.restartMs = m_options.restartMs;
    s.reportBytes = m_options.reportBytes;
    if (m_options.dhcpFirst)
        s.dhcpAddress = m_options.dhcpFirst + static_cast<uint32_t>(index);
    s.params = recorder ? m_recorderTable : m_cameraTable;
    if (!recorder)
        applyModelParams(s.model, &s.params);
    s.params.set("system_hostname", s.model + "-" + s.serial().substr(8));
    if (recorder) {
        s.sdCards = {{"ready", 3906250000ULL, 1234567890ULL}, {"ready", 3906250000ULL, 0}};
    } else {
        s.sdCards = {{"ready", 31166976ULL, 7791744ULL}};
        if (m_options.defaultModules) {
            // A varied but fixed mix of applications, so that every module page has devices.
            switch (index % 5) {
            case 0:
                s.modules = {module(0, "VCA", "2.1.0", "on")};
                break;
            case 1:
                s.modules = {module(0, "Trend Micro IoT Security", "1.3.0", "on")};
                break;
            case 3:
                s.modules = {module(0, "Rureru Revevaz", "1.0.8", "off"),
                             module(2, "VCA", "2.1.0", "on")};
                break;
            case 4:
                s.modules = {module(1, "ANPR", "3.2.6.5", "on")};
                break;
            default:
                break;
            }
        }
    }
    return s;
}

bool CFleetBuilder::makeDevice(const nlohmann::json& description, int index,
                               uint32_t fallbackAddress, SDeviceState* state,
                               std::string* error) const
{
    uint32_t address = fallbackAddress;
    if (description.contains("ip") && description["ip"].is_string() &&
        !parseIPv4(description["ip"].get<std::string>(), &address)) {
        *error = "invalid ip";
        return false;
    }
    const bool recorder = description.value("recorder", false);
    SDeviceState s = makeDefault(index, address, recorder, index);
    // A recorder named by its model alone is recognised by the recorder prefixes.
    if (description.contains("model") && description["model"].is_string() &&
        !description.contains("recorder")) {
        const std::string model = description["model"].get<std::string>();
        for (const char* prefix : {"NV", "NR", "ND", "W", "X"})
            if (startsWith(model, prefix) && !s.recorder)
                s = makeDefault(index, address, true, index);
    }
    // A camera of another model than its turn's starts from that model's parameters; those of
    // the description still win.
    if (!s.recorder && description.contains("model") && description["model"].is_string() &&
        description["model"].get<std::string>() != s.model) {
        s.params = m_cameraTable;
        applyModelParams(description["model"].get<std::string>(), &s.params);
        s.params.set("system_hostname",
                     description["model"].get<std::string>() + "-" + s.serial().substr(8));
    }
    if (!CDeviceJson::apply(description, &s, error))
        return false;
    if (!description.contains("extendedModel"))
        s.extendedModel = s.model;
    if (!description.contains("mac"))
        s.mac = macFor(s.address);
    if (s.mac.size() != 17) {
        *error = "mac must read like 02-A5-7F-00-0A-05";
        return false;
    }
    *state = s;
    return true;
}

bool CFleetBuilder::build(std::vector<SDeviceState>* devices, std::string* error)
{
    const int cameras = m_options.count - m_options.recorders;
    for (int i = 0; i < m_options.count; ++i) {
        const bool recorder = i >= cameras;
        SDeviceState s = makeDefault(i, m_options.firstIp + static_cast<uint32_t>(i), recorder,
                                     recorder ? i - cameras : i);
        s.firstUse = i < m_options.factoryNew;
        if (s.firstUse)
            s.password.clear();
        devices->push_back(s);
    }
    if (m_options.fleetFile.empty())
        return true;
    std::ifstream in(m_options.fleetFile);
    if (!in) {
        *error = "cannot read " + m_options.fleetFile;
        return false;
    }
    nlohmann::json fleet = nlohmann::json::parse(in, nullptr, false);
    if (fleet.is_discarded()) {
        *error = m_options.fleetFile + " is not valid JSON";
        return false;
    }
    if (fleet.is_object())
        fleet = fleet.value("devices", nlohmann::json::array());
    if (!fleet.is_array()) {
        *error = "the fleet file must hold an array of devices or {\"devices\": [...]}";
        return false;
    }
    uint32_t next = devices->empty() ? m_options.firstIp : devices->back().address + 1;
    for (const auto& description : fleet) {
        const int repeat = description.is_object() ? description.value("count", 1) : 1;
        for (int r = 0; r < repeat; ++r) {
            nlohmann::json one = description;
            if (r > 0)
                one.erase("ip");
            SDeviceState s;
            if (!makeDevice(one, static_cast<int>(devices->size()), next, &s, error)) {
                *error = m_options.fleetFile + ": " + *error;
                return false;
            }
            if (s.address == 0) {
                *error = m_options.fleetFile + ": a device needs an \"ip\" (or --first-ip)";
                return false;
            }
            if (s.firstUse && !one.contains("password"))
                s.password.clear();
            next = s.address + 1;
            devices->push_back(s);
        }
    }
    return true;
}

} // namespace devsim
