#pragma once

#include <cstdint>
#include <string>

#include "platform/random.h"

namespace veldrask {

// A fresh multipart boundary of length characters, each drawn uniformly from the ASCII
// digits and letters. random is the operating system's generator: a boundary a file's content
// could predict would let it forge form parts.
std::string MakeBoundary(std::int16_t length, Random& random);

}  // namespace veldrask
