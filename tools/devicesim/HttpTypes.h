#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace devsim {

// One request as the CGI layer sees it, independent of the HTTP library.
struct SHttpRequest
{
    std::string method;                         // "GET", "POST", ...
    std::string uri;                            // as sent on the request line
    std::string path;                           // uri before "?", not decoded
    std::string query;                          // uri after "?", not decoded
    std::map<std::string, std::string> headers; // keys in lower case
    std::string body;
    bool https = false;
    std::string host; // the device address the request reached
    int port = 0;

    std::string header(const std::string& lowerName) const
    {
        const auto it = headers.find(lowerName);
        return it == headers.end() ? std::string() : it->second;
    }
};

struct SHttpResponse
{
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    // Set when the reply must be held back (the device answers late or not at all).
    int delayMs = 0;

    void addHeader(const std::string& name, const std::string& value)
    {
        headers.emplace_back(name, value);
    }
};

} // namespace devsim
