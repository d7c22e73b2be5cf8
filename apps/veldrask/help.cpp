#include "help.h"

namespace veldrask::host {
namespace {

constexpr const char* kGeneral = R"(veldrask - run the file-transfer control from a terminal

Usage:
  veldrask [--page FILE] [--param NAME=VALUE]... [--cookie TEXT] [--quiet] COMMAND ...

Commands:
  upload   [--field NAME=VALUE]... [--uploaded NAME:SIZE]... FILE...
  download [--to DIR] [--overwrite] [--untick N]... NAME:SIZE...
  encode   TEXT
  decode   TEXT
  call     MEMBER [ARG]...
  help     [COMMAND]

Options (also after upload and download):
  --page FILE          read the control's parameters from the <param> elements of the first
                       <object> element of an HTML page (its declared charset is honoured; a
                       page that declares none is read as UTF-8, or else as EUC-KR)
  --param NAME=VALUE   add or override one parameter (HostName, ServerPort, ActionURL,
                       ReturnURL, MaxFileCount, MaxFileSize, UnitFileSize, MainTitle,
                       FilePrefix, PaddingZero, BufferSize, UpDownload, ExcludeFileExtension,
                       Charset); names ignore letter case
                       Charset=UTF-8 sends field names, values and file names in UTF-8: use
                       it for servers of today (UTF-8 pages, Flask, Node, ...); leave it empty
                       for legacy servers that expect the Korean code page (EUC-KR / CP949)
  --cookie TEXT        the page's cookie, sent with an upload
  -q, --quiet          draw no progress
  -h, --help           this text; `veldrask COMMAND --help` explains one command
  --version            the control's title and version

Without --page and --param the control starts as a new instance with its own defaults.
Every message the control shows is printed on stderr; on a terminal the progress window is
drawn there too, elsewhere one line per finished file.

Exit status: 0 when no refusal or failure message was shown, 1 when one was, 2 for a usage
error or a page the control cannot load (nothing was sent), 130 after Ctrl-C, 143 after
SIGTERM and 129 after SIGHUP (each closes the progress window as the user would).

Environment: VELDRASK_REGISTRY names the folder of the control's registry (the remembered
download folder); by default $XDG_CONFIG_HOME/veldrask.

Examples:
  veldrask --page upload.html upload --field title=hello report.pdf photo.jpg
  veldrask --param HostName=127.0.0.1 --param ServerPort=8080 download --to ~/in /files/a.txt:1024
  veldrask encode "a b.txt"
)";

constexpr const char* kUpload =
    R"(veldrask upload [--field NAME=VALUE]... [--uploaded NAME:SIZE]... FILE...

Lists each --uploaded NAME:SIZE as a file already on the server, chooses FILE... in the
control's file dialog as one selection and clicks its add command, with every check the control
makes (number of files, refused extensions, duplicates, total size, size per file) and its
messages; adds each --field as a form field; then submits. Files the control refuses are left
out and the exit status is 1, but the accepted ones are still sent, as on a page.

The server's reply is written to stdout exactly, and nothing else is (on a terminal, with its
control characters replaced). Its first 16 MiB are kept; a longer reply is cut there, said on
stderr, and the exit status is 1. Where the page would go afterwards (http://HostName +
ReturnURL) is printed on stderr as `location: URL`.

Examples:
  veldrask --page upload.html --cookie "$COOKIE" upload --field writer=kim a.txt 보고서.hwp
  veldrask --param HostName=127.0.0.1 --param ServerPort=8080 --param ActionURL=/upload.php \
           --param MaxFileCount=5 --param MaxFileSize=100 upload a.txt b.txt > reply.html
)";

constexpr const char* kDownload =
    R"(veldrask download [--to DIR] [--overwrite] [--untick N]... NAME:SIZE...

Lists each NAME:SIZE as a file the server offers (NAME as a page passes it: the server path,
percent-encoded in the Korean code page; SIZE in bytes, after the last colon), then downloads
the ticked rows into the download folder, one GET each.

  --to DIR       choose DIR in the folder browser; it is remembered for the next run
                 (without --to the remembered folder is used, by default ~/Download)
  --overwrite    tick "덮어쓰기": replace files of the same name; otherwise the new file is
                 numbered (a[1].txt)
  --untick N     untick row N (numbered from 1), so it is not downloaded

Example:
  veldrask --param HostName=127.0.0.1 --param ServerPort=8080 download --to /tmp/in \
           /files/a.txt:1024 /files/%BA%B8%B0%ED%BC%AD.txt:2048
)";

constexpr const char* kEncode = R"(veldrask encode TEXT
veldrask decode TEXT

Print the control's URLEncode or URLDecode of TEXT (double-byte characters in the Korean
code page; the two are not inverse of each other).

Examples:
  veldrask encode "a b.txt"      ->  a+b%2Etxt
  veldrask decode "%B0%A1.txt"   ->  가.txt
)";

constexpr const char* kCall = R"(veldrask call MEMBER [ARG]...

Calls a member of the control's scripting interface by name, as a page's script would, and
prints its result: MEMBER alone reads a property (or calls a method without arguments),
MEMBER=VALUE sets a property, MEMBER ARG... calls a method. Arrays of files print one file a
line: key, name, size and part head, separated by tabs. An unknown member or a wrong number
of arguments exits with status 2, an error the member raises with status 1.

Examples:
  veldrask call EngTitleVer
  veldrask --page upload.html call MaxFileSize
  veldrask call RegiSaveString -2147483646 "Software\Test" Name Value
)";

}  // namespace

std::string HelpText(std::optional<Command> command) {
  if (!command) return kGeneral;
  switch (*command) {
    case Command::kUpload:
      return kUpload;
    case Command::kDownload:
      return kDownload;
    case Command::kEncode:
    case Command::kDecode:
      return kEncode;
    case Command::kCall:
      return kCall;
    case Command::kHelp:
    case Command::kVersion:
      break;
  }
  return kGeneral;
}

}  // namespace veldrask::host
