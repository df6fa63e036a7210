#pragma once

#include <string>

typedef struct ssl_ctx_st SSL_CTX;

namespace devsim {

// The server TLS context shared by every device: a fresh EC key and a self-signed certificate
// made at start-up, so nothing secret is ever stored in the repository.
class CTlsContext
{
public:
    CTlsContext() = default;
    ~CTlsContext();
    CTlsContext(const CTlsContext&) = delete;
    CTlsContext& operator=(const CTlsContext&) = delete;

    bool init(std::string* error);
    SSL_CTX* get() const { return m_ctx; }

private:
    SSL_CTX* m_ctx = nullptr;
};

} // namespace devsim
