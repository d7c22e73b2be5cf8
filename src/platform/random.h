#pragma once

namespace veldrask {

// Randomness from the operating system's generator, for values nobody may predict from the
// time or from earlier draws (the multipart boundary, which a file's content must not be able
// to forge).
class Random {
 public:
  virtual ~Random() = default;
  // A uniform fraction in [0, 1).
  virtual double Next() = 0;
};

}  // namespace veldrask
