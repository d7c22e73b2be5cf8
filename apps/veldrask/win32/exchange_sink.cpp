#include "exchange_sink.h"

#include <span>
#include <string_view>

namespace veldrask::host {

HRESULT ExchangeSink::QueryInterface(REFIID riid, void** object) {
  return win32::AnswerQuery(
      riid, object,
      {{&com::IID_IUploaderExchangeSink, static_cast<com::IUploaderExchangeSink*>(this)}});
}

HRESULT ExchangeSink::Connecting() {
  observer_.Connecting();
  return S_OK;
}

HRESULT ExchangeSink::Connected() {
  observer_.Connected();
  return S_OK;
}

HRESULT ExchangeSink::RequestHead(const char* head, ULONG length) {
  if (head == nullptr) return E_POINTER;
  observer_.RequestHead(std::string_view(head, length));
  return S_OK;
}

HRESULT ExchangeSink::TunnelRequestHead(const char* head, ULONG length) {
  if (head == nullptr) return E_POINTER;
  observer_.TunnelRequestHead(std::string_view(head, length));
  return S_OK;
}

HRESULT ExchangeSink::TunnelAnswerHead(const char* head, ULONG length) {
  if (head == nullptr) return E_POINTER;
  observer_.TunnelAnswerHead(std::string_view(head, length));
  return S_OK;
}

HRESULT ExchangeSink::Progress() {
  observer_.Progress();
  return S_OK;
}

HRESULT ExchangeSink::ResponseHead(const char* head, ULONG length) {
  if (head == nullptr) return E_POINTER;
  observer_.ResponseHeadRead(ParseResponseHead(std::string_view(head, length)).head);
  return S_OK;
}

HRESULT ExchangeSink::TakesReplyBody() {
  return observer_.TakesReplyBody() ? S_OK : S_FALSE;
}

HRESULT ExchangeSink::ReplyBody(const BYTE* bytes, ULONG length) {
  if (bytes == nullptr && length > 0) return E_POINTER;
  observer_.ReplyBody(std::as_bytes(std::span(bytes, length)));
  return S_OK;
}

HRESULT ExchangeSink::DownloadEnded(const com::HostDownloadReport* report) {
  if (report == nullptr) return E_POINTER;
  DownloadReport copy{
      .key = report->key,
      .name = report->name,
      .end = static_cast<DownloadEnd>(report->end),
      .statusCode = report->statusCode,
      .reason = report->reason,
      .detail = report->detail,
      .errorNumber = report->errorNumber,
      .announced = report->announced,
      .contentLength =
          report->hasContentLength ? std::optional(report->contentLength) : std::nullopt,
      .written = report->written,
  };
  observer_.DownloadEnded(copy);
  return S_OK;
}

HRESULT ExchangeSink::SocketFailed(LONG number, const char* description, ULONG length) {
  if (description == nullptr && length > 0) return E_POINTER;
  observer_.SocketFailed(number, std::string_view(description, length));
  return S_OK;
}

}  // namespace veldrask::host
