#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// A failure of the platform layer that carries its result code beside the message. Thrown only
// inside the application shell (building the adapter table) and caught there.
class CScodeError : public std::runtime_error
{
public:
    CScodeError(const std::string& message, uint32_t code)
        : std::runtime_error(message), m_code(code)
    {}

    uint32_t code() const { return m_code; }

    static constexpr uint32_t AdapterListUnreadable = 0x8000300A;
    static constexpr uint32_t OutOfMemory = 0x80003005;
    static constexpr uint32_t HardwareAddressTooLong = 0x80003009;

private:
    uint32_t m_code;
};
