// Reads any text as a .reg file; what was read, written out and read again, must be the same
// tree, and writing that tree must give the same text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "posix/reg_file_format.h"
#include "posix/reg_tree.h"

namespace veldrask::fuzz {
namespace {

constexpr std::string_view kHive = "HKEY_LOCAL_MACHINE";

bool SameTree(const posix::RegTree& a, const posix::RegTree& b) {
  if (a.Keys().size() != b.Keys().size()) return false;
  auto other = b.Keys().begin();
  for (const auto& [folded, key] : a.Keys()) {
    const auto& [otherFolded, otherKey] = *other++;
    if (folded != otherFolded || key.path != otherKey.path || key.values != otherKey.values) {
      return false;
    }
  }
  return true;
}

}  // namespace
}  // namespace veldrask::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace veldrask;
  using veldrask::fuzz::Check;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const posix::RegTree tree = posix::ParseRegFile(text, fuzz::kHive);
  for (const auto& [folded, key] : tree.Keys()) {
    Check(folded == posix::FoldRegistryName(key.path), "keys are filed by their folded path");
    Check(key.path == posix::NormalizeKeyPath(key.path), "key paths are normalized");
  }
  const std::string written = posix::FormatRegFile(tree, fuzz::kHive);
  const posix::RegTree reread = posix::ParseRegFile(written, fuzz::kHive);
  Check(fuzz::SameTree(tree, reread), "a written tree reads back the same");
  Check(posix::FormatRegFile(reread, fuzz::kHive) == written, "writing is stable");
  return 0;
}
