#pragma once

#include <optional>
#include <string>

#include "options.h"

namespace veldrask::host {

// The text of `veldrask --help`, or of `veldrask COMMAND --help`.
std::string HelpText(std::optional<Command> command);

}  // namespace veldrask::host
