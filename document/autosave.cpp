#include "document/autosave.h"

#include <chrono>

void CAutosave::setInterval(int minutes) {
  intervalMinutes = minutes;
  intervalMs = static_cast<uint32_t>(minutes) * 60000u;
}

void CAutosave::start(uint32_t now) {
  enabled = 1;
  counter = 0;
  intervalMs = static_cast<uint32_t>(intervalMinutes) * 60000u;
  if (intervalMs == 0) enabled = 0;
  lastTick = now;
}

bool CAutosave::isDue(uint32_t now) {
  if (!enabled || intervalMs == 0) return false;
  lastCheck = now;
  lastElapsed = now - lastTick;
  if (lastElapsed <= intervalMs) return false;
  ++counter;
  lastTick = now;
  return true;
}

std::string CAutosave::fileName() const { return "autosave" + std::to_string(counter) + ".prj"; }

uint32_t CAutosave::nowTicks() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
