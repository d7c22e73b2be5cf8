#include "command_plan.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "base/text.h"
#include "http/header_values.h"
#include "page_checks.h"

namespace veldrask::host {
namespace {

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t offset = 0; offset < text.size(); ++count) NextCodePoint(text, offset);
  return count;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The last part of a path; on Windows either slash separates.
std::string_view FileName(std::string_view path) {
  const bool slashOnly = std::filesystem::path::preferred_separator == L'/';
  const std::size_t separator = path.find_last_of(slashOnly ? "/" : "/\\");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace

std::string Listed(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

std::vector<std::string> ChosenPaths(const Options& options, std::optional<std::int32_t> room,
                                     Console& console, const DialogPathOf& pathOf) {
  std::vector<std::string> paths;
  std::set<std::string> seen;
  std::vector<std::string> repeated;
  for (const std::string& file : options.files) {
    std::string path = pathOf(file);
    // The dialog's buffer holds MaxFileSize characters; a longer name fails in the dialog.
    if (room && CharacterCount(path) > static_cast<std::size_t>(*room)) {
      throw UsageError("upload: " + file + ": the path takes more than the " + ToDecimal(*room) +
                       " characters the file dialog holds; run from its folder");
    }
    if (!seen.insert(path).second) {
      if (std::find(repeated.begin(), repeated.end(), file) == repeated.end()) {
        repeated.push_back(file);
      }
      continue;
    }
    paths.push_back(std::move(path));
  }
  if (!repeated.empty()) {
    console.Print("veldrask: upload: named more than once, chosen once: " + Listed(repeated));
  }
  return paths;
}

static bool AnswerSuggestsUtf8(const ResponseHead& answer) {
  const std::optional<std::string> charset = CharsetOf(answer);
  if (charset) return ToUpperAscii(*charset) == "UTF-8";
  const std::string type = ToUpperAscii(answer.Find("Content-Type").value_or(""));
  const std::string media = type.substr(0, type.find(';'));
  return media == "APPLICATION/JSON" || media.ends_with("+JSON");
}

std::optional<std::string> CharsetHint(std::string_view charset, const Options& options,
                                       const std::vector<std::string>& paths,
                                       const std::optional<ResponseHead>& answer) {
  if (!TrimSpaces(charset).empty() || !answer || !AnswerSuggestsUtf8(*answer)) return std::nullopt;
  bool plain = true;
  for (const auto& [name, value] : options.fields) plain = plain && IsAscii(name) && IsAscii(value);
  for (const std::string& path : paths) {
    plain = plain && IsAscii(FileName(path));
  }
  if (plain) return std::nullopt;
  return "veldrask: hint: non-ASCII names and values went out in CP949 and the server answers "
         "in UTF-8; if they arrived garbled, add --param Charset=UTF-8";
}

bool JudgeReplyStatus(std::string_view status, std::string_view hostName, Console& console,
                      ExchangeFollower& exchange) {
  if (status.empty()) {
    console.Print("veldrask: upload: the server sent no HTTP reply" + SilentCloseHint(hostName));
    exchange.NoteFailure(kExitEmptyReply);
    return false;
  }
  if (status.starts_with('2') && status.size() >= 3) return true;
  console.Print("서버 응답: " + std::string(status));
  exchange.NoteFailure(kExitServerStatus);
  return false;
}

std::vector<std::string> RepeatedDownloads(const Options& options) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < options.downloads.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (options.downloads[j].name != options.downloads[i].name) continue;
      lines.push_back("veldrask: download: " + options.downloads[i].name +
                      ": named more than once, fetched once");
      break;
    }
  }
  return lines;
}

}  // namespace veldrask::host
