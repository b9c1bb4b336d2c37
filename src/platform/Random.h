#pragma once

#include <cstdint>
#include <random>

namespace halvex {

// Uniform single-precision draws in [0, 1), re-seeded from the clock where the system says so.
class Random
{
public:
    virtual ~Random() = default;
    virtual float next() = 0;
    virtual void reseed() = 0;
};

class SystemRandom final : public Random
{
public:
    SystemRandom() { reseed(); }
    float next() override
    {
        // 24 random bits fill a float's mantissa exactly, so 1.0 can never come out.
        return static_cast<float>(m_engine() >> 8) * (1.0f / 16777216.0f);
    }
    void reseed() override { m_engine.seed(std::random_device{}()); }

private:
    std::mt19937 m_engine;
};

} // namespace halvex
