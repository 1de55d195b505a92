// Allocation: blocks that are never null, held to the memory a run can have.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// The limits are read where Linux shows them; elsewhere (WebAssembly among
// them) only a null block from malloc refuses a request.
#if defined(__linux__) && !defined(__EMSCRIPTEN__)
#include <sys/resource.h>
#include <unistd.h>
#define READ_MEMORY_LIMITS 1
#endif

#include "misc.h"

long long memory_taken = 0;

namespace {

const long long no_limit = LLONG_MAX;

[[noreturn]] void out_of_memory(long long size) {
  fprintf(stderr, "malloc failed to get %lld bytes.\n", size);
  exit(1);
}

// What a block of n bytes takes: a header word, rounded up to 16 bytes, 32
// at least, so that many small blocks count for what they really use; from
// a page on, whole pages, since a large block is mapped on its own.
long long footprint(long long n) {
  if (n >= 4096) return (n + 16 + 4095) / 4096 * 4096;
  return std::max(32LL, (n + 8 + 15) / 16 * 16);
}

#ifdef READ_MEMORY_LIMITS
// Kept free under an address-space limit for what the program maps besides
// its blocks after the first request: stack growth, stdio buffers, the
// heap's own slack. Small, so that a run that fits a tight limit is not
// refused.
const long long address_space_margin = 1LL << 20;

long long physical_memory() {
  long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGESIZE);
  return pages > 0 && page > 0 ? static_cast<long long>(pages) * page : no_limit;
}

// RLIMIT_AS less what is mapped already (code, libraries, stack) and the
// margin; below 0 when not even that fits, and then every request is refused.
long long address_space_room() {
  rlimit r;
  if (getrlimit(RLIMIT_AS, &r) != 0 || r.rlim_cur == RLIM_INFINITY) return no_limit;
  long long mapped = 0, pages = 0;
  if (FILE *f = fopen("/proc/self/statm", "r")) {
    if (fscanf(f, "%lld", &pages) == 1) mapped = pages * sysconf(_SC_PAGESIZE);
    fclose(f);
  }
  long long cap = static_cast<long long>(std::min<rlim_t>(r.rlim_cur, LLONG_MAX));
  return cap - mapped - address_space_margin;
}

// The number a cgroup limit file holds; "max" or no file sets no limit.
long long limit_in(const std::string &file) {
  FILE *f = fopen(file.c_str(), "r");
  if (!f) return no_limit;
  long long v = 0;
  bool read = fscanf(f, "%lld", &v) == 1 && v >= 0;
  fclose(f);
  return read ? v : no_limit;
}

// True when the comma-separated list names `item`.
bool lists(const std::string &list, const char *item) {
  for (size_t start = 0;;) {
    size_t end = list.find(',', start);
    size_t n = end == std::string::npos ? std::string::npos : end - start;
    if (list.compare(start, n, item) == 0) return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

// Field n (from 0) of a line of space-separated fields.
std::string field(const char *line, int n) {
  const char *p = line;
  for (int i = 0; i < n; i++) {
    p = strchr(p, ' ');
    if (!p) return "";
    p++;
  }
  return std::string(p, strcspn(p, " \n"));
}

struct MOUNT {
  std::string root;  // the folder of the hierarchy that is mounted
  std::string point; // where
};

// The mount of the cgroup2 hierarchy, or (version2 false) of the version 1
// hierarchy with the memory controller, from /proc/self/mountinfo.
bool find_mount(bool version2, MOUNT *m) {
  FILE *f = fopen("/proc/self/mountinfo", "r");
  if (!f) return false;
  char *line = nullptr;
  size_t capacity = 0;
  bool found = false;
  while (!found && getline(&line, &capacity, f) > 0) {
    const char *tail = strstr(line, " - "); // then type, source, options
    if (!tail) continue;
    std::string type = field(tail + 3, 0);
    found = version2 ? type == "cgroup2"
                     : type == "cgroup" && lists(field(tail + 3, 2), "memory");
    if (found) *m = MOUNT{field(line, 3), field(line, 4)};
  }
  free(line);
  fclose(f);
  return found;
}

// The lowest limit that `file` sets in the cgroup at `path` of a hierarchy
// and in every cgroup above it that the mount shows.
long long hierarchy_limit(bool version2, std::string path, const char *file) {
  MOUNT m;
  if (!find_mount(version2, &m)) return no_limit;
  if (m.root != "/" && path.compare(0, m.root.size(), m.root) == 0)
    path.erase(0, m.root.size());
  std::string dir = m.point + path;
  while (dir.size() > m.point.size() && dir.back() == '/') dir.pop_back();
  long long lowest = no_limit;
  for (;;) {
    lowest = std::min(lowest, limit_in(dir + "/" + file));
    size_t up = dir.rfind('/');
    if (dir.size() <= m.point.size() || up == std::string::npos) return lowest;
    dir.erase(up);
  }
}

// The lowest memory limit of the cgroups the process belongs to: memory.max
// (version 2), memory.limit_in_bytes (version 1). Lines of
// /proc/self/cgroup read "id:controllers:path", controllers empty for 2.
long long cgroup_limit() {
  FILE *f = fopen("/proc/self/cgroup", "r");
  if (!f) return no_limit;
  char *line = nullptr;
  size_t capacity = 0;
  long long lowest = no_limit;
  while (getline(&line, &capacity, f) > 0) {
    char *first = strchr(line, ':');
    char *second = first ? strchr(first + 1, ':') : nullptr;
    if (!second) continue;
    std::string controllers(first + 1, second), path(second + 1, strcspn(second + 1, "\n"));
    if (controllers.empty())
      lowest = std::min(lowest, hierarchy_limit(true, path, "memory.max"));
    else if (lists(controllers, "memory"))
      lowest = std::min(lowest, hierarchy_limit(false, path, "memory.limit_in_bytes"));
  }
  free(line);
  fclose(f);
  return lowest;
}
#endif

// A block of `bytes`, refused when it would take the run past the limit,
// read once at the first request: malloc grants large blocks without the
// memory behind them, and a run that fills them would only be stopped by
// the system, or stop the system.
void *take(long long bytes) {
  static const long long limit = memory_limit();
  if (bytes < 0) out_of_memory(bytes); // a count gone wrong
  if constexpr (sizeof(size_t) < sizeof(long long))
    if (static_cast<unsigned long long>(bytes) > SIZE_MAX) out_of_memory(bytes);
  long long cost = footprint(bytes);
  if (cost > limit - memory_taken) out_of_memory(bytes);
  void *block = malloc(static_cast<size_t>(bytes));
  if (!block) out_of_memory(bytes);
  memory_taken += cost;
  return block;
}

} // namespace

long long memory_limit() {
#ifdef READ_MEMORY_LIMITS
  return std::min({physical_memory(), address_space_room(), cgroup_limit()});
#else
  return no_limit;
#endif
}

void *xmalloc(int size) { return take(size); }

void *xmalloc_array(long long count, long long each) {
  long long bytes = count * each; // no overflow: see the precondition
  if (bytes < INT_MIN || bytes > INT_MAX) out_of_memory(bytes);
  return take(bytes);
}

void *xmalloc_wide(long long count, long long each) { return take(count * each); }
