#pragma once

// The system calls of the file layer, each one a step that a test can make
// fail: SetFileFault installs a function asked before every open, write, sync
// and rename (removing a name counts as a rename); when it gives an errno
// value, the step fails with it instead of running.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace takton {

enum class TFileStep { Open, Write, Sync, Rename };

using TFileFault = std::function<int(TFileStep)>;

// An empty function removes the fault again.
void SetFileFault(TFileFault fault);

namespace sys {

int Open(const char *path, int flags, mode_t mode = 0);
// mkstemp, counted as an open.
int MakeTemp(char *pattern);
// Writes everything or fails.
bool WriteAll(int fd, std::string_view content);
int Fsync(int fd);
// Flushes the whole file system holding the open file or folder.
int Syncfs(int fd);
int Rename(const char *from, const char *to);
// Fails with EEXIST when the target exists.
int RenameNoReplace(const char *from, const char *to);
int Unlink(const char *path);
// The whole file, read past any running batch; nothing when it does not
// exist. A file that cannot be read raises TaktonError.
std::optional<std::string> ReadWhole(const std::string &path);
// Flushes the folder's entries; 0 on success.
int SyncDirectory(const std::string &dir);

} // namespace sys
} // namespace takton
