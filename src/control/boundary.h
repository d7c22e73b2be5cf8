#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "platform/random.h"

namespace veldrask {

// A fresh multipart boundary of length characters, each drawn uniformly from the ASCII
// digits and letters, with the random source seeded from the clock.
std::string MakeBoundary(std::int16_t length, Random& random, Clock& clock);

}  // namespace veldrask
