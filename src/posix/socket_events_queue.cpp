#include "posix/socket_events_queue.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace veldrask::posix {

void SocketEventsQueue::PostAllSent(std::int32_t sent) {
  loop_.Post([alive = std::weak_ptr<Liveness>(liveness_), &events = events_, sent] {
    if (alive.expired()) return;
    events.OnSendProgress(sent, 0);
    if (!alive.expired()) events.OnSendComplete();
  });
}

void SocketEventsQueue::Silence() {
  liveness_ = std::make_shared<Liveness>();
  incoming_.clear();
  arrivalAnnounced_ = false;
}

void SocketEventsQueue::AnnounceArrival() {
  if (arrivalAnnounced_) return;
  arrivalAnnounced_ = true;
  Post([this](SocketEvents& events) {
    arrivalAnnounced_ = false;
    if (!incoming_.empty()) events.OnDataArrival(SaturatedInt32(incoming_.size()));
  });
}

void SocketEventsQueue::HandOver(ByteBuffer& out) {
  if (out.empty()) {
    out.swap(incoming_);
  } else {
    out.insert(out.end(), incoming_.begin(), incoming_.end());
  }
  incoming_.clear();
}

}  // namespace veldrask::posix
