#include "posix/gio_shell.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <thread>

extern char** environ;

namespace veldrask::posix {
namespace {

struct GObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFree {
  void operator()(gpointer memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<gchar, GFree>;

constexpr char kAttributes[] = G_FILE_ATTRIBUTE_STANDARD_TYPE
    "," G_FILE_ATTRIBUTE_STANDARD_SIZE "," G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE
    "," G_FILE_ATTRIBUTE_STANDARD_FAST_CONTENT_TYPE "," G_FILE_ATTRIBUTE_STANDARD_ICON;

std::string FirstThemedName(GIcon* icon) {
  if (icon == nullptr || !G_IS_THEMED_ICON(icon)) return "";
  const gchar* const* names = g_themed_icon_get_names(G_THEMED_ICON(icon));
  return names != nullptr && names[0] != nullptr ? names[0] : "";
}

// GIO does not look into empty files: it types them text/plain (application/x-zerosize in
// older versions) whatever their name, but an empty "x.pdf" is still a PDF document to the
// user. The name decides for them when it is conclusive. Returns nullopt to keep GIO's type.
std::optional<std::string> TypeOfEmptyFile(GFile* file, GFileInfo* info,
                                           const std::string& contentType) {
  const bool empty =
      g_file_info_get_file_type(info) == G_FILE_TYPE_REGULAR && g_file_info_get_size(info) == 0;
  if (!empty && contentType != "application/x-zerosize") return std::nullopt;
  const char* fast =
      g_file_info_get_attribute_string(info, G_FILE_ATTRIBUTE_STANDARD_FAST_CONTENT_TYPE);
  gboolean uncertain = TRUE;
  const GCharPtr name(g_file_get_basename(file));
  const GCharPtr byName(g_content_type_guess(name.get(), nullptr, 0, &uncertain));
  if (byName && !uncertain) return std::string(byName.get());
  if (fast != nullptr && contentType == "application/x-zerosize") return std::string(fast);
  return std::nullopt;
}

}  // namespace

std::optional<FileInfo> GioShell::GetFileInfo(const std::string& path) {
  if (path.empty()) return std::nullopt;
  const GObjectPtr<GFile> file(g_file_new_for_path(path.c_str()));
  GError* error = nullptr;
  const GObjectPtr<GFileInfo> info(
      g_file_query_info(file.get(), kAttributes, G_FILE_QUERY_INFO_NONE, nullptr, &error));
  if (!info) {
    g_clear_error(&error);
    return std::nullopt;
  }
  const char* sniffed = g_file_info_get_content_type(info.get());
  std::string contentType = sniffed != nullptr ? sniffed : "application/octet-stream";
  FileInfo result;
  if (std::optional<std::string> byName = TypeOfEmptyFile(file.get(), info.get(), contentType)) {
    contentType = std::move(*byName);
    const GObjectPtr<GIcon> icon(g_content_type_get_icon(contentType.c_str()));
    result.smallIcon.name = FirstThemedName(icon.get());
  } else {
    // The file's own icon: special folders (Desktop, Downloads) have theirs.
    result.smallIcon.name = FirstThemedName(g_file_info_get_icon(info.get()));
  }
  result.largeIcon = result.smallIcon;  // a themed name, drawn at whichever size is asked
  const GCharPtr description(g_content_type_get_description(contentType.c_str()));
  if (description) result.typeName = description.get();
  return result;
}

bool GioShell::OpenFolder(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return false;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // Its own session (a Ctrl+C for the host does not reach the file manager), default signal
  // handling and no blocked signals, whatever this process has set up for itself.
  sigset_t none;
  sigset_t all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(
      &attributes,
      static_cast<short>(POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF));

  char program[] = "xdg-open";
  std::string argument = path;
  char* arguments[] = {program, argument.data(), nullptr};
  pid_t child = 0;
  const int result = posix_spawnp(&child, program, &actions, &attributes, arguments, environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) return false;

  // Reaped in the background so that no zombie stays behind, however long xdg-open runs.
  std::thread([child] {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace veldrask::posix
