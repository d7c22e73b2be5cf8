#include <unistd.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "console.h"
#include "run.h"
#include "terminal_size.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  veldrask::host::Console console(std::cerr, veldrask::host::StderrTakesCursorMovement(),
                                  veldrask::host::StderrColumns);
  if (::isatty(STDOUT_FILENO) != 1) {
    return veldrask::host::FinishStdout(veldrask::host::Run(arguments, std::cout, console),
                                        std::cout, console);
  }
  // A server's reply shown on a terminal must not steer it; piped or redirected, it stays
  // byte for byte what the server sent.
  std::ostringstream out;
  const int status = veldrask::host::Run(arguments, out, console);
  std::cout << veldrask::ShowableText(out.str(), true);
  return veldrask::host::FinishStdout(status, std::cout, console);
}
