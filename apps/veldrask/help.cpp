#include "help.h"

namespace veldrask::host {
namespace {

constexpr const char* kGeneral = R"(veldrask - run the file-transfer control from a terminal

Usage:
  veldrask [--url URL] [--page FILE] [--param NAME=VALUE]... [--cookie TEXT] [-q] [-v]
           [-H 'NAME: VALUE']... [-u NAME:PASSWORD] [--retry N]
           [-x PROXY-URL] [--noproxy LIST] [--connect-timeout S] [--max-time S] [--speed-time S]
           [--cacert FILE] [-k] COMMAND ...

Commands:
  upload   [--field NAME=VALUE]... [--uploaded NAME:SIZE]... [-o FILE] [--send-accepted]
           [--file-field NAME] FILE...
  download [--to DIR] [--overwrite] [--untick N]... [--keep-going] [-L [--max-redirs N]]
           NAME[:SIZE]...
  encode   [--charset UTF-8] TEXT
  decode   [--charset UTF-8] TEXT
  call     MEMBER [ARG]...
  help     [COMMAND]

Options (also after upload and download):
  --url URL            the server as one URL, http[s]://host[:port][/path]: sets HostName
                       (https:// in front for HTTPS), ServerPort (80, 443 or the port given;
                       the control's port is 16-bit signed: 1 to 32767) and, for an upload,
                       ActionURL (the path and query) as if the page had said so
  --page FILE          read the control's parameters from the <param> elements of the first
                       <object> element of an HTML page (its declared charset is honoured; a
                       page that declares none is read as UTF-8, or else as EUC-KR)
  --param NAME=VALUE   add or override one parameter (HostName, ServerPort, ActionURL,
                       ReturnURL, MaxFileCount, MaxFileSize, UnitFileSize, MainTitle,
                       FilePrefix, PaddingZero, BufferSize, UpDownload, ExcludeFileExtension,
                       Charset); names ignore letter case; an unknown name is an error.
                       HostName is the host, its port ServerPort (an upload cleans a
                       URL such as http://host:8080/path to the host, as the control does);
                       "https://" in front of it means HTTPS (TLS 1.2+, the certificate
                       checked), e.g. HostName=https://files.example.com ServerPort=443
                       Charset=UTF-8 sends field names, values and file names in UTF-8: use
                       it for servers of today (UTF-8 pages, Flask, Node, ...); leave it empty
                       for legacy servers that expect the Korean code page (EUC-KR / CP949)
  --cookie TEXT        the page's cookie, sent with an upload
  -H, --header 'NAME: VALUE'
                       add a line to every request's head (ASCII, no line break); Host,
                       Content-Length, Transfer-Encoding, an upload's Content-Type and Cookie
                       (use --cookie) are refused: the control writes them
  -u, --user NAME:PASSWORD
                       send Basic authorization with every request
  -x, --proxy [http://][NAME:PASSWORD@]HOST[:PORT]
                       go through this HTTP proxy (port 1080 when none is given): a plain
                       request with the whole URL as its target, HTTPS through a CONNECT
                       tunnel (the certificate checked is still the server's); "" for none.
                       Without it the environment's http_proxy, https_proxy (HTTPS_PROXY)
                       and all_proxy (ALL_PROXY) are read; HTTP_PROXY in capitals is not
  --noproxy LIST       servers reached directly: names, domains (a.example.com is in
                       example.com) and addresses, separated by commas; "*" for all.
                       Without it no_proxy (NO_PROXY) is read
  --retry N            try again, up to N times (at most 10) waiting 1, 2, 4 ... s: a download's
                       files whose connection failed or broke, whose body was cut or whose
                       server was busy (408, 429, 500, 502, 503, 504), and an upload whose
                       connection never opened (one whose bytes went out is never repeated)
  -q, --quiet          draw no progress and print no location: line
  -v, --verbose        print each request head ("> ") and response head ("< ") on stderr,
                       a proxy tunnel's CONNECT and its answer among them
  --connect-timeout S  give up when a connection is not made within S seconds
  --max-time S         give up when the transfer takes longer than S seconds
  --speed-time S       give up when no byte moves for S seconds
                       (a limit ends the transfer as closing its window does; exit status 28;
                       without them a transfer waits as long as the server takes)
  --cacert FILE        HTTPS: trust the certificates in FILE (PEM) besides the system's
  -k, --insecure       HTTPS: do not check the server's certificate (a warning says so)
  -h, --help           this text; `veldrask COMMAND --help` explains one command
  -V, --version        this tool's version and commit, and the control's title and version

Options that take a value may also be written --option=value.

Parameters and their start values (what a new instance has without --page and --param):
  HostName, ActionURL   (empty) the server, and the path uploads are posted to
  ServerPort            80
  ReturnURL             (empty) where the page goes after an upload, on HostName
  MaxFileCount          1     files in the upload queue
  MaxFileSize           1     megabytes in the whole queue
  UnitFileSize          0     megabytes per file; 0: no limit of its own
  ExcludeFileExtension  (empty) refused extensions without the dot, "|" between them
  FilePrefix            file  the file fields are FilePrefix_1, FilePrefix_2, ...
  PaddingZero           0     only "1" pads the numbers to three digits (file_001)
  BufferSize            8192  bytes per block of an upload
  UpDownload            0     the screen: 0 upload, anything else download
  MainTitle             the control's title
  Charset               (empty) the Korean code page; or UTF-8
Sizes are 32-bit: files of 2 GiB and more cannot be sent or received.
Every message the control shows is printed on stderr (one that starts with a socket's error
number, such as 10061:, gets its cause in English beside it); on a terminal the progress
window is drawn there too, elsewhere one line per finished file.

Exit status (curl's numbers where curl has the same cause), from the first failure:
  0   everything went through
  1   the control refused something itself (its limits, an unreadable file), or stdout
      could not be written
  2   a usage error or a page the control cannot load: nothing was sent
  6   the server's name could not be resolved
  7   the connection could not be made (refused, unreachable)
  8   the server's answer is not readable HTTP
  18  the server closed before the body's end
  22  the server's status was not 2xx (it is named on stderr)
  23  a downloaded file could not be written
  28  a time limit ended the transfer
  35  the secure connection (TLS) could not be made
  52  the server closed without answering
  56  the connection was reset under way, or the proxy did not open the tunnel
  60  the server's certificate was refused
  130 after Ctrl-C, 143 after SIGTERM and 129 after SIGHUP (each closes the progress window
      as the user would)

The control connects to HostName:ServerPort directly over plain HTTP/1.1, or over TLS when
HostName starts with https:// (the certificate is checked against the system's trusted ones and
--cacert; a failure says why and nothing falls back to plain text), through a proxy when
--proxy or the environment names one (a tunnel the proxy refuses ends with status 56, its
answer named). A redirect is the server's refusal (status 22) unless download -L follows it.

Environment: VELDRASK_REGISTRY names the folder of the control's registry (the remembered
download folder); by default $XDG_CONFIG_HOME/veldrask. With NO_COLOR set or TERM=dumb the
progress is not drawn in place: one line per finished file, as when stderr is no terminal.

On Windows, veldrask.exe drives the control DLL (registered, else VeldraskUploader.dll beside
it) in a container window: the buttons, dialogs and transfer windows are the control's own;
each message box is read, printed on stderr and confirmed with OK; finished files are read
from the transfer window's list. The options work as here: the host follows the exchanges
through the DLL's private host interface (-v, -o, the report of each download file), its time
limits are timers on the control's own message loop, and --cacert and --insecure apply to this
run alone (pages keep the Windows certificate store). Ctrl-C closes the transfer
window as the user would (status 130). Paths may be given in Unix form under Wine. The
remembered download folder is the control's registry value.

Examples:
  veldrask --url https://files.example.com/board/upload.php upload --param MaxFileCount=5 \
           --param MaxFileSize=100 report.pdf photo.jpg
  veldrask --page upload.html upload --field title=hello report.pdf photo.jpg
  veldrask --param HostName=127.0.0.1 --param ServerPort=8080 download --to ~/in /files/a.txt:1024
  veldrask --param HostName=https://files.example.com --param ServerPort=443 \
           --param ActionURL=/upload upload report.pdf
  veldrask encode "a b.txt"
)";

constexpr const char* kUpload =
    R"(veldrask upload [--field NAME=VALUE]... [--uploaded NAME:SIZE]... [--send-accepted]
                [--file-field NAME] FILE...

Lists each --uploaded NAME:SIZE as a file already on the server, then chooses each FILE in
the control's file dialog on its own and clicks its add command, as a user adding one file at
a time, with every check the control makes (number of files, refused extensions, duplicates,
total size, size per file) and its messages; adds each --field as a form field; then submits.
When the control refuses any FILE (the page's limits start at one file and 1 MB), nothing is
sent: the control's messages and the refused files are said on stderr with the --param
settings that would take them all (--param MaxFileCount=3 --param MaxFileSize=6), and the
exit status is 1. --send-accepted sends the files that were accepted, as the page's user
would (still status 1; nothing when none was accepted). A file named twice goes once. A FILE
written as a URL is an error: the server is --url's (or HostName's); an upload needs a
HostName and an ActionURL that starts with "/". The file parts are named FilePrefix_1,
FilePrefix_2, ... as a page's control names them; --file-field NAME names every one NAME, for
a server that reads a list of files under one name (multer's .array('files'), Go's
File["files"], PHP's files[]).

The body of the server's reply is written to stdout decoded to UTF-8 (from the charset it
declares), and nothing else is; on a terminal its control characters are replaced. Its first
16 MiB are kept; a longer reply is cut there, said on stderr, and the exit status is 1.
-o FILE (--output FILE) writes the whole body to FILE byte for byte as it came instead, with
no such limit; -o - writes those bytes to stdout. A reply whose status is not 2xx is said on
stderr ("서버 응답: 413 Payload Too Large") and exits 22. Where the page would go afterwards
(http:// or https://, HostName, ReturnURL) is printed on stderr as `location: URL`.

Examples:
  veldrask --url http://127.0.0.1:8080/upload.php upload --param MaxFileCount=2 a.txt b.txt
  veldrask --page upload.html --cookie "$COOKIE" upload --field writer=kim a.txt 보고서.hwp
  veldrask --param HostName=127.0.0.1 --param ServerPort=8080 --param ActionURL=/upload.php \
           --param MaxFileCount=5 --param MaxFileSize=100 upload a.txt b.txt > reply.html
)";

constexpr const char* kDownload =
    R"(veldrask download [--to DIR] [--overwrite] [--untick N]... [--keep-going]
                  [-L [--max-redirs N]] NAME[:SIZE]...

Lists each NAME[:SIZE] as a file the server offers (NAME the server path, as a page passes it
or typed as it reads: its non-ASCII characters go out percent-encoded in the Korean code page,
or in UTF-8 with --param Charset=UTF-8, as a browser writes a link, and -v shows the bytes
sent; SIZE in bytes, after the last colon; without it the server's Content-Length is the
size), then downloads the ticked rows into the download folder,
one GET each. Every file that did not arrive is named on stderr with why; after a status other
than 200 the session stops (unless --keep-going) and the files never asked for are listed as
skipped. With --url,
a NAME is a path on its server (a relative one from the URL's folder), or a whole URL on the
same server; a NAME written as a URL needs --url.

  --to DIR       choose DIR in the folder browser; it is remembered for the next run
                 (without --to the remembered folder is used, by default ~/Download)
  --overwrite    tick "덮어쓰기": replace files of the same name; otherwise the new file is
                 numbered (a[1].txt)
  --untick N     untick row N (numbered from 1), so it is not downloaded
  --keep-going   a file the server refuses does not stop the rest: it is listed with the
                 files that failed
  -L, --location follow redirects (301, 302, 303, 307, 308) to their Location, on this
                 server or another, staying on HTTPS once there; the file keeps the NAME's
                 name
  --max-redirs N with -L, at most N redirects a file (1 to 50; 10 without it); past them
                 the file is refused and the chain named

Examples:
  veldrask --url http://127.0.0.1:8080/files/ download --to /tmp/in a.txt b.txt
  veldrask --param HostName=127.0.0.1 --param ServerPort=8080 download --to /tmp/in \
           /files/a.txt:1024 /files/보고서.txt:2048
)";

constexpr const char* kEncode = R"(veldrask encode [--charset UTF-8] TEXT
veldrask decode [--charset UTF-8] TEXT

Print the control's URLEncode or URLDecode of TEXT (double-byte characters in the Korean
code page; the two are not inverse of each other). URLEncode writes a double-byte character
as one escape of four hex digits, which is no path a server knows: to name a download file,
type its name as it reads (download encodes it as a browser does). With --charset UTF-8, the encoding UTF-8
servers use (and download names get with Charset=UTF-8): one escape per byte of UTF-8.

Examples:
  veldrask encode "a b.txt"                     ->  a+b%2Etxt
  veldrask decode "%B0%A1.txt"                  ->  가.txt
  veldrask decode --charset UTF-8 "%EA%B0%80"   ->  가
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
