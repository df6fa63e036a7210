#pragma once

#include "CHttpAuth.h"

#include <cstdint>
#include <string>
#include <vector>

namespace devsim {

// The simulator's command line.
class COptions
{
public:
    // False with a message on an invalid command line; helpRequested() tells --help apart.
    bool parse(int argc, char** argv, std::string* error);
    bool helpRequested() const { return m_help; }
    static std::string usage();

    int count = 0;
    uint32_t firstIp = 0;
    int httpPort = 80;
    int httpsPort = 443;
    std::string user = "root";
    std::string password = "ardmere1";
    EAuthMode auth = EAuthMode::Digest;
    std::vector<std::string> models{"QD8182", "QB9365", "QF8360", "QZ9185"};
    std::vector<std::string> recorderModels{"NR9782", "ND9541"};
    int recorders = 0;
    int factoryNew = 0;
    std::string fleetFile;
    int controlPort = -1; // -1: no control interface; 0: any free port
    int discoveryPort = 5678;
    int restartMs = 3000;
    int reportBytes = 0;
    std::string firmwareVersion = "0104a";
    uint32_t dhcpFirst = 0;
    std::string dataDir;
    bool defaultModules = true;

private:
    bool m_help = false;
};

} // namespace devsim
