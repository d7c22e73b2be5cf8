#include "queue_allowance.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include "base/text.h"
#include "command_plan.h"
#include "common/path_names.h"
#include "queue/add_limits.h"

namespace veldrask::host {
namespace {

constexpr std::int64_t kMegabyte = 1 << 20;

std::string Param(std::string_view name, std::string_view value) {
  return "--param " + std::string(name) + "=" + std::string(value);
}

std::string Separator() {
  return std::filesystem::path::preferred_separator == L'/' ? "/" : "\\";
}

// The list's entries that no file's extension matches.
std::string ListWithout(std::string_view excludeList, const std::vector<NamedFile>& files) {
  std::string kept;
  for (std::string_view rest = excludeList; !rest.empty();) {
    const std::size_t bar = rest.find('|');
    const std::string_view entry = rest.substr(0, bar);
    rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    const bool matched = std::any_of(files.begin(), files.end(), [&](const NamedFile& file) {
      return IsExcludedExtension(entry, ExtensionKey(file.path, Separator()));
    });
    if (!matched && !TrimSpaces(entry).empty())
      kept += (kept.empty() ? "" : "|") + std::string(entry);
  }
  return kept;
}

}  // namespace

std::vector<std::string> AllowingParams(const QueueLimits& limits,
                                        const std::vector<NamedFile>& files) {
  std::vector<std::string> params;
  const std::int64_t count = limits.rowsBefore + static_cast<std::int64_t>(files.size());
  if (count > limits.maxFileCount && count <= std::numeric_limits<std::int16_t>::max()) {
    params.push_back(Param("MaxFileCount", std::to_string(count)));
  }
  const bool excluded = std::any_of(files.begin(), files.end(), [&](const NamedFile& file) {
    return IsExcludedExtension(limits.excludeFileExtension, ExtensionKey(file.path, Separator()));
  });
  if (excluded) {
    params.push_back(
        Param("ExcludeFileExtension", ListWithout(limits.excludeFileExtension, files)));
  }
  // Sizes the control cannot carry are no setting's to lift.
  std::int64_t total = limits.bytesBefore;
  std::int64_t largest = 0;
  for (const NamedFile& file : files) {
    if (file.size > kMaxQueueBytes) continue;
    total += file.size;
    largest = std::max(largest, file.size);
  }
  const std::optional<std::int32_t> totalLimit = MegabytesToBytes(limits.maxFileSize);
  const std::int64_t totalMegabytes = (total + kMegabyte - 1) / kMegabyte;
  if ((!totalLimit || total > *totalLimit) && totalMegabytes < 2048) {
    params.push_back(
        Param("MaxFileSize", std::to_string(std::max<std::int64_t>(totalMegabytes, 1))));
  }
  if (limits.unitFileSize != 0) {
    const std::optional<std::int32_t> fileLimit = MegabytesToBytes(limits.unitFileSize);
    if (!fileLimit || largest >= *fileLimit) {
      const std::int64_t needed = largest / kMegabyte + 1;
      params.push_back(Param("UnitFileSize", needed < 2048 ? std::to_string(needed) : "0"));
    }
  }
  return params;
}

std::vector<std::string> NothingSentLines(const std::vector<std::string>& refused,
                                          const std::vector<std::string>& allowing) {
  std::vector<std::string> lines = {"veldrask: upload: not queued, so nothing was sent: " +
                                    Listed(refused)};
  std::string all;
  for (const std::string& param : allowing) all += (all.empty() ? "" : " ") + param;
  lines.push_back(all.empty() ? "veldrask: upload: --send-accepted sends the files that were queued"
                              : "veldrask: upload: to send them all: " + all +
                                    " (or --send-accepted to send the files that were queued)");
  return lines;
}

bool RefusalsAllowSending(const Options& options, const QueueLimits& limits,
                          const std::vector<std::string>& paths,
                          const std::vector<std::string>& refused, Console& console,
                          const FileSizeOf& sizeOf) {
  if (refused.empty()) return true;
  if (options.sendAccepted) {
    if (refused.size() < paths.size()) return true;
    console.Print("veldrask: upload: no file was accepted; nothing was sent");
    return false;
  }
  std::vector<NamedFile> files;
  for (const std::string& path : paths) files.push_back({path, sizeOf(path)});
  for (const std::string& line : NothingSentLines(refused, AllowingParams(limits, files))) {
    console.Print(line);
  }
  return false;
}

}  // namespace veldrask::host
