#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace veldrask::host {

// The host's stderr. On a terminal it keeps a live block of lines at the bottom that is
// redrawn in place; whatever else is printed goes above it, so messages and finished rows
// scroll by while the block stays where it is.
class Console {
 public:
  // columns gives the terminal's current width; only a terminal draws a live block.
  Console(std::ostream& out, bool terminal, std::function<std::size_t()> columns);

  bool Terminal() const { return terminal_; }

  // Prints text, ending it with a line break when it has none.
  void Print(std::string_view text);
  // Replaces the live block; each line is cut to the width, as a wrapped line would throw the
  // redraw off by one.
  void DrawLive(const std::vector<std::string>& lines) { Show({}, lines); }
  // Prints text (nothing when empty) and then draws the live block as lines, in one write.
  void Show(std::string_view text, const std::vector<std::string>& lines);
  // Leaves the live block on screen as ordinary output.
  void KeepLive() { liveLines_ = 0; }

 private:
  void AppendText(std::string& frame, std::string_view text) const;
  void AppendLive(std::string& frame, const std::vector<std::string>& lines) const;

  std::ostream& out_;
  bool terminal_;
  std::function<std::size_t()> columns_;
  std::vector<std::string> live_;
  std::size_t liveLines_ = 0;  // lines of the block now on screen
};

}  // namespace veldrask::host
