#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace veldrask::headless {

using ObserverId = std::uint64_t;

// Callbacks that may add or remove observers (themselves included) while being notified: a
// removed observer is not called again, one added during a notification waits for the next.
template <typename... Args>
class ObserverList {
 public:
  using Handler = std::function<void(Args...)>;

  void Add(ObserverId id, Handler handler) {
    entries_.push_back(std::make_shared<Entry>(Entry{id, std::move(handler), false}));
  }

  bool Remove(ObserverId id) {
    auto found =
        std::find_if(entries_.begin(), entries_.end(),
                     [id](const std::shared_ptr<Entry>& entry) { return entry->id == id; });
    if (found == entries_.end()) return false;
    (*found)->removed = true;
    entries_.erase(found);
    return true;
  }

  bool Empty() const { return entries_.empty(); }

  void Notify(Args... args) const {
    if (entries_.empty()) return;
    const std::vector<std::shared_ptr<Entry>> snapshot = entries_;
    for (const std::shared_ptr<Entry>& entry : snapshot) {
      if (!entry->removed) entry->handler(args...);
    }
  }

 private:
  struct Entry {
    ObserverId id;
    Handler handler;
    bool removed;
  };

  std::vector<std::shared_ptr<Entry>> entries_;
};

}  // namespace veldrask::headless
