#pragma once
// The autosave clock: due when more than the interval has passed since the
// last save or start. Ticks are milliseconds of a monotonic clock, taken
// modulo 2^32, so the wrap of the tick count is harmless.

#include <cstdint>
#include <string>

class CAutosave {
 public:
  void setInterval(int minutes);
  void start(uint32_t now);
  void start() { start(nowTicks()); }
  void stop() { enabled = 0; }
  // True when enabled and more than the interval has passed; then the save
  // counter goes up and the interval starts again.
  bool isDue(uint32_t now);
  bool isDue() { return isDue(nowTicks()); }
  // "autosave" + counter + ".prj".
  std::string fileName() const;

  static uint32_t nowTicks();

  int counter = 0;
  int enabled = 0;
  int intervalMinutes = 0;
  uint32_t intervalMs = 0;
  uint32_t lastTick = 0;
  uint32_t lastCheck = 0;
  uint32_t lastElapsed = 0;
};
