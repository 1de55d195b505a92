#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

TempDir::TempDir() {
  char templ[] = "/tmp/suite-test-XXXXXX";
  if (mkdtemp(templ))
    path = templ;
  else
    ADD_FAILURE() << "cannot make a temporary folder";
}

TempDir::~TempDir() {
  if (!path.empty()) std::filesystem::remove_all(path);
}

std::string TempDir::file(const std::string &name,
                          const std::string &content) const {
  std::string p = path + "/" + name;
  std::ofstream(p, std::ios::binary) << content;
  return p;
}
