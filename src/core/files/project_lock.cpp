#include "core/files/project_lock.h"

#include "core/files/file_io.h"
#include "core/util/cp1252.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace takton {
namespace {

std::string LockPath(const std::string &dir) {
    return dir + "/" + std::string(kLockFileName);
}

std::string HostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return "?";
    return name;
}

std::string UserName() {
    if (const passwd *entry = ::getpwuid(::getuid()))
        return entry->pw_name;
    if (const char *user = ::getenv("USER"))
        return user;
    return std::to_string(::getuid());
}

std::string BootId() {
    const auto text = ReadWholeFile("/proc/sys/kernel/random/boot_id");
    if (!text)
        return {};
    std::string id = *text;
    while (!id.empty() && (id.back() == '\n' || id.back() == '\r'))
        id.pop_back();
    return id;
}

std::string UtcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::gmtime_r(&now, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

// The lock's UTC stamp as a planner reads it, in local time: "11.12.2026
// 12:33". A stamp that is no such time is shown as it stands.
std::string LocalTimeText(const std::string &utc) {
    std::tm tm{};
    int used = 0;
    if (std::sscanf(utc.c_str(), "%4d-%2d-%2dT%2d:%2d:%2dZ%n", &tm.tm_year, &tm.tm_mon, &tm.tm_mday,
                    &tm.tm_hour, &tm.tm_min, &tm.tm_sec, &used) != 6 ||
        static_cast<std::size_t>(used) != utc.size())
        return utc;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    const std::time_t when = ::timegm(&tm);
    std::tm local{};
    if (when == static_cast<std::time_t>(-1) || !::localtime_r(&when, &local))
        return utc;
    char text[32];
    if (std::strftime(text, sizeof text, "%d.%m.%Y %H:%M", &local) == 0)
        return utc;
    return text;
}

TLockOwner Me() {
    return {HostName(), UserName(), static_cast<long>(::getpid()), UtcNow(), BootId()};
}

std::string LockText(const TLockOwner &owner) {
    return "host=" + owner.Host + "\nuser=" + owner.User + "\npid=" + std::to_string(owner.Pid) +
           "\ntime=" + owner.Time + "\nboot=" + owner.BootId + "\n";
}

TLockOwner ParseLock(std::string_view text) {
    TLockOwner owner;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
        const auto eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, eq);
        const std::string value(line.substr(eq + 1));
        if (key == "host")
            owner.Host = value;
        else if (key == "user")
            owner.User = value;
        else if (key == "pid")
            owner.Pid = std::strtol(value.c_str(), nullptr, 10);
        else if (key == "time")
            owner.Time = value;
        else if (key == "boot")
            owner.BootId = value;
    }
    return owner;
}

bool IsMine(const TLockOwner &owner) {
    return owner.Host == HostName() && owner.Pid == static_cast<long>(::getpid());
}

bool ProcessAlive(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// Writes the lock as a whole file, made in a temporary file and then linked
// (no replace) or renamed (replace) into place.
bool PlaceLock(const std::string &dir, bool replace) {
    const std::string path = LockPath(dir);
    std::string temp;
    int fd = -1;
    try {
        fd = OpenTempFileBeside(path, temp);
    } catch (...) {
        return false;
    }
    const std::string text = LockText(Me());
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::fchmod(fd, 0644);
    ::close(fd);
    const bool placed = written && (replace ? ::rename(temp.c_str(), path.c_str()) == 0
                                            : ::link(temp.c_str(), path.c_str()) == 0);
    ::unlink(temp.c_str());
    return placed;
}

} // namespace

std::optional<TLockOwner> ReadLockOwner(const std::string &dir) {
    try {
        if (const auto text = ReadWholeFile(LockPath(dir)))
            return ParseLock(*text);
    } catch (...) {
        // An unreadable lock is somebody's lock all the same.
        return TLockOwner{"?", "?", 0, "?", {}};
    }
    return std::nullopt;
}

bool HeldByOther(const TLockOwner &owner) {
    if (owner.Host != HostName())
        return true;
    if (IsMine(owner))
        return false;
    if (!owner.BootId.empty() && owner.BootId != BootId())
        return false;
    return ProcessAlive(owner.Pid);
}

TProjectLock::~TProjectLock() {
    Release();
}

std::optional<TLockOwner> TProjectLock::Acquire(const std::string &dir, bool force) {
    Release();
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (PlaceLock(dir, false)) {
            dir_ = dir;
            return std::nullopt;
        }
        const auto owner = ReadLockOwner(dir);
        if (!owner)
            continue; // released meanwhile
        if (!force && HeldByOther(*owner))
            return owner;
        if (IsMine(*owner)) {
            dir_ = dir;
            return std::nullopt;
        }
        // Stale or forced: taken over, then read back, as another process may
        // be taking it over at the same moment.
        if (!PlaceLock(dir, true))
            return std::nullopt;
        if (const auto now = ReadLockOwner(dir); now && IsMine(*now)) {
            dir_ = dir;
            return std::nullopt;
        }
    }
    if (const auto owner = ReadLockOwner(dir))
        return owner;
    return std::nullopt;
}

void TProjectLock::Release() {
    if (dir_.empty())
        return;
    if (const auto owner = ReadLockOwner(dir_); owner && IsMine(*owner))
        ::unlink(LockPath(dir_).c_str());
    dir_.clear();
}

std::string LockOwnerText(const TLockOwner &owner) {
    return Cp1252("Das Projekt ist geöffnet von ") + Utf8ToCp1252Lossy(owner.User) + " auf " +
           Utf8ToCp1252Lossy(owner.Host) + " (Prozess " + std::to_string(owner.Pid) + ") seit " +
           LocalTimeText(owner.Time) + ".";
}

} // namespace takton
