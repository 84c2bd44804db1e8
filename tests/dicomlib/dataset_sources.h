#pragma once
// Byte sources for the data-set reader tests: a file or a byte vector behind
// the read and skip callbacks, counting the calls.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dicomlib/togdicomdataset.h"

namespace dataset_sources {

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Bytes in memory read sequentially through the callbacks, as a storage
// would: the position argument is not used.
struct VectorSource {
    std::vector<uint8_t> bytes;
    size_t at = 0;
    int reads = 0;
    size_t bytesRead = 0;
    int skips = 0;
    int endQueries = 0;

    static int Read(void* buffer, int64_t, uint32_t count, void* context, uint8_t* endOfData) {
        auto* self = static_cast<VectorSource*>(context);
        if (buffer == nullptr) {
            ++self->endQueries;
            *endOfData = self->at >= self->bytes.size() ? 1 : 0;
            return 0;
        }
        ++self->reads;
        const size_t left = self->at <= self->bytes.size() ? self->bytes.size() - self->at : 0;
        const size_t n = count < left ? count : left;
        if (n > 0) std::memcpy(buffer, self->bytes.data() + self->at, n);
        self->at += n;
        self->bytesRead += n;
        *endOfData = self->at >= self->bytes.size() ? 1 : 0;
        return n == count ? 0 : -1;
    }

    static int Skip(int64_t, int32_t distance, void* context) {
        auto* self = static_cast<VectorSource*>(context);
        ++self->skips;
        const int64_t target = static_cast<int64_t>(self->at) + distance;
        if (target < 0 || target > static_cast<int64_t>(self->bytes.size())) return -1;
        self->at = static_cast<size_t>(target);
        return 0;
    }

    TogDicomSource Callbacks(bool knownSize) {
        return TogDicomSource::FromCallbacks(&Read, &Skip, this,
                                             knownSize ? static_cast<int64_t>(bytes.size()) : -1);
    }
};

}  // namespace dataset_sources
