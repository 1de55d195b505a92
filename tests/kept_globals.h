// Test support: the globals a test may change, put back when it ends.
#ifndef KEPT_GLOBALS_H
#define KEPT_GLOBALS_H

#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "misc.h"

// Copies, taken on construction, of the random stream (with the normal
// value held back), of every variable of
// an option table and of any global handed to keep(); each is written back
// on destruction. A member of a test fixture, it keeps each test from
// leaving parameters behind for the tests that run after it.
class KeptGlobals {
public:
  explicit KeptGlobals(const OPTION *options = nullptr) {
    keep(random_state);
    keep(holding);
    keep(hold);
    for (const OPTION *o = options; o && o->name; o++) keep_bytes(o->variable, width(o->type));
  }
  ~KeptGlobals() {
    for (auto &[at, bytes] : copies) memcpy(at, bytes.data(), bytes.size());
  }
  KeptGlobals(const KeptGlobals &) = delete;
  KeptGlobals &operator=(const KeptGlobals &) = delete;

  template <class T> void keep(T &variable) {
    static_assert(std::is_trivially_copyable_v<T>);
    keep_bytes(&variable, sizeof variable);
  }

private:
  static size_t width(int type) {
    switch (type) {
    case OPT_INT:
    case OPT_SWITCH: return sizeof(int);
    case OPT_DOUBLE: return sizeof(double);
    case OPT_STRING: return sizeof(const char *);
    default: return 0; // a handler keeps its own state
    }
  }
  void keep_bytes(void *at, size_t n) {
    copies.emplace_back(at, std::string(static_cast<const char *>(at), n));
  }
  std::vector<std::pair<void *, std::string>> copies;
};

#endif
