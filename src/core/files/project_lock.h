#pragma once

// One planner per project: a lock file in the project folder names the host,
// user, process and time of whoever has the project open for writing.

#include <optional>
#include <string>
#include <string_view>

namespace takton {

inline constexpr std::string_view kLockFileName = ".takton.lock";

struct TLockOwner {
    std::string Host;
    std::string User;
    long Pid = 0;
    std::string Time;   // UTC, ISO 8601
    std::string BootId; // tells a lock from before a restart of the host
};

// The owner named by the folder's lock file; nothing without one.
std::optional<TLockOwner> ReadLockOwner(const std::string &dir);

// True when the owner still holds the project: another host, or a process of
// this host that is alive (in this boot), other than the calling one.
bool HeldByOther(const TLockOwner &owner);

// Holds the lock of a folder from construction on, removing it on
// destruction (or Release) when it is still this process's.
class TProjectLock {
  public:
    TProjectLock() = default;
    ~TProjectLock();
    TProjectLock(const TProjectLock &) = delete;
    TProjectLock &operator=(const TProjectLock &) = delete;

    // Takes the lock when it is free, left by a dead process of this host, or
    // already this process's; otherwise gives the owner holding it. force
    // takes it from a live owner too. A folder where no lock file can be made
    // gives nothing and no lock is held.
    std::optional<TLockOwner> Acquire(const std::string &dir, bool force = false);
    void Release();
    bool Held() const { return !dir_.empty(); }
    const std::string &Dir() const { return dir_; }

  private:
    std::string dir_;
};

// "Das Projekt ist geöffnet von <user> auf <host> (Prozess <pid>) seit <time>.",
// the time local, "11.12.2026 12:33".
std::string LockOwnerText(const TLockOwner &owner);

} // namespace takton
