#pragma once

#include <string>

namespace veldrask::posix {

// The user's home folder: $HOME, or the password database's entry when HOME is unset or
// empty; "" when neither names one. No trailing "/".
std::string HomeFolder();

// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute (as the base-directory
// convention asks). No trailing "/".
std::string ConfigFolder();

}  // namespace veldrask::posix
