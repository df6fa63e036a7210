#pragma once

#include <string>

namespace devsim {

// Our simulated firmware files: a first line
//     ARDMERE-FIRMWARE model=QD8182 version=0205a
// followed by any payload. The device reads only that line, so a file of any size works.
class CFirmwareImage
{
public:
    static constexpr const char* kMagic = "ARDMERE-FIRMWARE";

    // True when data starts with the header line; model and version are then filled (either
    // may be empty when the line lacks it).
    static bool parse(const std::string& data, std::string* model, std::string* version);
};

} // namespace devsim
