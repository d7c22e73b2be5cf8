#include "cli_test.h"

#include <algorithm>

#include "base/text.h"
#include "posix/iconv_code_page.h"
#include "support/files.h"
#include "support/servers.h"

namespace veldrask::testing {

CliResult CliTest::Run(const std::vector<std::string>& arguments) const {
  return RunIn(Root(), arguments);
}

CliResult CliTest::RunIn(const std::filesystem::path& workingFolder,
                         const std::vector<std::string>& arguments) const {
  CliProcess process(arguments, Environment(), workingFolder);
  CliResult result = process.Finish(kRunLimit);
  EXPECT_FALSE(result.timedOut) << "veldrask ran past its time limit; stderr:\n" << result.err;
  return result;
}

std::unique_ptr<CliProcess> CliTest::Start(const std::vector<std::string>& arguments,
                                           ErrorOutput errorOutput,
                                           const std::vector<std::string>& environment) const {
  std::vector<std::string> entries = Environment();
  // Windows names its variables in any letter case: one given replaces the test's own alike.
  const auto name = [](const std::string& entry) {
    return WindowsHost() ? ToUpperAscii(entry.substr(0, entry.find('=')))
                         : entry.substr(0, entry.find('='));
  };
  for (const std::string& added : environment) {
    std::erase_if(entries, [&](const std::string& entry) { return name(entry) == name(added); });
  }
  entries.insert(entries.end(), environment.begin(), environment.end());
  return std::make_unique<CliProcess>(arguments, entries, Root(), errorOutput);
}

std::string CliTest::ShownPath(const std::filesystem::path& path) {
  std::string shown = path.string();
  if (!WindowsHost()) return shown;
  std::replace(shown.begin(), shown.end(), '/', '\\');
  return "Z:" + shown;
}

std::vector<std::string> CliTest::Environment() const {
  // The suppressions matter to sanitizer builds only; the full unwind lets them match.
  const std::filesystem::path suppressions = SourceDir() / "tests" / "lsan.supp";
  return {"HOME=" + (Root() / "home").string(),
          "VELDRASK_REGISTRY=" + (Root() / "registry").string(), "LC_ALL=C.UTF-8",
          // The machine's proxies are not the test's.
          "http_proxy=", "https_proxy=", "HTTPS_PROXY=", "all_proxy=", "ALL_PROXY=", "no_proxy=",
          "NO_PROXY=",
          "LSAN_OPTIONS=suppressions=" + suppressions.string() +
              ":fast_unwind_on_malloc=0:print_suppressions=0"};
}

std::filesystem::path CliTest::Write(std::string_view name, std::string_view content) const {
  const std::filesystem::path path = temp_ / name;
  std::filesystem::create_directories(path.parent_path());
  WriteFile(path, content);
  return path;
}

std::filesystem::path CliTest::Folder(std::string_view name) const {
  const std::filesystem::path path = temp_ / name;
  std::filesystem::create_directories(path);
  return path;
}

std::filesystem::path CliTest::WritePage(
    std::string_view name, const std::vector<std::pair<std::string, std::string>>& params,
    std::string_view charset) const {
  std::string html = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=" +
                     std::string(charset) + "\"><title>업로드</title></head><body>\n" +
                     "<object id=\"Uploader\" width=\"632\" height=\"433\">\n";
  for (const auto& [param, value] : params) {
    html += "  <param name=\"" + param + "\" value=\"" + value + "\">\n";
  }
  html += "</object>\n</body></html>\n";
  return Write(name, charset == "UTF-8" ? html : Cp949(html));
}

std::string Cp949(std::string_view utf8) {
  return posix::IconvCodePage("CP949").Encode(utf8);
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace veldrask::testing
