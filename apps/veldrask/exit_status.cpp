#include "exit_status.h"

#include <algorithm>
#include <charconv>

#include "platform/tcp_socket.h"

namespace veldrask::host {

int StatusOfSocketError(std::int32_t number) {
  namespace e = socket_error;
  switch (number) {
    case e::kHostNotFound:
    case e::kTryAgain:
    case e::kNoData:
      return kExitHostNotFound;
    case e::kConnectionRefused:
    case e::kNetworkDown:
    case e::kNetworkUnreachable:
    case e::kHostUnreachable:
    case e::kTimedOut:
      return kExitCouldNotConnect;
    case e::kConnectionAborted:
    case e::kConnectionReset:
      return kExitConnectionBroke;
    case e::kSecureChannelFailed:
      return kExitTlsFailed;
    case e::kCertificateExpired:
    case e::kCertificateWrongName:
    case e::kCertificateUnknownIssuer:
    case e::kCertificateInvalid:
      return kExitCertificate;
    default:
      return kExitRefused;
  }
}

std::string WithEnglishReason(std::string_view message) {
  namespace e = socket_error;
  static constexpr struct {
    std::int32_t number;
    std::string_view reason;
  } kReasons[] = {
      {e::kInvalidArgument, "invalid argument"},
      {e::kNetworkDown, "the network is down"},
      {e::kNetworkUnreachable, "the network is unreachable"},
      {e::kConnectionAborted, "the connection was aborted"},
      {e::kConnectionReset, "the connection was reset by the server"},
      {e::kTimedOut, "the connection timed out"},
      {e::kConnectionRefused, "connection refused"},
      {e::kHostUnreachable, "the host is unreachable"},
      {e::kHostNotFound, "the host name was not found"},
      {e::kTryAgain, "the host name was not found; try again"},
      {e::kNoData, "the host name has no address"},
      {e::kCertificateExpired, "the server's certificate has expired or is not yet valid"},
      {e::kCertificateWrongName, "the server's certificate is for another name"},
      {e::kCertificateUnknownIssuer, "the server's certificate has an unknown issuer"},
      {e::kSecureChannelFailed, "the secure connection (TLS) failed"},
      {e::kCertificateInvalid, "the server's certificate is invalid"},
  };
  const std::size_t colon = message.find(':');
  std::int32_t number = 0;
  if (colon == std::string_view::npos ||
      std::from_chars(message.data(), message.data() + colon, number).ptr !=
          message.data() + colon) {
    return std::string(message);
  }
  for (const auto& [known, reason] : kReasons) {
    if (known != number) continue;
    const std::size_t lineEnd = std::min(message.find_first_of("\r\n"), message.size());
    return std::string(message.substr(0, lineEnd)) + " (" + std::string(reason) + ")" +
           std::string(message.substr(lineEnd));
  }
  return std::string(message);
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
