#pragma once

// File access of the core. Paths are native (UTF-8) strings; file contents are
// bytes. Every write is crash-safe: the new content goes to a temporary file in
// the target's folder, is flushed to disk and then renamed over the target, so
// the target holds either its old or its new content, never a part.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace takton {

// Joins a project directory and a file name given in cp1252.
std::string ProjectPath(const std::string &dir, std::string_view fileNameCp1252);

// The folder part of a native path, without a trailing separator ("." for a
// bare file name, "/" for a file in the root).
std::string DirectoryOf(const std::string &path);

bool FileExists(const std::string &path);

// The whole file, or nothing when it does not exist. A file that exists but
// cannot be read raises TaktonError.
std::optional<std::string> ReadWholeFile(const std::string &path);

// Replaces the file's content whole. A read-only target or a folder that cannot
// be written raises TaktonError "In <path> kann nicht geschrieben werden"; the
// old file then stays as it was.
void WriteWholeFile(const std::string &path, std::string_view content);

// The steps of that write, for a writer that fills the temporary file itself
// (the zip writer). CheckWritableTarget raises the message for a read-only or
// non-regular target. MakeTempFileBeside makes a new empty file in the
// target's folder and gives its path; OpenTempFileBeside also gives it open
// for writing. ReplaceWithTempFile gives it the
// target's mode (a new file's mode where there is none), makes it durable and
// renames it over the target; on failure it removes the temporary file and
// raises the message, the old file staying whole.
[[noreturn]] void ThrowCannotWrite(const std::string &path);
void CheckWritableTarget(const std::string &path);
std::string MakeTempFileBeside(const std::string &path);
int OpenTempFileBeside(const std::string &path, std::string &temp);
void ReplaceWithTempFile(const std::string &temp, const std::string &path);

// False when the file could not be removed (or did not exist).
bool RemoveFile(const std::string &path);

// Renames without replacing: false when the source is missing, the target
// already exists or the system refuses.
bool RenameFileNoReplace(const std::string &from, const std::string &to);

// A refusal asked before every write, removal and rename: it gives the German
// message (cp1252) when the path may not be changed (a project opened
// read-only), raised as TaktonError; nothing lets the write go on. An empty
// function removes it.
using TWriteRefusal = std::function<std::optional<std::string>(const std::string &path)>;
void SetWriteRefusal(TWriteRefusal refusal);
// Raises the refusal's message when the path may not be changed.
void CheckWriteAllowed(const std::string &path);

// The path as cp1252 text for messages; characters cp1252 cannot hold become '?'.
std::string PathForMessage(const std::string &path);

} // namespace takton
