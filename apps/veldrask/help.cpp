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

Options:
  --page FILE          read the control's parameters from the <param> elements of the
                       <object> element of an HTML page (its declared charset is honoured)
  --param NAME=VALUE   add or override one parameter (HostName, ServerPort, ActionURL,
                       ReturnURL, MaxFileCount, MaxFileSize, UnitFileSize, MainTitle,
                       FilePrefix, PaddingZero, BufferSize, UpDownload, ExcludeFileExtension)
  --cookie TEXT        the hosting document's cookie, sent with an upload
  --quiet              draw no progress
  -h, --help           this text; `veldrask COMMAND --help` explains one command

Every message the control shows is printed on stderr. Exit status: 0 when no refusal or
failure message was shown, 1 when one was, 2 for a usage error, 130 after Ctrl-C.

Examples:
  veldrask --page upload.html upload --field title=hello report.pdf photo.jpg
  veldrask --param HostName=127.0.0.1 --param ServerPort=8080 download --to ~/in /files/a.txt:1024
  veldrask encode "a b.txt"
)";

constexpr const char* kUpload =
    R"(veldrask upload [--field NAME=VALUE]... [--uploaded NAME:SIZE]... FILE...

Chooses FILE... in the control's file dialog as one selection, with every check the control
makes (number of files, refused extensions, duplicates, total size, size per file) and its
messages; adds each --field as a form field and lists each --uploaded file as one already on
the server; then submits. The server's reply is written to stdout exactly, and nothing else is.
Where the page would be sent afterwards is printed on stderr as `location: URL`.

Example:
  veldrask --param HostName=127.0.0.1 --param ServerPort=8080 --param ActionURL=/upload.php \
           --param MaxFileCount=5 --param MaxFileSize=100 upload --field user=kim a.txt b.txt
)";

constexpr const char* kDownload =
    R"(veldrask download [--to DIR] [--overwrite] [--untick N]... NAME:SIZE...

Lists each NAME:SIZE as a file the server offers (NAME as a page passes it, usually a
percent-encoded path; SIZE after the last colon), then downloads the ticked rows into the
download folder. --to DIR chooses the folder as the user would, so it is remembered for the
next run; --overwrite ticks "덮어쓰기" (otherwise clashing names are numbered: a[1].txt);
--untick N unticks row N (numbered from 1).

Example:
  veldrask --param HostName=127.0.0.1 --param ServerPort=8080 download --to /tmp/in \
           /files/a.txt:1024 /files/%B0%A1.txt:2048
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

Calls any member of the control by name and prints its result: a method with its
arguments, a property's value with no argument, or sets a property with one argument
(MEMBER=VALUE sets, MEMBER alone reads).

Examples:
  veldrask call EngTitleVer
  veldrask --param MaxFileSize=5 call MaxFileSize
  veldrask call RegiSaveString -2147483647 "Software\Test" Name Value
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
