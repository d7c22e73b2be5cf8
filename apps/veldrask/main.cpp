#include <iostream>
#include <string>
#include <vector>

#include "console.h"
#include "run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  veldrask::host::Console console(std::cerr, veldrask::host::StderrTakesCursorMovement(),
                                  veldrask::host::StderrColumns);
  return veldrask::host::Run(arguments, std::cout, console);
}
