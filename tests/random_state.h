// SPDX-License-Identifier: MIT
#pragma once
// Puts the odds run's random sequence back as start-up leaves it, for tests.

#include <random>

#include "odds/odds.h"

inline void ResetRandom() { RandomEngine = std::mt19937(); }
