// Reads any bytes as the host's page: the only failure is a PageError, and every parameter
// name and value comes out as UTF-8.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/text.h"
#include "fuzz_check.h"
#include "page_params.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using veldrask::fuzz::Check;
  const std::string_view html(reinterpret_cast<const char*>(data), size);
  try {
    for (const auto& [name, value] : veldrask::host::ReadPageParams(html, "fuzz.html")) {
      Check(veldrask::IsValidUtf8(name), "parameter names are UTF-8");
      Check(veldrask::IsValidUtf8(value), "parameter values are UTF-8");
    }
  } catch (const veldrask::host::PageError& error) {
    Check(std::string_view(error.what()).starts_with("fuzz.html: "), "a page error names the page");
  }
  return 0;
}
