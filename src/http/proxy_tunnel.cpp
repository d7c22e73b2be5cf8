#include "http/proxy_tunnel.h"

#include <utility>

#include "base/text.h"
#include "http/response_head.h"

namespace veldrask {
namespace {

// host:port as a request target names it: an IPv6 address in brackets.
std::string Authority(std::string_view host, std::int32_t port) {
  std::string bare(WithoutBrackets(host));
  if (bare.find(':') != std::string::npos) bare = "[" + bare + "]";
  return bare + ":" + ToDecimal(port);
}

// What asks the proxy for the tunnel: the CONNECT line, its Host line and the credentials.
std::string TunnelRequest(std::string_view host, std::int32_t port, const ProxyPlace& proxy) {
  const std::string authority = Authority(host, port);
  std::string request = "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n";
  if (!proxy.authorization.empty()) {
    request += "Proxy-Authorization: " + proxy.authorization + "\r\n";
  }
  return request + "\r\n";
}

}  // namespace

ProxyTunnel::ProxyTunnel(Network& network, SocketEvents& events, ProxyPlace proxy,
                         ObserverOfTheMoment observer)
    : events_(events), proxy_(std::move(proxy)), observer_(std::move(observer)) {
  SocketEvents& connectionEvents = *this;
  connection_ = network.CreateTcpSocket(connectionEvents);
}

void ProxyTunnel::Connect(std::string_view host, std::int32_t port) {
  RequireConnectable(State());
  Close();
  targetHost_ = std::string(host);
  targetPort_ = port;
  connection_->Connect(proxy_.host, proxy_.port);
}

SocketState ProxyTunnel::State() const {
  if (open_) return connection_->State();
  if (failed_) return SocketState::kError;
  const SocketState state = connection_->State();
  return state == SocketState::kConnected ? SocketState::kConnecting : state;
}

void ProxyTunnel::Send(std::span<const std::byte> data) {
  RequireConnected(State());
  connection_->Send(data);
}

void ProxyTunnel::SendShared(SharedBytes data) {
  RequireConnected(State());
  connection_->SendShared(std::move(data));
}

void ProxyTunnel::GetData(ByteBuffer& out) {
  if (!early_.empty()) {
    out.insert(out.end(), early_.begin(), early_.end());
    early_.clear();
  }
  if (open_) connection_->GetData(out);
}

void ProxyTunnel::Close() {
  liveness_ = std::make_shared<Liveness>();
  connection_->Close();
  answer_.Reset();
  early_.clear();
  open_ = failed_ = false;
}

ExchangeObserver* ProxyTunnel::Observer() const {
  return observer_ ? observer_() : nullptr;
}

std::string ProxyTunnel::Target() const {
  return Authority(targetHost_, targetPort_);
}

std::string ProxyTunnel::ProxyText() const {
  return "프록시(" + Authority(proxy_.host, proxy_.port) + ")";
}

void ProxyTunnel::OnConnect() {
  // The server's port is checked where a plain socket checks it, as an event.
  if (std::string invalid = InvalidPortText(targetPort_); !invalid.empty()) {
    Fail(socket_error::kInvalidArgument, std::move(invalid));
    return;
  }
  const std::string request = TunnelRequest(targetHost_, targetPort_, proxy_);
  if (ExchangeObserver* observer = Observer()) observer->TunnelRequestHead(request);
  connection_->Send(AsBytes(request));
}

void ProxyTunnel::OnSendProgress(std::int32_t sent, std::int32_t remaining) {
  if (open_) events_.OnSendProgress(sent, remaining);
}

void ProxyTunnel::OnSendComplete() {
  if (open_) events_.OnSendComplete();
}

void ProxyTunnel::OnDataArrival(std::int32_t bytesTotal) {
  if (open_) {
    events_.OnDataArrival(bytesTotal);
  } else {
    ReadAnswer();
  }
}

void ProxyTunnel::OnClose() {
  if (open_) {
    events_.OnClose();
    return;
  }
  Fail(socket_error::kConnectionAborted,
       ProxyText() + "가 터널 요청(CONNECT " + Target() + ")에 답하지 않고 연결을 끊었습니다.");
}

void ProxyTunnel::OnError(std::int32_t number, std::string_view description) {
  if (open_) {
    events_.OnError(number, description);
    return;
  }
  Fail(number, ProxyText() + "에 연결하지 못했습니다: " + std::string(description));
}

void ProxyTunnel::ReadAnswer() {
  ByteBuffer arrived;
  connection_->GetData(arrived);
  const std::size_t taken = answer_.Take(arrived);
  if (answer_.TooLarge()) {
    Fail(socket_error::kProxyRefused, ProxyText() + "의 답이 너무 깁니다.");
    return;
  }
  if (!answer_.Complete()) return;
  if (ExchangeObserver* observer = Observer()) observer->TunnelAnswerHead(answer_.Text());
  const ParsedHead parsed = ParseResponseHead(answer_.Text());
  const std::optional<int> status = parsed.head.StatusNumber();
  if (parsed.error != ResponseError::kNone || !status || *status < 200 || *status > 299) {
    std::string said = parsed.head.statusCode;
    if (!parsed.head.reason.empty()) said += " " + parsed.head.reason;
    Fail(socket_error::kProxyRefused,
         ProxyText() + "가 터널(CONNECT " + Target() +
             ")을 열지 않았습니다: " + (said.empty() ? "읽을 수 없는 답" : said));
    return;
  }
  Open(std::span(arrived).subspan(taken));
}

void ProxyTunnel::Open(std::span<const std::byte> early) {
  open_ = true;
  early_.clear();
  early_.insert(early_.end(), early.begin(), early.end());
  const std::weak_ptr<Liveness> alive = liveness_;
  events_.OnConnect();
  if (alive.expired() || !open_ || early_.empty()) return;
  events_.OnDataArrival(SaturatedInt32(early_.size()));
}

void ProxyTunnel::Fail(std::int32_t number, std::string description) {
  connection_->Close();
  failed_ = true;
  events_.OnError(number, description);
}

}  // namespace veldrask
