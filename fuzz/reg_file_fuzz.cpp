// Two modes, chosen by the first byte:
// - text (anything but 0): any text read as a .reg file; what was read, written out and read
//   again, must be the same tree, and writing that tree must give the same text.
// - tree (0): the rest of the input builds a tree through the registry's own calls, with any
//   storable names, types and bytes; written out and read again, it must be the same tree.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "platform/registry.h"
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

void CheckText(std::string_view text) {
  const posix::RegTree tree = posix::ParseRegFile(text, kHive);
  for (const auto& [folded, key] : tree.Keys()) {
    Check(folded == posix::FoldRegistryName(key.path), "keys are filed by their folded path");
    Check(key.path == posix::NormalizeKeyPath(key.path), "key paths are normalized");
  }
  const std::string written = posix::FormatRegFile(tree, kHive);
  const posix::RegTree reread = posix::ParseRegFile(written, kHive);
  Check(SameTree(tree, reread), "a written tree reads back the same");
  Check(posix::FormatRegFile(reread, kHive) == written, "writing is stable");
}

// Reads the tree mode's records: a length byte and that many bytes for a text, one byte for a
// small type or 0xFF and four more for any type.
class Records {
 public:
  explicit Records(std::string_view input) : rest_(input) {}

  bool Empty() const { return rest_.empty(); }
  std::uint8_t Byte() {
    if (rest_.empty()) return 0;
    const auto byte = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return byte;
  }
  std::string Text() {
    const std::size_t length = std::min<std::size_t>(Byte(), rest_.size());
    std::string text(rest_.substr(0, length));
    rest_.remove_prefix(length);
    return text;
  }
  std::uint32_t Type() {
    const std::uint8_t small = Byte();
    if (small != 0xFF) return small % 12;
    std::uint32_t type = 0;
    for (int i = 0; i < 4; ++i) type = type << 8 | Byte();
    return type;
  }

 private:
  std::string_view rest_;
};

std::vector<std::byte> BytesOf(std::string_view text) {
  const auto bytes = std::as_bytes(std::span(text.data(), text.size()));
  return {bytes.begin(), bytes.end()};
}

void CheckTree(std::string_view input) {
  posix::RegTree tree;
  std::string key;
  Records records(input);
  while (!records.Empty()) {
    switch (records.Byte() % 3) {
      case 0: {  // a key, which later values go to
        const std::string path = records.Text();
        if (!posix::IsStorableName(path)) break;
        tree.CreateKey(posix::NormalizeKeyPath(path));
        key = posix::NormalizeKeyPath(path);
        break;
      }
      case 1: {  // a value of any type and bytes
        posix::RegValue value{records.Text(), records.Type(), {}};
        value.data = BytesOf(records.Text());
        if (posix::IsStorableName(value.name)) tree.SetValue(key, std::move(value));
        break;
      }
      case 2: {  // a string value as the registry stores one, ending in NUL
        posix::RegValue value{records.Text(), registry_type::kString, {}};
        value.data = BytesOf(records.Text());
        value.data.push_back(std::byte{0});
        if (posix::IsStorableName(value.name)) tree.SetValue(key, std::move(value));
        break;
      }
    }
  }
  const std::string written = posix::FormatRegFile(tree, kHive);
  Check(SameTree(tree, posix::ParseRegFile(written, kHive)), "a stored tree reads back the same");
}

}  // namespace
}  // namespace veldrask::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (!input.empty() && input.front() == '\0') {
    veldrask::fuzz::CheckTree(input.substr(1));
  } else {
    veldrask::fuzz::CheckText(input);
  }
  return 0;
}
