// exit(), malloc() and fopen() as the fuzz targets see them. The binaries are
// linked with --wrap for these names, so every call from the compiled sources
// lands here; outside a guarded call each wrapper passes straight through.
#include "harness.h"
#include "misc.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_set>
#include <vector>

extern "C" {
[[noreturn]] void __real_exit(int status);
void *__real_malloc(size_t size);
void *__real_calloc(size_t count, size_t size);
void *__real_realloc(void *block, size_t size);
void __real_free(void *block);
FILE *__real_fopen(const char *path, const char *mode);
FILE *__real_fopen64(const char *path, const char *mode);
int __real_fclose(FILE *stream);
}

namespace {

struct ExitCalled {
  int status;
};

// Only the fuzzing thread is guarded; libFuzzer's own threads pass through.
thread_local bool guarded = false;

// Larger requests fail: the fuzzer is not to eat the machine, and the
// programs' "malloc failed" path gets exercised.
constexpr size_t allocation_cap = size_t{64} << 20;

std::unordered_set<void *> blocks; // taken during the guarded call, not freed
std::vector<FILE *> streams;       // opened during the guarded call

FILE *remember(FILE *stream) {
  if (guarded && stream) streams.push_back(stream);
  return stream;
}

void *track(void *block) {
  if (block) blocks.insert(block);
  return block;
}

} // namespace

extern "C" {

[[noreturn]] void __wrap_exit(int status) {
  if (guarded) throw ExitCalled{status};
  __real_exit(status);
}

void *__wrap_malloc(size_t size) {
  if (!guarded) return __real_malloc(size);
  if (size > allocation_cap) return nullptr;
  return track(__real_malloc(size));
}

void *__wrap_calloc(size_t count, size_t size) {
  if (!guarded) return __real_calloc(count, size);
  if (size != 0 && count > allocation_cap / size) return nullptr;
  return track(__real_calloc(count, size));
}

void *__wrap_realloc(void *block, size_t size) {
  if (!guarded) return __real_realloc(block, size);
  if (size > allocation_cap) return nullptr;
  void *moved = __real_realloc(block, size);
  if (moved) {
    blocks.erase(block);
    track(moved);
  }
  return moved;
}

void __wrap_free(void *block) {
  if (guarded) blocks.erase(block);
  __real_free(block);
}

FILE *__wrap_fopen(const char *path, const char *mode) {
  return remember(__real_fopen(path, mode));
}

FILE *__wrap_fopen64(const char *path, const char *mode) {
  return remember(__real_fopen64(path, mode));
}

int __wrap_fclose(FILE *stream) {
  if (guarded) std::erase(streams, stream);
  return __real_fclose(stream);
}

} // extern "C"

Outcome run_guarded(const std::function<void()> &body) {
  Outcome outcome;
  char *text = nullptr;
  size_t length = 0;
  FILE *captured = open_memstream(&text, &length);
  FILE *saved = stderr;
  stderr = captured;
  guarded = true;
  try {
    body();
  } catch (const ExitCalled &e) {
    outcome.exited = true;
    outcome.status = e.status;
  }
  guarded = false;
  stderr = saved;
  // Streams first: their buffers are not ours to free.
  for (FILE *stream : streams) __real_fclose(stream);
  streams.clear();
  for (void *block : blocks) __real_free(block);
  blocks.clear();
  memory_taken = 0; // the allocator's count of what the run holds
  fclose(captured);
  outcome.err.assign(text, length);
  __real_free(text);
  return outcome;
}

void require(bool condition, const char *what, const Outcome &outcome) {
  if (condition) return;
  fprintf(stderr, "\n*** property violated: %s\n", what);
  if (outcome.exited) fprintf(stderr, "*** exit status %d\n", outcome.status);
  fprintf(stderr, "*** standard error of the run (%zu bytes):\n%.*s\n",
          outcome.err.size(), static_cast<int>(std::min<size_t>(outcome.err.size(), 2000)),
          outcome.err.c_str());
  abort();
}

void require_clean_ending(const Outcome &outcome) {
  if (!outcome.exited) return;
  require(outcome.status == 0 || outcome.status == 1,
          "exit status other than 0 or 1", outcome);
  require(outcome.status == 0 || !outcome.err.empty(),
          "exit status 1 without a message on standard error", outcome);
}

const char *file_holding(const uint8_t *data, size_t size) {
  static int fd = -1;
  static char path[64];
  if (fd < 0) {
    fd = memfd_create("fuzz-input", 0);
    if (fd < 0) {
      perror("memfd_create");
      abort();
    }
    snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
  }
  if (ftruncate(fd, 0) != 0 ||
      (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))) {
    perror("writing the fuzz input");
    abort();
  }
  return path;
}
