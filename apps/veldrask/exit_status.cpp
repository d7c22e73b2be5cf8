#include "exit_status.h"

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
