#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace veldrask {

// The name one file of a session is written under.
struct TargetName {
  std::string baseName;     // the safe name that numbering starts from
  std::string name;         // the name chosen: baseName or one of its numbered forms
  std::int32_t number = 0;  // 0 while name is baseName
  bool mayReplace = false;  // overwriting is on and no earlier entry took the name

  bool operator==(const TargetName&) const = default;
};

// Chooses the names of a session's files in one folder so that no file of the session
// replaces another: with overwriting off, a name that a file in the folder or an earlier
// entry holds is numbered; with overwriting on, only a name an earlier entry took is.
class SessionTargets {
 public:
  SessionTargets(FileSystem& files, std::string folder, bool overwrite);

  // At activation, in list order; safeName is already a harmless single file name.
  TargetName Choose(std::string_view safeName);

  // Once the file is complete: gives the temporary file target's name. A name that must be
  // new is claimed in one step that never replaces a file; when someone has taken it since it
  // was chosen, the next free number is claimed instead and target changes. Raises the file
  // system's errors.
  void Claim(TargetName& target, const std::string& temporaryPath);

  const std::string& Folder() const { return folder_; }
  std::string PathOf(std::string_view name) const;

 private:
  // The form under which names are compared: Windows folders ignore ASCII letter case.
  std::string Comparable(std::string_view name) const;
  bool TakenBySession(std::string_view name) const;
  bool IsFree(std::string_view name);
  void Take(std::string_view name) { taken_.insert(Comparable(name)); }
  // Moves target to its next numbered form that is free, and takes it.
  void AdvanceToFreeNumber(TargetName& target);

  FileSystem& files_;
  std::string folder_;
  bool overwrite_;
  bool ignoreCase_;
  std::set<std::string, std::less<>> taken_;
};

}  // namespace veldrask
