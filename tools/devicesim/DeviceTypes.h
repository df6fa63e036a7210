#pragma once

#include <cstdint>
#include <string>

namespace devsim {

// A camera application installed on a device.
struct SModule
{
    int index = 0;
    std::string name;         // as listed ("VCA", "Trend Micro IoT Security", ...)
    std::string extendedName; // empty: the name is shown
    std::string version;
    std::string status = "on"; // "on" or "off"
    std::string license = "none";
    std::string signature = "1.0.0";   // Trend Micro signature version
    std::string updateMode = "Manual"; // Trend Micro update mode
    std::string config;                // last configuration uploaded to it
};

struct SSdCard
{
    std::string cond = "ready"; // "ready", "detached", ...
    uint64_t totalSize = 0;     // kB
    uint64_t usedSpace = 0;     // kB
};

// What a device is asked to do wrong. The kinds that break the connection itself (offline,
// silent, reset, truncated, endless) apply to every request; the others can be limited to the
// paths that start with `path`.
struct SFault
{
    std::string kind = "none";
    int status = 500;     // "status": the HTTP status answered
    int delayMs = 3000;   // "slow": how long each answer is held back
    std::string path;     // only requests whose path starts with this (empty: all)
    std::string location; // "redirect-once": where to; empty: the same request on a side path
};

} // namespace devsim
