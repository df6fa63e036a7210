#include "CMultipartForm.h"

#include "StringUtil.h"

namespace devsim {

std::string CMultipartForm::boundaryOf(const std::string& contentType)
{
    for (const std::string& item : split(contentType, ';')) {
        const std::string t = trim(item);
        if (toLower(t.substr(0, 9)) == "boundary=") {
            std::string value = t.substr(9);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

// Reads one parameter of a Content-Disposition header, quoted or not.
static bool dispositionParam(const std::string& header, const std::string& key, std::string* out)
{
    const std::string lower = toLower(header);
    std::size_t pos = 0;
    while ((pos = lower.find(key + "=", pos)) != std::string::npos) {
        // Accept only a whole parameter name ("name=" must not match inside "filename=").
        if (pos > 0 && lower[pos - 1] != ';' && lower[pos - 1] != ' ') {
            pos += key.size();
            continue;
        }
        std::size_t i = pos + key.size() + 1;
        std::string value;
        if (i < header.size() && header[i] == '"') {
            ++i;
            while (i < header.size() && header[i] != '"')
                value.push_back(header[i++]);
        } else {
            while (i < header.size() && header[i] != ';')
                value.push_back(header[i++]);
            value = trim(value);
        }
        *out = value;
        return true;
    }
    return false;
}

void CMultipartForm::parsePartHeaders(const std::string& headers, SPart* part)
{
    for (std::string line : split(headers, '\n')) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string name = toLower(trim(line.substr(0, colon)));
        const std::string value = trim(line.substr(colon + 1));
        if (name == "content-disposition") {
            dispositionParam(value, "name", &part->name);
            part->hasFileName = dispositionParam(value, "filename", &part->fileName);
        } else if (name == "content-type") {
            part->contentType = value;
        }
    }
}

bool CMultipartForm::parse(const std::string& contentType, const std::string& body)
{
    m_parts.clear();
    const std::string boundary = boundaryOf(contentType);
    if (boundary.empty())
        return false;
    const std::string delimiter = "--" + boundary;
    std::size_t pos = body.find(delimiter);
    while (pos != std::string::npos) {
        std::size_t start = pos + delimiter.size();
        if (body.compare(start, 2, "--") == 0)
            break; // closing delimiter
        if (body.compare(start, 2, "\r\n") == 0)
            start += 2;
        else if (body.compare(start, 1, "\n") == 0)
            start += 1;
        const std::size_t headerEnd = body.find("\r\n\r\n", start);
        if (headerEnd == std::string::npos)
            break;
        const std::size_t next = body.find("\r\n" + delimiter, headerEnd + 4);
        if (next == std::string::npos)
            break; // a part without its closing delimiter is incomplete
        SPart part;
        parsePartHeaders(body.substr(start, headerEnd - start), &part);
        part.data = body.substr(headerEnd + 4, next - (headerEnd + 4));
        m_parts.push_back(std::move(part));
        pos = next + 2;
    }
    return !m_parts.empty();
}

const CMultipartForm::SPart* CMultipartForm::part(const std::string& name) const
{
    for (const SPart& p : m_parts)
        if (p.name == name)
            return &p;
    return nullptr;
}

} // namespace devsim
