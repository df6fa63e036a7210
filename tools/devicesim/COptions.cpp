#include "COptions.h"

#include "StringUtil.h"

#include <cstdlib>

namespace devsim {

namespace {

bool toInt(const std::string& text, int minimum, int maximum, int* out)
{
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int value = std::atoi(text.c_str());
    if (value < minimum || value > maximum)
        return false;
    *out = value;
    return true;
}

std::vector<std::string> toList(const std::string& text)
{
    std::vector<std::string> out;
    for (const std::string& item : split(text, ','))
        if (!trim(item).empty())
            out.push_back(trim(item));
    return out;
}

} // namespace

std::string COptions::usage()
{
    return "usage: ardmere-devicesim --count N --first-ip A.B.C.D [options]\n"
           "  --http-port P          HTTP port of every device (80)\n"
           "  --https-port P         HTTPS port of every device (443)\n"
           "  --user NAME            account of every device (root)\n"
           "  --password PASS        its password (ardmere1)\n"
           "  --auth digest|basic    HTTP authentication (digest)\n"
           "  --models LIST          camera models, comma-separated, used in turn\n"
           "  --recorder-models LIST recorder models (NR9782,ND9541)\n"
           "  --recorders K          the last K devices are recorders\n"
           "  --factory-new K        the first K devices wait for their first password\n"
           "  --fleet FILE           further devices described in JSON\n"
           "  --control-port P       JSON control interface on 127.0.0.1:P (0: any free port)\n"
           "  --discovery-port P     UDP port of discovery (5678)\n"
           "  --restart-ms MS        how long a restart takes (3000)\n"
           "  --report-bytes N       pad every camera's server report to N bytes\n"
           "  --firmware VERSION     firmware version of every device (0104a)\n"
           "  --dhcp-first A.B.C.D   address that \"DHCP\" gives device i: this + i\n"
           "  --data-dir DIR         folder of camera-params.txt and recorder-params.txt\n"
           "  --no-modules           cameras start without camera applications\n";
}

bool COptions::parse(int argc, char** argv, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            m_help = true;
            return false;
        }
        if (arg == "--no-modules") {
            defaultModules = false;
            continue;
        }
        if (i + 1 >= argc) {
            *error = "missing value after " + arg;
            return false;
        }
        const std::string value = argv[++i];
        bool ok = true;
        if (arg == "--count")
            ok = toInt(value, 0, 65536, &count);
        else if (arg == "--first-ip")
            ok = parseIPv4(value, &firstIp);
        else if (arg == "--http-port")
            ok = toInt(value, 0, 65535, &httpPort);
        else if (arg == "--https-port")
            ok = toInt(value, 0, 65535, &httpsPort);
        else if (arg == "--user")
            user = value;
        else if (arg == "--password")
            password = value;
        else if (arg == "--auth")
            ok = CHttpAuth::parseMode(value, &auth);
        else if (arg == "--models")
            ok = !(models = toList(value)).empty();
        else if (arg == "--recorder-models")
            ok = !(recorderModels = toList(value)).empty();
        else if (arg == "--recorders")
            ok = toInt(value, 0, 65536, &recorders);
        else if (arg == "--factory-new")
            ok = toInt(value, 0, 65536, &factoryNew);
        else if (arg == "--fleet")
            fleetFile = value;
        else if (arg == "--control-port")
            ok = toInt(value, 0, 65535, &controlPort);
        else if (arg == "--discovery-port")
            ok = toInt(value, 0, 65535, &discoveryPort);
        else if (arg == "--restart-ms")
            ok = toInt(value, 0, 3600000, &restartMs);
        else if (arg == "--report-bytes")
            ok = toInt(value, 0, 1 << 30, &reportBytes);
        else if (arg == "--firmware")
            ok = !value.empty() && value.find('-') == std::string::npos &&
                 !(firmwareVersion = value).empty();
        else if (arg == "--dhcp-first")
            ok = parseIPv4(value, &dhcpFirst);
        else if (arg == "--data-dir")
            dataDir = value;
        else {
            *error = "unknown option " + arg;
            return false;
        }
        if (!ok) {
            *error = "invalid value for " + arg + ": " + value;
            return false;
        }
    }
    for (const auto& list : {models, recorderModels})
        for (const std::string& m : list)
            if (m.find('-') != std::string::npos) {
                *error = "a model name must not contain \"-\": " + m;
                return false;
            }
    if (count > 0 && firstIp == 0) {
        *error = "--first-ip is required";
        return false;
    }
    if (count == 0 && fleetFile.empty()) {
        *error = "--count or --fleet is required";
        return false;
    }
    if (recorders > count || factoryNew > count) {
        *error = "--recorders and --factory-new cannot exceed --count";
        return false;
    }
    return true;
}

} // namespace devsim
