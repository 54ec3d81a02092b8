// The few file operations that differ between POSIX and Windows, in one place: files that are private from
// their first byte, files that reach their final name only once they are complete and on the disk, one
// writer at a time on a folder, and temporaries that go away when the process is interrupted.
//
// Contract shared by every function here: none throws except for lack of memory; a failure is returned as
// the operating system's own error (std::error_code, whose message() is the system's text: "No space left
// on device", "Read-only file system", ...), never hidden.
//
// Crash safety: a file written with write_file(..., durable) or put in place with commit_file is either
// absent or complete under its final name after a crash or a power cut, never a prefix of itself: the bytes
// are flushed to the disk before the rename, and on POSIX the folder is flushed after it, so that the new
// name is on the disk too. A half-written file only ever exists under the temporary name the caller chose.
//
// Private files are readable and writable by their owner only (0600) on POSIX, from the moment they exist:
// the mode is given when the file is created, not fixed afterwards. On Windows a file takes the access rules
// of its folder (the user's own folders), so nothing more is done there.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace telvarim {

// Creates `path` private and empty. With `exclusive` an existing file (or a link) is an error
// (std::errc::file_exists), which is what a temporary in a shared folder needs; otherwise an existing file is
// truncated and made private as well.
std::error_code create_private_file(const std::filesystem::path& path, bool exclusive = false);

struct WriteOptions {
  bool ownerOnly = false;  // create the file private (see above)
  bool durable = false;    // flush it to the disk before returning
};
// Writes `bytes` as the whole content of `path`, replacing what was there. A failure after the file was
// created leaves it in place (the caller decides what to do with a partial temporary).
std::error_code write_file(const std::filesystem::path& path, std::string_view bytes, WriteOptions options = {});

// Flushes a file's content (or a folder's entries, on POSIX) to the disk.
std::error_code sync_file(const std::filesystem::path& path);
std::error_code sync_folder(const std::filesystem::path& folder);

// Puts a complete file in place: flushes `from`, renames it to `to` (replacing a file of that name in one
// step) and flushes the folder. A failure before the rename leaves `from` where it was and `to` untouched; a
// failure to flush the folder after it leaves the file in place under `to`, its name perhaps not yet on the
// disk. So after any failure the caller asks the folder what it holds (file_in_place) before saying what
// happened.
std::error_code commit_file(const std::filesystem::path& from, const std::filesystem::path& to);

// Moves a file to a name that must not exist yet (std::errc::file_exists otherwise, also for a folder of
// that name) and flushes both folders. The caller holds the folders' locks, so nothing appears in between.
// As with commit_file, a failed flush comes after the move: the caller re-checks with file_in_place.
std::error_code move_file_no_replace(const std::filesystem::path& from, const std::filesystem::path& to);

// Whether a rename or move from `from` to `to` has happened, by what the folders hold now: `to` is there and
// `from` is not.
bool file_in_place(const std::filesystem::path& from, const std::filesystem::path& to);

// Tests only: a hook that create_private_file ("create"), sync_file ("flush") and sync_folder
// ("flush-folder") consult first; a non-empty answer fails the operation with that error, as a full, failing
// or refusing disk would. nullptr (the default) for none.
using FileFault = std::error_code (*)(const std::filesystem::path& path, std::string_view operation);
void set_file_fault_for_tests(FileFault hook) noexcept;

// The operating system's own text for an error ("No space left on device"), as UTF-8.
std::string system_error_text(const std::error_code& error);

// The running process's number, for the text of a lock file.
std::uint64_t current_process_id();

struct LockAttempt;
LockAttempt try_lock_file(const std::filesystem::path& file, std::string_view owner);
// As try_lock_file, trying again every few milliseconds while another holder has it, for at most `wait`.
LockAttempt lock_file_waiting(const std::filesystem::path& file, std::string_view owner,
                              std::chrono::milliseconds wait);

// An exclusive hold on a lock file, taken without waiting. It lasts until the object is destroyed or the
// process ends in any way (the operating system drops it after a crash too; the file itself stays, and a
// later holder simply takes it again). The holder writes a short text into the file (who holds it), which
// the next comer reads to say who is in the way. Several locks on one file in one process exclude each other
// as well (the lock belongs to the open file, not to the process).
class FileLock {
 public:
  FileLock() = default;
  ~FileLock();
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool held() const noexcept { return handle_ != kNone; }
  void release() noexcept;

 private:
  friend LockAttempt try_lock_file(const std::filesystem::path& file, std::string_view owner);
  static constexpr std::intptr_t kNone = -1;
  std::intptr_t handle_ = kNone;  // a file descriptor on POSIX, a HANDLE on Windows
};

// What try_lock_file (declared above) found: it creates the file when missing and tries to lock it once; on
// success it writes `owner` into it.
struct LockAttempt {
  FileLock lock;          // held on success
  bool busy = false;      // another holder has it
  std::string holder;     // when busy: the holder's text (empty when it wrote none yet)
  std::error_code error;  // when neither held nor busy: why the lock file could not be used
};

// Temporaries removed when the process is ended by SIGINT, SIGTERM or SIGHUP (those the platform has; on
// Windows also by the console's close, logoff and shutdown events): a registration lasts as long as the
// object. The handlers, once installed, remove every registered file and then end the process by the same
// signal, as if they had not been there (the operating system drops the process's locks as it ends). Only so many
// registrations are kept at once (a handful is all a command needs); one more is silently not covered.
void remove_temporaries_on_signals();
class TemporaryRegistration {
 public:
  explicit TemporaryRegistration(const std::filesystem::path& path) noexcept;
  ~TemporaryRegistration();
  TemporaryRegistration(const TemporaryRegistration&) = delete;
  TemporaryRegistration& operator=(const TemporaryRegistration&) = delete;

 private:
  int slot_ = -1;
};

}  // namespace telvarim
