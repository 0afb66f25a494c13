// Deterministic pseudo-random numbers for generated test data: a 32-bit xorshift, so a
// seed always gives the same stream.
#pragma once
#include <cstdint>
#include <vector>

struct Random {
    uint32_t s;
    explicit Random(uint32_t seed) : s(seed ? seed : 0x2545F491) {}
    uint32_t Next()
    {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    uint32_t Below(uint32_t n) { return n ? Next() % n : 0; }
    bool OneIn(uint32_t n) { return Below(n) == 0; }
    template <class T> const T& Pick(const std::vector<T>& v) { return v[Below((uint32_t)v.size())]; }
};
