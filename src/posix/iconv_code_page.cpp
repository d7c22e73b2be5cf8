#include "posix/iconv_code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <stdexcept>

#include "base/text.h"

namespace veldrask::posix {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";
constexpr std::size_t kPieceSize = 1024;

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

// One iconv conversion descriptor, reset before each use.
class IconvCodePage::Converter {
 public:
  // Appends to out what replaces the input at offset that cannot be converted and returns how
  // many input bytes it stands for.
  using Replace =
      std::function<std::size_t(std::string_view input, std::size_t offset, std::string& out)>;

  Converter(const std::string& to, const std::string& from)
      : handle_(::iconv_open(to.c_str(), from.c_str())) {
    if (handle_ == kInvalid) {
      throw std::invalid_argument("no conversion from " + from + " to " + to);
    }
  }
  ~Converter() { ::iconv_close(handle_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::string Convert(std::string_view input, const Replace& replace) {
    std::string out;
    out.reserve(input.size() + input.size() / 2);
    ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());  // iconv's signature; it does not write input
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
      // Bounded pieces: glibc converts all the input it is given to an inner form before it
      // finds a character the target lacks, which would make many such characters quadratic.
      const std::size_t piece = std::min(inLeft, kPieceSize);
      std::size_t pieceLeft = piece;
      char* next = buffer;
      std::size_t room = sizeof buffer;
      const std::size_t result = ::iconv(handle_, &in, &pieceLeft, &next, &room);
      inLeft -= piece - pieceLeft;
      out.append(buffer, static_cast<std::size_t>(next - buffer));
      if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
      // A character cut at the end of the piece continues in the next one.
      if (errno == EINVAL && pieceLeft < inLeft) continue;
      // EILSEQ, or EINVAL at the true end: replace the sequence and go on after it.
      const auto offset = static_cast<std::size_t>(in - input.data());
      const std::size_t skipped = std::min(replace(input, offset, out), inLeft);
      in += skipped;
      inLeft -= skipped;
      ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
    char* next = buffer;
    std::size_t room = sizeof buffer;
    ::iconv(handle_, nullptr, nullptr, &next, &room);  // the closing shift sequence, if any
    out.append(buffer, static_cast<std::size_t>(next - buffer));
    return out;
  }

 private:
  static inline const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);
  iconv_t handle_;
};

IconvCodePage::IconvCodePage(std::string name)
    : name_(std::move(name)),
      encoder_(std::make_unique<Converter>(name_, "UTF-8")),
      decoder_(std::make_unique<Converter>("UTF-8", name_)) {
  std::string ascii;
  for (char c = 1; c < 0x7F; ++c) ascii += c;
  asciiCompatible_ = Encode(ascii) == ascii && Decode(ascii) == ascii;
}

IconvCodePage::~IconvCodePage() = default;

std::string IconvCodePage::Encode(std::string_view utf8) const {
  if (asciiCompatible_ && IsAscii(utf8)) return std::string(utf8);
  // One "?" per character the code page lacks; NextCodePoint steps over a whole character, or
  // over one byte of invalid UTF-8.
  return encoder_->Convert(utf8, [](std::string_view input, std::size_t offset, std::string& out) {
    const std::size_t start = offset;
    NextCodePoint(input, offset);
    out += '?';
    return offset - start;
  });
}

std::string IconvCodePage::Decode(std::string_view bytes) const {
  if (asciiCompatible_ && IsAscii(bytes)) return std::string(bytes);
  return decoder_->Convert(bytes, [](std::string_view, std::size_t, std::string& out) {
    out += kReplacementCharacter;
    return std::size_t{1};
  });
}

}  // namespace veldrask::posix
