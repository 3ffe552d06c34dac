#pragma once

#include <functional>

namespace vell {

// Bytes of stack for a thread that runs the engine: as much as the main
// thread has, since the engine's nesting limit is sized for that.
unsigned EngineStackBytes();

// The busy cursor while it lives, with the windows painted once more so
// that it shows; user input waits.
class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// Runs work on a thread of its own and waits for it. When it takes longer
// than a moment the cursor turns busy and the windows keep painting; user
// input waits until the work is done.
void RunWithBusyCursor(const std::function<void()>& work);

}  // namespace vell
