#pragma once

#include <string>
#include <string_view>

namespace veldrask::testing {

// Lower-case hex of bytes.
std::string ToHex(std::string_view bytes);
// Bytes of a hex text; throws std::invalid_argument on an odd length or a non-hex digit.
std::string FromHex(std::string_view hex);
// Percent-encodes every byte outside A-Z a-z 0-9 - . _ ~ and "/" (upper-case digits), so raw
// UTF-8 or CP949 file names can go into a request target.
std::string PercentEncodePath(std::string_view bytes);

}  // namespace veldrask::testing
