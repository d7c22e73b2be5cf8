#include "console.h"

#include <utility>

#include "base/text.h"
#include "terminal_text.h"

namespace veldrask::host {

Console::Console(std::ostream& out, bool terminal, std::function<std::size_t()> columns)
    : out_(out), terminal_(terminal), columns_(std::move(columns)) {}

void Console::Print(std::string_view text) {
  if (liveLines_ == 0) {
    std::string frame;
    AppendText(frame, text);
    out_ << frame << std::flush;
    return;
  }
  Show(text, live_);
}

void Console::Show(std::string_view text, const std::vector<std::string>& lines) {
  if (!terminal_) {
    if (!text.empty()) Print(text);
    return;
  }
  std::string frame;
  // Back to the block's first line: printed text starts there, and a new block overwrites the
  // old one line by line, so it does not flicker.
  if (liveLines_ > 0) frame += "\r\x1b[" + ToDecimal(static_cast<std::int64_t>(liveLines_)) + "A";
  if (!text.empty()) {
    frame += "\x1b[J";
    AppendText(frame, text);
  }
  AppendLive(frame, lines);
  frame += "\x1b[J";
  live_ = lines;
  liveLines_ = lines.size();
  out_ << frame << std::flush;
}

// Whatever is printed may hold text from a server: only its line breaks reach the terminal as
// they are, so the block's own escapes are the only ones written.
void Console::AppendText(std::string& frame, std::string_view text) const {
  frame += ShowableText(TerminalLines(text), true);
  if (text.empty() || text.back() != '\n') frame += '\n';
}

void Console::AppendLive(std::string& frame, const std::vector<std::string>& lines) const {
  const std::size_t columns = columns_();
  for (const std::string& line : lines) {
    frame += FitToColumns(ShowableText(line), columns > 1 ? columns - 1 : 1);
    frame += "\x1b[K\n";
  }
}

}  // namespace veldrask::host
