#pragma once

// A connection through an HTTP proxy's CONNECT tunnel.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "base/byte_buffer.h"
#include "base/shared_bytes.h"
#include "http/exchange_observer.h"
#include "http/head_collector.h"
#include "http/host_options.h"
#include "platform/tcp_socket.h"

namespace veldrask {

// Connect(host, port) connects to the proxy and asks it for a tunnel to host:port. The
// connection is reported once the proxy answers 2xx; from then on the bytes pass through
// unchanged, so a TLS socket over the tunnel checks the server's own certificate. Any other
// answer, or none, is the socket's error with the proxy's status named. Events come from
// those of the connection to the proxy, so never from inside a call on the tunnel.
class ProxyTunnel final : public TcpSocket, private SocketEvents {
 public:
  // The most of the proxy's answer head that is read.
  static constexpr std::size_t kAnswerLimit = std::size_t{16} << 10;
  // The observer of the moment, told the CONNECT exchange's heads; it may give null.
  using ObserverOfTheMoment = std::function<ExchangeObserver*()>;

  ProxyTunnel(Network& network, SocketEvents& events, ProxyPlace proxy,
              ObserverOfTheMoment observer = {});
  ProxyTunnel(const ProxyTunnel&) = delete;
  ProxyTunnel& operator=(const ProxyTunnel&) = delete;
  ~ProxyTunnel() override = default;

  void Connect(std::string_view host, std::int32_t port) override;
  // Connecting until the proxy has opened the tunnel.
  SocketState State() const override;
  void Send(std::span<const std::byte> data) override;
  void SendShared(SharedBytes data) override;
  bool HoldsUnsent() const override { return connection_->HoldsUnsent(); }
  void GetData(ByteBuffer& out) override;
  void Close() override;

 private:
  struct Liveness {};

  void OnConnect() override;
  void OnSendProgress(std::int32_t sent, std::int32_t remaining) override;
  void OnSendComplete() override;
  void OnDataArrival(std::int32_t bytesTotal) override;
  void OnClose() override;
  void OnError(std::int32_t number, std::string_view description) override;

  void ReadAnswer();
  void Open(std::span<const std::byte> early);
  void Fail(std::int32_t number, std::string description);
  // "프록시(host:port)", the start of every description of a failure before the tunnel stood.
  std::string ProxyText() const;
  // "host:port" of the server.
  std::string Target() const;
  ExchangeObserver* Observer() const;

  SocketEvents& events_;
  ProxyPlace proxy_;
  ObserverOfTheMoment observer_;
  std::unique_ptr<TcpSocket> connection_;
  std::string targetHost_;  // the server the tunnel is asked for
  std::int32_t targetPort_ = 0;
  HeadCollector answer_{kAnswerLimit};
  ByteBuffer early_;  // what came after the proxy's answer, for the owner's first read
  std::shared_ptr<Liveness> liveness_ = std::make_shared<Liveness>();
  bool open_ = false;
  bool failed_ = false;
};

}  // namespace veldrask
