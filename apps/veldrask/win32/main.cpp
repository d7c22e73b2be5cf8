// veldrask.exe: the command line as UTF-8 arguments; UTF-8 on stdout and stderr whatever the
// console's code page, and the server's reply byte for byte (no CR added before LF).

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "console.h"
#include "korean_charsets.h"
#include "run.h"
#include "win32/wide_text.h"

namespace {

std::vector<std::string> Arguments() {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int index = 1; index < count; ++index)
    arguments.push_back(veldrask::win32::Narrow(wide[index]));
  LocalFree(wide);
  return arguments;
}

// Restores the console's output code page on the way out.
class Utf8Console {
 public:
  Utf8Console() : previous_(GetConsoleOutputCP()) {
    if (previous_ != 0) SetConsoleOutputCP(CP_UTF8);
  }
  ~Utf8Console() {
    if (previous_ != 0) SetConsoleOutputCP(previous_);
  }
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  UINT previous_;
};

}  // namespace

int main() {
  const Utf8Console console;
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  veldrask::host::RegisterKoreanCharsets();
  veldrask::host::Console messages(std::cerr, false, [] { return std::size_t{80}; });
  return veldrask::host::FinishStdout(veldrask::host::Run(Arguments(), std::cout, messages),
                                      std::cout, messages);
}
