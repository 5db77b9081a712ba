// Buffers of exactly the size an API promises: a heap block per buffer, so
// the address checker stops any access past it at the library's own line.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

template <typename T>
class ExactBuffer {
public:
    explicit ExactBuffer(size_t count) : count_(count), data_(new T[count ? count : 1]) {}

    // Filled from the fuzzer's bytes; what the input lacks stays zero.
    ExactBuffer(size_t count, FuzzedDataProvider& input) : ExactBuffer(count)
    {
        std::memset(data_.get(), 0, count_ * sizeof(T));
        std::vector<uint8_t> bytes = input.ConsumeBytes<uint8_t>(count_ * sizeof(T));
        if (!bytes.empty())
            std::memcpy(data_.get(), bytes.data(), bytes.size());
    }

    T* get() const { return count_ ? data_.get() : nullptr; }
    size_t size() const { return count_; }
    T& operator[](size_t i) const { return data_[i]; }

private:
    size_t count_;
    std::unique_ptr<T[]> data_;
};
