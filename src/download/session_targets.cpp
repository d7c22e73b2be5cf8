#include "download/session_targets.h"

#include "base/checked.h"
#include "base/error.h"
#include "base/text.h"
#include "common/path_names.h"
#include "download/safe_file_name.h"

namespace veldrask {

SessionTargets::SessionTargets(FileSystem& files, std::string folder, bool overwrite)
    : files_(files),
      folder_(std::move(folder)),
      overwrite_(overwrite),
      ignoreCase_(files.Separator() == "\\") {}

TargetName SessionTargets::Choose(std::string_view safeName) {
  TargetName target{.baseName = std::string(safeName),
                    .name = std::string(safeName),
                    .number = 0,
                    .mayReplace = false};
  const bool free = overwrite_ ? !TakenBySession(safeName) : IsFree(safeName);
  if (free) {
    target.mayReplace = overwrite_;
    Take(safeName);
    return target;
  }
  AdvanceToFreeNumber(target);
  return target;
}

void SessionTargets::Claim(TargetName& target, const std::string& temporaryPath) {
  if (target.mayReplace) return files_.Rename(temporaryPath, PathOf(target.name));
  for (;;) {
    try {
      return files_.RenameExclusive(temporaryPath, PathOf(target.name));
    } catch (const Error& error) {
      if (!error.Is(ErrorNumber::kFileAlreadyExists)) throw;
    }
    AdvanceToFreeNumber(target);
  }
}

std::string SessionTargets::PathOf(std::string_view name) const {
  return JoinPath(folder_, name, files_.Separator());
}

std::string SessionTargets::Comparable(std::string_view name) const {
  return ignoreCase_ ? ToUpperAscii(name) : std::string(name);
}

bool SessionTargets::TakenBySession(std::string_view name) const {
  return taken_.contains(Comparable(name));
}

bool SessionTargets::IsFree(std::string_view name) {
  return !TakenBySession(name) && !files_.FileExists(PathOf(name));
}

void SessionTargets::AdvanceToFreeNumber(TargetName& target) {
  do {
    target.number = CheckedAdd<std::int32_t>(target.number, 1);
    target.name = NumberedName(target.baseName, target.number);
  } while (!IsFree(target.name));
  target.mayReplace = false;
  Take(target.name);
}

}  // namespace veldrask
