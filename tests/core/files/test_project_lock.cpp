#include "core/files/project_lock.h"
#include "core/util/cp1252.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>

using namespace takton;

namespace {

// Central European time with its summer time, without a zone database.
class BerlinTime {
  public:
    BerlinTime() {
        if (const char *tz = std::getenv("TZ"))
            before_ = tz;
        ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        ::tzset();
    }
    ~BerlinTime() {
        if (before_)
            ::setenv("TZ", before_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

  private:
    std::optional<std::string> before_;
};

std::string Since(const std::string &utc) {
    const std::string text = LockOwnerText({"rechner", "kollegin", 4711, utc, ""});
    const std::string head =
        Cp1252("Das Projekt ist geöffnet von kollegin auf rechner (Prozess 4711) seit ");
    EXPECT_EQ(text.substr(0, head.size()), head);
    return text.substr(head.size());
}

} // namespace

TEST(ProjectLock, OwnerTextGivesTheLockTimeInLocalGermanForm) {
    const BerlinTime berlin;
    EXPECT_EQ(Since("2026-12-11T11:33:00Z"), "11.12.2026 12:33.");
    // Summer time, and the local day after the UTC one
    EXPECT_EQ(Since("2026-07-01T22:05:59Z"), "02.07.2026 00:05.");
    // A stamp that is no time is shown as it stands
    EXPECT_EQ(Since("gestern"), "gestern.");
    EXPECT_EQ(Since("2026-12-11T11:33:00Zx"), "2026-12-11T11:33:00Zx.");
    EXPECT_EQ(Since(""), ".");
}
