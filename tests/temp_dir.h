// Test support: a temporary folder for the files a test writes.
#ifndef TEMP_DIR_H
#define TEMP_DIR_H

#include <string>

// A fresh temporary directory, removed with everything in it on destruction.
struct TempDir {
  std::string path;
  TempDir();
  ~TempDir();
  // Writes `content` to the file `name` in the folder; returns its path.
  std::string file(const std::string &name, const std::string &content) const;
};

#endif
