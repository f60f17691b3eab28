#pragma once
// INI files with the semantics of the profile functions the settings were
// designed for: sections and keys case-insensitive, values trimmed, a missing
// file or key gives the default, a write changes one key in place and keeps
// the rest of the file (creating file and section when missing).
// As with those functions: the first section and the first key of a name
// count; one pair of quotes around a value is dropped; a new key goes after
// the last non-empty line of its section, a new section at the end of the file,
// with the file's own line ends (CR LF for a new file).
#include <string>

namespace quib {

class Profile {
 public:
  explicit Profile(std::string path, int newFileMode = 0600);

  const std::string& Path() const { return path_; }

  // Raw value read, cut to 2047 bytes; def when missing.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  // Decimal; hexadecimal after "0x"/"0X" when longer than 2 characters, or after "$";
  // anything else gives def.
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;

  // Each write re-reads the file, changes one line and rewrites the file
  // through a temporary file and a rename. False when the platform refuses it
  // (a folder that cannot be written, a read-only file, a file that exists but
  // cannot be read); the old file is then untouched.
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);
  bool WriteInteger(const std::string& section, const std::string& key, int value);
  bool WriteBool(const std::string& section, const std::string& key, bool value);

  // Re-reads the file (reads are served from a copy taken at construction or
  // at the last write).
  void Reload();

 private:
  std::string path_;
  int newFileMode_;
  std::string text_;  // file content as last read or written
};

// Parses the integer text the way the settings reader does; false when it is not a number.
bool ParseProfileInteger(const std::string& text, int& value);

}  // namespace quib
