#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/code_page.h"

namespace quib {

namespace {

// ASCII lower case that leaves the trail bytes of Shift-JIS characters alone
// (0x41..0x5A is also a trail-byte range, and "ア" must not turn into another character).
std::string FoldCase(const std::string& s) {
  std::string out = s;
  bool utf8 = IsValidUtf8(s);
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (!utf8 && IsLeadByte(c, Encoding::Cp932) && i + 1 < out.size()) {
      ++i;
      continue;
    }
    if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c + ('a' - 'A'));
  }
  return out;
}

// Shell-style match of "*" and "?" (byte-wise), on case-folded texts.
bool Glob(const char* p, const char* s) {
  const char* starP = nullptr;
  const char* starS = nullptr;
  while (*s) {
    if (*p == '*') {
      starP = ++p;
      starS = s;
    } else if (*p == '?' || *p == *s) {
      ++p;
      ++s;
    } else if (starP) {
      p = starP;
      s = ++starS;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return *p == '\0';
}

bool MatchPattern(const std::string& foldedPattern, const std::string& name) {
  std::string n = FoldCase(name);
  if (Glob(foldedPattern.c_str(), n.c_str())) return true;
  // As on the platform the program was made for, "*.*" (any "X.*") also
  // matches names without an extension.
  if (foldedPattern.size() >= 2 && foldedPattern.compare(foldedPattern.size() - 2, 2, ".*") == 0)
    return Glob(foldedPattern.substr(0, foldedPattern.size() - 2).c_str(), n.c_str());
  return false;
}

bool WriteAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

std::string TempName(const std::string& folder, const std::string& name) {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 rng{std::random_device{}()};
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".tmp-%d-%u-%08x", static_cast<int>(getpid()),
                counter.fetch_add(1), static_cast<unsigned>(rng()));
  return folder + "." + name + suffix;
}

}  // namespace

bool PathExists(const std::string& path) {
  if (path.empty()) return false;
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  if (path.empty()) return false;
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ListFolder(const std::string& folder, const std::string& pattern,
                std::vector<std::string>& names) {
  names.clear();
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return false;
  std::string folded = FoldCase(pattern);
  while (dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (MatchPattern(folded, name)) names.push_back(std::move(name));
  }
  ::closedir(dir);
  // The directory order of the file system is arbitrary; give a stable one.
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
  return true;
}

bool RenamePath(const std::string& from, const std::string& to) {
  if (from.empty() || to.empty()) return false;
  // Never replaces an existing target, like the rename the program was designed around.
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without RENAME_NOREPLACE.
  struct stat st;
  if (::lstat(to.c_str(), &st) == 0) return false;
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyFileBytes(const std::string& from, const std::string& to) {
  std::string bytes;
  if (!ReadFileBytes(from, bytes)) return false;
  struct stat st;
  int mode = ::stat(from.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : 0644;
  return WriteFileAtomically(to, bytes, mode);
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  if (path.empty()) return false;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return false;
  }
  if (S_ISREG(st.st_mode) && st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t r = ::read(fd, buf, sizeof buf);
    if (r < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      bytes.clear();
      return false;
    }
    if (r == 0) break;
    bytes.append(buf, static_cast<size_t>(r));
  }
  ::close(fd);
  return true;
}

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) return false;
  size_t start = 0;
  const size_t n = bytes.size();
  for (size_t i = 0; i < n; ++i) {
    char c = bytes[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(bytes, start, i - start);
    if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.emplace_back(bytes, start, n - start);
  return true;
}

bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
  size_t total = 0;
  for (const auto& l : lines) total += l.size() + 2;
  std::string bytes;
  bytes.reserve(total);
  for (const auto& l : lines) {
    bytes += l;
    bytes += "\r\n";
  }
  return WriteFileAtomically(path, bytes);
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, int mode) {
  if (path.empty() || path.back() == '/') return false;
  // Write through a symbolic link to its target instead of replacing the link.
  std::string target = path;
  struct stat lst;
  if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) target = resolved;
  }
  struct stat st;
  bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists) {
    if (!S_ISREG(st.st_mode)) return false;
    // A file without its owner's write bit is read-only, even for root (as a
    // read-only attribute is for an administrator).
    if (!(st.st_mode & S_IWUSR) || ::access(target.c_str(), W_OK) != 0) return false;
  }
  std::string folder = FolderPart(target);
  std::string name = FileNamePart(target);
  std::string tmp;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    tmp = TempName(folder, name);
    // The umask applies to a new file's mode, as it would to a plain open().
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                static_cast<mode_t>(exists ? 0600 : mode));
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = true;
  if (exists) {
    // Keep the old file's owner and permission bits.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
      // Only root may give a file away; keeping our own ownership is fine.
    }
    ok = ::fchmod(fd, st.st_mode & 07777) == 0;
  }
  ok = ok && WriteAll(fd, bytes.data(), bytes.size());
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(tmp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

std::string FolderPart(const std::string& path) {
  size_t p = path.rfind('/');
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string FileNamePart(const std::string& path) {
  size_t p = path.rfind('/');
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string LowerExtension(const std::string& path) {
  std::string name = FileNamePart(path);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return std::string();
  return FoldCase(name.substr(dot));
}

std::string ChangeExtension(const std::string& path, const std::string& ext) {
  size_t slash = path.rfind('/');
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ext;
  return path.substr(0, dot) + ext;
}

int CompareNoCase(const std::string& a, const std::string& b) {
  std::string fa = FoldCase(a), fb = FoldCase(b);
  int r = fa.compare(fb);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

}  // namespace quib
