#include "exit_status.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "platform/tcp_socket.h"

namespace veldrask::host {

namespace {

// What the host knows of a socket's error number: the exit status it gives and its cause in
// English.
struct SocketCause {
  std::int32_t number;
  int status;
  std::string_view reason;
};

namespace e = socket_error;
constexpr SocketCause kSocketCauses[] = {
    {e::kInvalidArgument, kExitRefused, "invalid argument"},
    {e::kNetworkDown, kExitCouldNotConnect, "the network is down"},
    {e::kNetworkUnreachable, kExitCouldNotConnect, "the network is unreachable"},
    {e::kConnectionAborted, kExitConnectionBroke, "the connection was aborted"},
    {e::kConnectionReset, kExitConnectionBroke, "the connection was reset by the server"},
    {e::kTimedOut, kExitCouldNotConnect, "the connection timed out"},
    {e::kConnectionRefused, kExitCouldNotConnect, "connection refused"},
    {e::kHostUnreachable, kExitCouldNotConnect, "the host is unreachable"},
    {e::kHostNotFound, kExitHostNotFound, "the host name was not found"},
    {e::kTryAgain, kExitHostNotFound, "the host name was not found; try again"},
    {e::kNoData, kExitHostNotFound, "the host name has no address"},
    {e::kCertificateExpired, kExitCertificate,
     "the server's certificate has expired or is not yet valid"},
    {e::kCertificateWrongName, kExitCertificate, "the server's certificate is for another name"},
    {e::kCertificateUnknownIssuer, kExitCertificate,
     "the server's certificate has an unknown issuer"},
    {e::kSecureChannelFailed, kExitTlsFailed, "the secure connection (TLS) failed"},
    {e::kCertificateInvalid, kExitCertificate, "the server's certificate is invalid"},
    {e::kProxyRefused, kExitConnectionBroke, "the proxy did not open the tunnel (CONNECT)"},
};

const SocketCause* CauseOf(std::int32_t number) {
  const auto found = std::find_if(std::begin(kSocketCauses), std::end(kSocketCauses),
                                  [number](const SocketCause& c) { return c.number == number; });
  return found == std::end(kSocketCauses) ? nullptr : found;
}

}  // namespace

int StatusOfSocketError(std::int32_t number) {
  const SocketCause* cause = CauseOf(number);
  return cause != nullptr ? cause->status : kExitRefused;
}

std::string WithEnglishReason(std::string_view message) {
  const std::size_t colon = message.find(':');
  std::int32_t number = 0;
  if (colon == std::string_view::npos ||
      std::from_chars(message.data(), message.data() + colon, number).ptr !=
          message.data() + colon) {
    return std::string(message);
  }
  const SocketCause* cause = CauseOf(number);
  if (cause == nullptr) return std::string(message);
  const std::size_t lineEnd = std::min(message.find_first_of("\r\n"), message.size());
  return std::string(message.substr(0, lineEnd)) + " (" + std::string(cause->reason) + ")" +
         std::string(message.substr(lineEnd));
}

int StatusOfDownload(const DownloadReport& report) {
  switch (report.end) {
    case DownloadEnd::kRefused:
      return kExitServerStatus;
    case DownloadEnd::kConnection:
      return report.errorNumber != 0 ? StatusOfSocketError(report.errorNumber)
                                     : kExitCouldNotConnect;
    case DownloadEnd::kCutShort:
      return report.statusCode.empty() ? kExitEmptyReply : kExitShortBody;
    case DownloadEnd::kUnreadable:
      return kExitUnreadableReply;
    case DownloadEnd::kNotWritable:
      return kExitNotWritten;
    case DownloadEnd::kDone:
    case DownloadEnd::kStopped:
    case DownloadEnd::kNotAsked:
      break;
  }
  return kExitOk;
}

}  // namespace veldrask::host
