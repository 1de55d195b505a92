// Support shared by the fuzz targets: observe exit() without ending the
// fuzzer, and give back per input what the readers keep by design.
#ifndef FUZZ_HARNESS_H
#define FUZZ_HARNESS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// What one guarded call did.
struct Outcome {
  bool exited = false; // ended through exit() rather than by returning
  int status = 0;      // the exit status when exited
  std::string err;     // everything written to standard error meanwhile
};

// Runs `body` with exit() turned into an exception, standard error captured,
// every stream that the body opens with fopen() closed afterwards and every
// block it took with malloc() and did not free released afterwards. Requests
// above the allocation cap fail (return null) as they would on a machine
// without that much memory.
Outcome run_guarded(const std::function<void()> &body);

// Stops the fuzzer with a report when a property does not hold.
void require(bool condition, const char *what, const Outcome &outcome);

// Exit status and message: a run ends by returning or by exit(1) with a
// message, never with another status or a silent failure.
void require_clean_ending(const Outcome &outcome);

// A path through which fopen() reads exactly the given bytes.
const char *file_holding(const uint8_t *data, size_t size);

#endif
