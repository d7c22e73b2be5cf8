#pragma once

// Why a secure connection failed, as every TLS socket tells its owner: the error's number and
// its Korean description, whatever library did the work underneath.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/tcp_socket.h"

namespace veldrask::tls_failure {

// Whole descriptions of failures that need no detail.
inline constexpr std::string_view kPlainTextAnswer =
    "서버가 TLS가 아닌 평문(HTTP)으로 응답했습니다. 이 포트(ServerPort)의 서버는 HTTPS를 쓰지 "
    "않습니다.";
inline constexpr std::string_view kClosedInHandshake =
    "보안 연결(TLS)을 맺는 중에 서버가 연결을 끊었습니다. HTTPS 서버가 아닐 수 있습니다.";
inline constexpr std::string_view kCutWithoutCloseNotice =
    "서버가 보안 연결(TLS)의 종료 알림 없이 연결을 끊었습니다. 받은 내용이 잘렸을 수 있습니다.";

// What the socket was doing, the start of a description that Because() completes.
inline constexpr std::string_view kPreparing = "보안 연결(TLS)을 준비하지 못했습니다";
inline constexpr std::string_view kHandshaking =
    "보안 연결(TLS) 프로토콜 오류로 연결하지 못했습니다";
inline constexpr std::string_view kSending = "보안 연결(TLS)로 보내지 못했습니다";
inline constexpr std::string_view kReceiving = "보안 연결(TLS)에서 받은 내용을 읽지 못했습니다";

// Reasons the client itself can name.
inline constexpr std::string_view kOldProtocol = "서버가 TLS 1.2 이상을 지원하지 않습니다";
inline constexpr std::string_view kRenegotiationRefused =
    "서버가 재협상(renegotiation)을 요구했지만 허용하지 않았습니다";
inline constexpr std::string_view kOversizedChain = "서버가 보낸 인증서 체인이 너무 큽니다";

// "step (reason)".
inline std::string Because(std::string_view step, std::string_view reason) {
  std::string text(step);
  text.append(" (").append(reason).append(")");
  return text;
}

// The plain connection failed before the handshake was over; the number stays the network's.
inline std::string CutInHandshake(std::string_view networkDescription) {
  return std::string("보안 연결(TLS)을 맺는 중에 연결이 끊겼습니다: ").append(networkDescription);
}

// What is wrong with the certificate the server presented.
enum class CertificateProblem {
  kExpired,
  kNotYetValid,
  kWrongName,  // detail: the name the client asked for
  kSelfSigned,
  kUnknownIssuer,
  kNotSent,
  kOther,  // detail: the library's or the system's text
};

struct CertificateRejection {
  std::int32_t number;
  std::string description;
};

inline CertificateRejection RejectCertificate(CertificateProblem problem,
                                              std::string_view detail = {}) {
  switch (problem) {
    case CertificateProblem::kExpired:
      return {socket_error::kCertificateExpired, "서버 인증서의 유효 기간이 지났습니다."};
    case CertificateProblem::kNotYetValid:
      return {socket_error::kCertificateExpired,
              "서버 인증서의 유효 기간이 아직 시작되지 않았습니다."};
    case CertificateProblem::kWrongName:
      return {
          socket_error::kCertificateWrongName,
          "서버 인증서가 이 서버의 이름(" + std::string(detail) + ")으로 발급된 것이 아닙니다."};
    case CertificateProblem::kSelfSigned:
      return {socket_error::kCertificateUnknownIssuer,
              "서버 인증서가 신뢰하지 않는 자체 서명 인증서입니다."};
    case CertificateProblem::kUnknownIssuer:
      return {socket_error::kCertificateUnknownIssuer,
              "서버 인증서의 발급 기관을 알 수 없어 신뢰할 수 없습니다."};
    case CertificateProblem::kNotSent:
      return {socket_error::kCertificateInvalid, "서버가 인증서를 보내지 않았습니다."};
    case CertificateProblem::kOther:
      break;
  }
  return {socket_error::kCertificateInvalid,
          "서버 인증서를 확인하지 못했습니다: " + std::string(detail)};
}

}  // namespace veldrask::tls_failure
