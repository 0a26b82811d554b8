#pragma once

#include <functional>

namespace lumora {

// Periodic ticks for logic that must not read the clock itself: the multimedia timer in the
// application, a hand-driven ticker in tests. Ticks run one at a time, on the ticker's thread.
class Ticker {
 public:
  using Tick = std::function<void()>;

  virtual ~Ticker() = default;

  // From now on calls tick every periodMs until Stop. Called while stopped, and never from
  // inside a tick.
  virtual void Start(int periodMs, Tick tick) = 0;
  // No tick starts after this. From any thread but the ticker's it also waits until a tick
  // that is running has returned; from inside a tick it returns at once.
  virtual void Stop() = 0;
};

}  // namespace lumora
