#pragma once
// Sample i of a line of T samples, loaded and stored with memcpy: lines may
// lie at any address (caller memory is read in place), and the compilers make
// the same plain loads and stores of it.
#include <cstddef>
#include <cstring>

namespace vrx {

template <class T>
inline T load_sample(const unsigned char* line, size_t i) {
    T v;
    std::memcpy(&v, line + i * sizeof(T), sizeof(T));
    return v;
}

template <class T>
inline void store_sample(unsigned char* line, size_t i, T v) {
    std::memcpy(line + i * sizeof(T), &v, sizeof(T));
}

}  // namespace vrx
