#include "core/files/deferred_close.h"
#include "core/files/file_io.h"
#include "core/files/file_sys.h"
#include "core/files/write_batch.h"
#include "core/util/error.h"
#include "support/temp_dir.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>

using namespace takton;
using takton::testing::TempDir;

namespace {

std::set<std::string> Names(const std::string &dir) {
    std::set<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

// Plans a batch of three changes and leaves it uncommitted, with its journal
// written as a crash between the journal and the renames would leave it.
std::string JournalOfPlannedBatch(const TempDir &dir) {
    std::string journal;
    SetFileFault([&, renames = 0](TFileStep step) mutable {
        // The batch's first rename: stop here and keep what was planned.
        if (step == TFileStep::Rename && ++renames == 1) {
            journal = *dir.Read(".takton.journal");
            return EIO;
        }
        return 0;
    });
    try {
        TWriteBatch batch(dir.Path());
        WriteWholeFile(dir.File("a.csv"), "a neu");
        WriteWholeFile(dir.File("b.csv"), "b neu");
        EXPECT_TRUE(RemoveFile(dir.File("c.csv")));
        batch.Commit();
        ADD_FAILURE() << "the rename did not fail";
    } catch (const TaktonError &) {
    }
    SetFileFault({});
    return journal;
}

} // namespace

TEST(WriteBatch, ReadsSeePlannedContentAndNothingChangesUntilCommit) {
    TempDir dir;
    dir.Write("a.csv", "a alt");
    dir.Write("c.csv", "c alt");
    {
        TWriteBatch batch(dir.Path());
        WriteWholeFile(dir.File("a.csv"), "a neu");
        WriteWholeFile(dir.File("a.csv"), "a neuer");
        WriteWholeFile(dir.File("b.csv"), "b neu");
        EXPECT_TRUE(RenameFileNoReplace(dir.File("c.csv"), dir.File("d.csv")));
        EXPECT_FALSE(RenameFileNoReplace(dir.File("a.csv"), dir.File("b.csv")))
            << "a planned file counts as there";
        EXPECT_EQ(ReadWholeFile(dir.File("a.csv")), "a neuer");
        EXPECT_EQ(ReadWholeFile(dir.File("d.csv")), "c alt");
        EXPECT_FALSE(FileExists(dir.File("c.csv")));
        {
            TWriteBatch inner(dir.Path()); // joins: its commit leaves the work to the outer
            WriteWholeFile(dir.File("e.csv"), "e");
            inner.Commit();
        }
        EXPECT_EQ(dir.Read("a.csv"), "a alt") << "nothing on disk before the commit";
        EXPECT_FALSE(dir.Read("e.csv"));
        batch.Commit();
        // Committed, the files read as they are on disk
        EXPECT_EQ(ReadWholeFile(dir.File("a.csv")), "a neuer");
        EXPECT_TRUE(FileExists(dir.File("d.csv")));
    }
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"a.csv", "b.csv", "d.csv", "e.csv"}));
    EXPECT_EQ(dir.Read("a.csv"), "a neuer");
    EXPECT_EQ(dir.Read("d.csv"), "c alt");

    // Dropped without commit: the temporaries go, the files stay
    {
        TWriteBatch batch(dir.Path());
        WriteWholeFile(dir.File("a.csv"), "verworfen");
    }
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"a.csv", "b.csv", "d.csv", "e.csv"}));
    EXPECT_EQ(dir.Read("a.csv"), "a neuer");
}

