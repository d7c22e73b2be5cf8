#pragma once

#include <cstddef>
#include <string>

#include "http/exchange_observer.h"
#include "win32/com/host_link.h"

namespace veldrask::com {

// The core's observer calls, handed to a host's sink in plain types.
class SinkObserver final : public ExchangeObserver {
 public:
  explicit SinkObserver(IUploaderExchangeSink* sink) : sink_(sink) { sink_->AddRef(); }
  ~SinkObserver() { sink_->Release(); }
  SinkObserver(const SinkObserver&) = delete;
  SinkObserver& operator=(const SinkObserver&) = delete;

  void Connecting() override { sink_->Connecting(); }
  void Connected() override { sink_->Connected(); }
  void RequestHead(std::string_view head) override {
    sink_->RequestHead(head.data(), Length(head.size()));
  }
  void TunnelRequestHead(std::string_view head) override {
    sink_->TunnelRequestHead(head.data(), Length(head.size()));
  }
  void TunnelAnswerHead(std::string_view head) override {
    sink_->TunnelAnswerHead(head.data(), Length(head.size()));
  }
  void Progress() override { sink_->Progress(); }
  void ResponseHeadRead(const ResponseHead& head) override {
    const std::string text = ResponseHeadText(head);
    sink_->ResponseHead(text.data(), Length(text.size()));
  }
  bool TakesReplyBody() const override { return sink_->TakesReplyBody() == S_OK; }
  void ReplyBody(std::span<const std::byte> bytes) override {
    sink_->ReplyBody(reinterpret_cast<const BYTE*>(bytes.data()), Length(bytes.size()));
  }
  void DownloadEnded(const DownloadReport& report) override {
    const HostDownloadReport plain{
        .key = report.key.c_str(),
        .name = report.name.c_str(),
        .end = static_cast<LONG>(report.end),
        .statusCode = report.statusCode.c_str(),
        .reason = report.reason.c_str(),
        .detail = report.detail.c_str(),
        .announced = report.announced,
        .hasContentLength = report.contentLength.has_value(),
        .contentLength = report.contentLength.value_or(0),
        .written = report.written,
        .errorNumber = report.errorNumber,
    };
    sink_->DownloadEnded(&plain);
  }
  void SocketFailed(std::int32_t number, std::string_view description) override {
    sink_->SocketFailed(number, description.data(), Length(description.size()));
  }

 private:
  static ULONG Length(std::size_t size) { return static_cast<ULONG>(size); }

  IUploaderExchangeSink* sink_;
};

}  // namespace veldrask::com
