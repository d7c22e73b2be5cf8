#pragma once

#include <string_view>

namespace veldrask {

// The engine title: the product name, a space and the version.
inline constexpr std::string_view kEngineTitle = "초록모래 파일트랜스퍼 Ver 1.8";

}  // namespace veldrask
