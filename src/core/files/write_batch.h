#pragma once

// Several files of one folder changed as one: either all of them take their
// new content or none does, also across a crash or a kill.
//
// While a batch runs, WriteWholeFile, RemoveFile and RenameFileNoReplace on
// files of its folder only plan the change: new content goes to a temporary
// file beside its target, and reading a planned file gives its planned
// content. Commit writes a journal naming every planned rename with the size
// and checksum of each temporary file, makes temporaries and journal durable
// in one step, renames, flushes the folder (where the file system may reorder
// its metadata changes) and removes the journal.
// RecoverInterruptedWrites, run when a project is opened, completes a journal
// whose temporaries are all whole and otherwise throws the plan away.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace takton {

inline constexpr std::string_view kJournalFileName = ".takton.journal";

class TBatchState;

class TWriteBatch {
  public:
    // A batch begun while one for the same folder runs joins it: the outer
    // batch commits the whole.
    explicit TWriteBatch(const std::string &dir);
    // Without Commit, every planned change is dropped and nothing changed.
    ~TWriteBatch();
    TWriteBatch(const TWriteBatch &) = delete;
    TWriteBatch &operator=(const TWriteBatch &) = delete;

    // Raises TaktonError "In <file> kann nicht geschrieben werden". Before the
    // renames began nothing changed; a failure among the renames leaves the
    // journal, and the next open (or batch) of the folder completes it.
    void Commit();

  private:
    std::unique_ptr<TBatchState> own_;
    TBatchState *previous_ = nullptr;
};

struct TRecovery {
    bool Completed = false; // a journal was found and its renames done
    bool Discarded = false; // a journal was found but was not whole
    int TempFilesRemoved = 0;
};

// Brings the folder back to a whole state after an interrupted batch or
// single write. Only for a folder no other process writes to (the lock).
TRecovery RecoverInterruptedWrites(const std::string &dir);

// True for the name of a temporary file of the file layer.
bool IsTempFileName(std::string_view name);

std::uint32_t Crc32(std::string_view bytes);

namespace batch {

// The running batch that plans changes to this path, or null.
TBatchState *For(const std::string &path);

// Planned content: nullopt when the batch has no plan for the path; inside,
// nullopt when the file is planned to be gone.
std::optional<std::optional<std::string>> Read(TBatchState &state, const std::string &path);
std::optional<bool> Exists(TBatchState &state, const std::string &path);
void Write(TBatchState &state, const std::string &path, std::string_view content);
bool Remove(TBatchState &state, const std::string &path);
bool RenameNoReplace(TBatchState &state, const std::string &from, const std::string &to);

} // namespace batch
} // namespace takton
