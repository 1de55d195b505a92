// Data files: the samples installed with the programs.
#include <climits>
#include <cstring>
#include <string>

#include <unistd.h>

#include "misc.h"

const char *find_data_file(const char *path) {
  if (access(path, F_OK) == 0) return path;
#if defined(__linux__) && !defined(__EMSCRIPTEN__)
  // DATA_FROM_BIN: the installed data folder seen from the programs' folder,
  // set by the build from its install folders; the executable's own path
  // finds it wherever the installed tree was moved.
  static std::string installed;
  char exe[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe);
  if (n <= 0 || n == static_cast<ssize_t>(sizeof exe)) return path;
  const char *name = strrchr(path, '/');
  installed.assign(exe, static_cast<size_t>(n));
  installed.erase(installed.rfind('/') + 1);
  installed += DATA_FROM_BIN "/";
  installed += name ? name + 1 : path;
  if (access(installed.c_str(), F_OK) == 0) return installed.c_str();
#endif
  return path;
}
