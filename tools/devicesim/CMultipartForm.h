#pragma once

#include <string>
#include <vector>

namespace devsim {

// A multipart/form-data body (RFC 7578) split into its parts.
class CMultipartForm
{
public:
    struct SPart
    {
        std::string name;
        std::string fileName;
        bool hasFileName = false;
        std::string contentType;
        std::string data;
    };

    // False when the content type names no boundary or the body holds no complete part.
    bool parse(const std::string& contentType, const std::string& body);

    const std::vector<SPart>& parts() const { return m_parts; }
    const SPart* part(const std::string& name) const;

private:
    static std::string boundaryOf(const std::string& contentType);
    static void parsePartHeaders(const std::string& headers, SPart* part);

    std::vector<SPart> m_parts;
};

} // namespace devsim