TEST(WriteBatch, RecoveryCompletesAWholeJournalAndDropsATornOne) {
    TempDir dir;
    dir.Write("a.csv", "a alt");
    dir.Write("c.csv", "c alt");
    const std::string journal = JournalOfPlannedBatch(dir);
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(dir.Read("a.csv"), "a alt") << "interrupted before the first rename";

    // WHEN the folder is opened again THEN the plan is carried out whole
    const TRecovery done = RecoverInterruptedWrites(dir.Path());
    EXPECT_TRUE(done.Completed);
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"a.csv", "b.csv"}));
    EXPECT_EQ(dir.Read("a.csv"), "a neu");
    EXPECT_EQ(dir.Read("b.csv"), "b neu");

    // A journal cut anywhere short, or a temporary file not whole, is no plan:
    // the files stay old and every temporary goes
    for (const std::size_t cut : {journal.size() - 1, journal.size() / 2, std::size_t{3}}) {
        TempDir again;
        again.Write("a.csv", "a alt");
        again.Write("c.csv", "c alt");
        const std::string full = JournalOfPlannedBatch(again);
        again.Write(".takton.journal", full.substr(0, cut));
        const TRecovery dropped = RecoverInterruptedWrites(again.Path());
        EXPECT_TRUE(dropped.Discarded) << cut;
        EXPECT_EQ(Names(again.Path()), (std::set<std::string>{"a.csv", "c.csv"})) << cut;
        EXPECT_EQ(again.Read("a.csv"), "a alt");
    }
    TempDir shortTemp;
    shortTemp.Write("a.csv", "a alt");
    shortTemp.Write("c.csv", "c alt");
    JournalOfPlannedBatch(shortTemp);
    for (const auto &name : Names(shortTemp.Path()))
        if (IsTempFileName(name))
            shortTemp.Write(name, "");
    EXPECT_TRUE(RecoverInterruptedWrites(shortTemp.Path()).Discarded);
    EXPECT_EQ(Names(shortTemp.Path()), (std::set<std::string>{"a.csv", "c.csv"}));
    EXPECT_EQ(shortTemp.Read("c.csv"), "c alt");

    // A folder this process may not write: its journal and temporaries are
    // somebody else's and stay, and no batch starts there
    TempDir theirs;
    theirs.Write("a.csv", "a alt");
    theirs.Write("c.csv", "c alt");
    JournalOfPlannedBatch(theirs);
    const auto planned = Names(theirs.Path());
    SetWriteRefusal([](const std::string &) { return std::optional<std::string>("gesperrt"); });
    EXPECT_THROW(RecoverInterruptedWrites(theirs.Path()), TaktonError);
    EXPECT_THROW(TWriteBatch batch(theirs.Path()), TaktonError);
    SetWriteRefusal({});
    EXPECT_EQ(Names(theirs.Path()), planned);

    // Temporary files of a single write cut short, without journal: removed
    dir.Write(".takton-Ab12Cd", "halb");
    EXPECT_EQ(RecoverInterruptedWrites(dir.Path()).TempFilesRemoved, 1);
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"a.csv", "b.csv"}));
}

TEST(WriteBatch, ManyFilesCommitUnderATightDescriptorLimitAndLeaveNoneOpen) {
    // GIVEN a folder of 120 files and a process allowed 64 descriptors
    TempDir dir;
    constexpr int kFiles = 120;
    for (int i = 0; i < kFiles; ++i)
        dir.Write("f" + std::to_string(i) + ".csv", "alt");
    dir.Write("weg.csv", "alt");
    const auto openDescriptors = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                             std::filesystem::directory_iterator{});
    };
    DrainDeferredCloses();
    const auto openBefore = openDescriptors();
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);

    // WHEN one batch rewrites every file and removes another
    {
        TWriteBatch batch(dir.Path());
        for (int i = 0; i < kFiles; ++i)
            WriteWholeFile(dir.File("f" + std::to_string(i) + ".csv"), "neu " + std::to_string(i));
        EXPECT_TRUE(RemoveFile(dir.File("weg.csv")));
        EXPECT_NO_THROW(batch.Commit());
    }
    ::setrlimit(RLIMIT_NOFILE, &saved);

    // THEN all of it is done, and the old versions held open across the
    // renames are closed again
    for (int i = 0; i < kFiles; ++i)
        EXPECT_EQ(dir.Read("f" + std::to_string(i) + ".csv"), "neu " + std::to_string(i));
    EXPECT_EQ(Names(dir.Path()).size(), static_cast<std::size_t>(kFiles));
    DrainDeferredCloses();
    EXPECT_EQ(openDescriptors(), openBefore);
}

TEST(WriteBatch, AJournalWithTheEarlierCrcChecksumIsStillCompleted) {
    // GIVEN a journal as the earlier version wrote it: CRC-32 checksums
    const auto v1Journal = [](const std::string &content) {
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08x", Crc32(content));
        std::string text = "takton-journal 1\nW\t" + std::to_string(content.size()) + "\t" + crc +
                           "\t.takton-Ab12Cd\ta.csv\n";
        std::snprintf(crc, sizeof crc, "%08x", Crc32(text));
        return text + "end\t" + crc + "\n";
    };
    TempDir dir;
    dir.Write("a.csv", "a alt");
    dir.Write(".takton-Ab12Cd", "a neu");
    dir.Write(".takton.journal", v1Journal("a neu"));

    // WHEN the folder is opened THEN the plan is carried out
    EXPECT_TRUE(RecoverInterruptedWrites(dir.Path()).Completed);
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"a.csv"});
    EXPECT_EQ(dir.Read("a.csv"), "a neu");

    // A temporary file that does not match its CRC is no plan
    dir.Write(".takton-Ab12Cd", "a halb");
    dir.Write(".takton.journal", v1Journal("a neuer"));
    EXPECT_TRUE(RecoverInterruptedWrites(dir.Path()).Discarded);
    EXPECT_EQ(dir.Read("a.csv"), "a neu");

    // The journals written now carry the 64-bit checksum
    TempDir now;
    now.Write("a.csv", "a alt");
    now.Write("c.csv", "c alt");
    const std::string journal = JournalOfPlannedBatch(now);
    EXPECT_TRUE(journal.starts_with("takton-journal 2\nW\t5\t")) << journal;
    EXPECT_EQ(journal.substr(journal.rfind("end\t")).size(), 4u + 16u + 1u);
}
