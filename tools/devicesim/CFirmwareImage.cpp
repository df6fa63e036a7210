#include "CFirmwareImage.h"

#include <cstring>
#include <sstream>

namespace devsim {

bool CFirmwareImage::parse(const std::string& data, std::string* model, std::string* version)
{
    const std::size_t magicLength = std::strlen(kMagic);
    if (data.compare(0, magicLength, kMagic) != 0)
        return false;
    // The header line is short; a missing line end within 256 bytes is no header.
    const std::size_t end = data.find('\n');
    if (end == std::string::npos || end > 256)
        return false;
    std::istringstream words(data.substr(magicLength, end - magicLength));
    std::string word;
    model->clear();
    version->clear();
    while (words >> word) {
        if (word.compare(0, 6, "model=") == 0)
            *model = word.substr(6);
        else if (word.compare(0, 8, "version=") == 0)
            *version = word.substr(8);
    }
    if (!version->empty() && version->back() == '\r')
        version->pop_back();
    return true;
}

} // namespace devsim
