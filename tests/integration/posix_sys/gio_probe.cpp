// Prints the shell's type name and icon name for each path given ("name|icon" per line, or
// "none"), so that tests can look at them under the environment they choose: GIO reads the
// language once per process.
#include <iostream>

#include "posix/gio_shell.h"

int main(int argc, char** argv) {
  veldrask::posix::GioShell shell;
  for (int i = 1; i < argc; ++i) {
    const auto info = shell.GetFileInfo(argv[i]);
    if (info) {
      std::cout << info->typeName << '|' << info->smallIcon.name << '\n';
    } else {
      std::cout << "none\n";
    }
  }
  return 0;
}
