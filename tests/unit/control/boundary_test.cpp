#include "control/boundary.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace veldrask {
namespace {

// Hands out the codes given, as the fractions that draw them, round and round.
class FixedRandom final : public Random {
 public:
  explicit FixedRandom(std::vector<int> codes) : codes_(std::move(codes)) {}
  double Next() override { return (codes_[next_++ % codes_.size()] + 0.5) / 127.0; }

 private:
  std::vector<int> codes_;
  std::size_t next_ = 0;
};

TEST(MakeBoundary, TakesDigitsAndLettersFromTheRandomSourceOnly) {
  const struct {
    std::vector<int> codes;
    std::int16_t length;
    std::string boundary;
  } cases[] = {
      {{'0', 'Z', 'a', '9', 'z', 'A'}, 6, "0Za9zA"},
      // Everything else is drawn again for the same position.
      {{0, '/', ':', '@', '[', '`', '{', 126, 'q'}, 3, "qqq"},
      {{'x'}, 32, std::string(32, 'x')},
      {{'x'}, 0, ""},
      {{'x'}, -1, ""},
  };
  for (const auto& c : cases) {
    FixedRandom random(c.codes);
    EXPECT_EQ(MakeBoundary(c.length, random), c.boundary) << c.boundary;
  }
}

}  // namespace
}  // namespace veldrask
