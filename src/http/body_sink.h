#pragma once

#include <cstddef>
#include <functional>
#include <span>

namespace veldrask {

// Receives body bytes as views into the arrival being read; they are valid only during the
// call, so a receiver that keeps them must copy (or write them out) at once.
using BodySink = std::function<void(std::span<const std::byte> bytes)>;

}  // namespace veldrask
