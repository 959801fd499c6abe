// SPDX-License-Identifier: MIT
#pragma once
// The odds run's random sequence as the tests see it: put back as start-up
// leaves it, and read as the numbers DrawCard picks with.

#include <random>

#include "odds/odds.h"

inline void ResetRandom() { RandomEngine = std::mt19937(); }

// The engine's next word as a number in [0, 1): its top 24 bits, 2^-24 apart.
// 24 bits fill a float's mantissa exactly, so the value never rounds up to 1.
inline float NextRandom() { return static_cast<float>(RandomEngine() >> 8) * 0x1p-24f; }
