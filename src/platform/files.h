#pragma once
// File-system stand-ins: existence (file or folder alike), folder listings,
// rename, and whole text files by lines. Paths are Linux paths with "/".
#include <string>
#include <vector>

namespace quib {

// True when the path names an existing file or folder; an empty path never exists.
bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);

// Names (not paths) of the entries of folder matching a shell pattern such
// as "*.jpg" or "*.*" (matched without regard to ASCII case, like the
// platform the program was made for; "*.*" also matches names without a dot).
// Files and folders alike, without "." and "..", sorted by CompareNoCase.
// Returns false when the folder cannot be read.
bool ListFolder(const std::string& folder, const std::string& pattern,
                std::vector<std::string>& names);

// Fails when to already exists (the rename the program was designed around never replaces).
bool RenamePath(const std::string& from, const std::string& to);
bool CopyFileBytes(const std::string& from, const std::string& to);

// Reads a text file as lines ending in CR LF, LF or CR; bytes unchanged.
// A final line end does not add an empty line. False when it cannot be read.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines);

// Writes lines, each ending in CR LF, through a temporary file in the same
// folder that is renamed into place: a failed write leaves the old file
// intact and no partial file behind. False on any failure.
bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines);

// Writes bytes the same safe way, with the given permission bits for a new file
// (an existing file keeps its own). A read-only file (owner write bit clear)
// is refused even for root; a symbolic link is written through to its target.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, int mode = 0644);
bool ReadFileBytes(const std::string& path, std::string& bytes);

// Folder part of a path: everything up to and including its last "/"; empty without one.
std::string FolderPart(const std::string& path);
// File name: everything after the last "/".
std::string FileNamePart(const std::string& path);
// Extension from the last "." of the file name, with the dot, lower-cased ("" when none).
std::string LowerExtension(const std::string& path);
// The path with its extension (from the last "." of the file name) replaced;
// appended when there is none.
std::string ChangeExtension(const std::string& path, const std::string& ext);
// ASCII case-insensitive comparison, as the catalogue orders and finds names.
int CompareNoCase(const std::string& a, const std::string& b);

}  // namespace quib
