#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "base/byte_buffer.h"
#include "platform/event_loop.h"
#include "platform/tcp_socket.h"

namespace veldrask::posix {

// A socket's events on their way through the loop, so that none is raised from inside a call
// on the socket and all are seen in the order they happened; and the bytes that arrived for
// the owner. Silence drops every event not yet delivered.
class SocketEventsQueue {
 public:
  SocketEventsQueue(EventLoop& loop, SocketEvents& events) : loop_(loop), events_(events) {}

  // Delivers fire(events) from the loop unless silenced first.
  template <typename Fire>
  void Post(Fire fire) {
    loop_.Post([alive = std::weak_ptr<Liveness>(liveness_), &events = events_,
                fire = std::move(fire)]() mutable {
      if (!alive.expired()) fire(events);
    });
  }
  // OnSendProgress(sent, 0) and then OnSendComplete, when the last bytes handed over have gone
  // out (a send the kernel took whole, or the end of a queued remainder), as one task of the
  // loop: the second only if the first left the socket open.
  void PostAllSent(std::int32_t sent);
  void Silence();

  ByteBuffer& Incoming() { return incoming_; }
  // One arrival event stands for everything that arrives until it is delivered; it reports
  // the total waiting then, and nothing if the owner has already taken it.
  void AnnounceArrival();
  // Moves what arrived to the end of out.
  void HandOver(ByteBuffer& out);

 private:
  struct Liveness {};

  EventLoop& loop_;
  SocketEvents& events_;
  ByteBuffer incoming_;
  bool arrivalAnnounced_ = false;
  std::shared_ptr<Liveness> liveness_ = std::make_shared<Liveness>();
};

}  // namespace veldrask::posix
