#pragma once

// Collects the answer records the library delivers, for the library's tests.

#include "pyxera.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

using Record = std::array<unsigned char, PYXERA_RECORD_SIZE>;

struct PyxeraCollector
{
    std::mutex mutex;
    std::condition_variable cond;
    std::vector<Record> records;
    std::atomic<bool> stopReturned{false};
    std::atomic<int> lateCallbacks{0};
    std::atomic<int> otherEvents{0};

    static int callback(void* context, int eventType, const void* record)
    {
        auto* self = static_cast<PyxeraCollector*>(context);
        if (self->stopReturned)
            ++self->lateCallbacks;
        if (eventType != PYXERA_EVENT_ANSWER || !record) {
            ++self->otherEvents;
            return 0;
        }
        Record r;
        std::memcpy(r.data(), record, r.size());
        {
            std::lock_guard<std::mutex> lock(self->mutex);
            self->records.push_back(r);
        }
        self->cond.notify_all();
        return 0;
    }

    bool waitFor(size_t count, int timeoutMs)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return cond.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return records.size() >= count; });
    }

    size_t size()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return records.size();
    }

    std::vector<std::string> addresses()
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<std::string> out;
        for (const auto& r : records)
            out.emplace_back(reinterpret_cast<const char*>(r.data() + PYXERA_REC_IP));
        return out;
    }
};

inline std::array<unsigned char, PYXERA_PARAMS_SIZE> pyxeraParams(uint16_t port, uint32_t mode = 1)
{
    std::array<unsigned char, PYXERA_PARAMS_SIZE> p{};
    p[PYXERA_PARAMS_PORT] = uint8_t(port);
    p[PYXERA_PARAMS_PORT + 1] = uint8_t(port >> 8);
    p[PYXERA_PARAMS_MODE] = uint8_t(mode);
    p[PYXERA_PARAMS_MODE + 1] = uint8_t(mode >> 8);
    p[PYXERA_PARAMS_MODE + 2] = uint8_t(mode >> 16);
    p[PYXERA_PARAMS_MODE + 3] = uint8_t(mode >> 24);
    return p;
}
