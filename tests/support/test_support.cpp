#include "support/test_support.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quib::test {

TempDir::TempDir() {
  std::filesystem::path base = std::filesystem::path(QUIB_TEST_TMP);
  std::filesystem::create_directories(base);
  std::string templ = (base / "t-XXXXXX").string();
  if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may leave read-only folders behind; make them writable first.
  for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec))
    std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name) const {
  return path_ + "/" + name;
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::string p = File(name);
  std::filesystem::create_directories(std::filesystem::path(p).parent_path());
  std::ofstream out(p, std::ios::binary);
  out << bytes;
  return p;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace quib::test
