// Reading and writing whole files by UTF-8 paths, on every platform (Windows
// opens files by UTF-16 names, so a path is converted there).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace textraster::tool {

// Every byte of the file, or false with a message in `error`. "-" is standard input.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

// Writes the file whole; "-" is standard output.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

// Writes text to standard output (in text mode: CR LF line ends on
// Windows) and flushes it; false with a message in `error` when it cannot be
// written (a full disk, a closed pipe), so that a script is not told it got
// what it never did.
bool WriteStandardOutput(const std::string& text, std::string& error);

// Whether the path names an existing file that is not a folder.
bool IsFile(const std::string& path);

// The names (not paths) of the files in the folder; empty when it cannot be read.
std::vector<std::string> FilesIn(const std::string& folder);

// Removes the file; false with a message in `error`.
bool RemoveFile(const std::string& path, std::string& error);

// Creates the folder and its parents; an existing folder is fine.
bool MakeFolder(const std::string& path, std::string& error);

// `folder` joined with `name` by the platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// The path made absolute, for telling a person where a file went.
std::string AbsolutePath(const std::string& path);

// Whether standard error is a terminal (progress lines are only for people).
bool StderrIsTerminal();

}  // namespace textraster::tool
