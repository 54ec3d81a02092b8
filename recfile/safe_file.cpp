// The one platform-specific file of the file primitives.
#include "safe_file.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <thread>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace fs = std::filesystem;

namespace telvarim {

namespace {

#if defined(_WIN32)

std::error_code LastError() { return {static_cast<int>(GetLastError()), std::system_category()}; }

HANDLE Open(const fs::path& p, DWORD access, DWORD disposition, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  return CreateFileW(p.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                     attributes, nullptr);
}

std::error_code WriteAll(HANDLE h, const char* p, std::size_t n) {
  while (n > 0) {
    const DWORD chunk = n > 0x40000000u ? 0x40000000u : static_cast<DWORD>(n);
    DWORD written = 0;
    if (!WriteFile(h, p, chunk, &written, nullptr)) return LastError();
    p += written;
    n -= written;
  }
  return {};
}

#else

std::error_code LastError() { return {errno, std::system_category()}; }

int OpenRetrying(const char* p, int flags, mode_t mode = 0) {
  int fd;
  do fd = ::open(p, flags | O_CLOEXEC, mode);
  while (fd < 0 && errno == EINTR);
  return fd;
}

std::error_code WriteAll(int fd, const char* p, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return {};
}

// Closes and reports the first error: a delayed write error (NFS, a full disk) may only show at close.
std::error_code Close(int fd, std::error_code ec) {
  if (::close(fd) != 0 && !ec && errno != EINTR) ec = LastError();
  return ec;
}

std::error_code Sync(int fd) {
  while (::fsync(fd) != 0) {
    if (errno == EINTR) continue;
    // A folder on a file system that cannot flush folders: there is nothing more to do for it.
    if (errno == EINVAL || errno == EROFS) return {};
    return LastError();
  }
  return {};
}

#endif

}  // namespace

namespace {
std::atomic<FileFault> g_fileFault{nullptr};

std::error_code Fault(const fs::path& path, std::string_view operation) {
  const FileFault f = g_fileFault.load();
  return f ? f(path, operation) : std::error_code();
}
}  // namespace

void set_file_fault_for_tests(FileFault hook) noexcept { g_fileFault = hook; }

std::error_code create_private_file(const fs::path& path, bool exclusive) {
  if (std::error_code ec = Fault(path, "create")) return ec;
#if defined(_WIN32)
  HANDLE h = Open(path, GENERIC_WRITE, exclusive ? CREATE_NEW : CREATE_ALWAYS);
  if (h == INVALID_HANDLE_VALUE) return LastError();
  CloseHandle(h);
  return {};
#else
  const int fd = OpenRetrying(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | (exclusive ? O_EXCL : O_TRUNC), 0600);
  if (fd < 0) return LastError();
  std::error_code ec;
  // An existing file keeps its mode when it is opened: take it back to the owner first.
  if (!exclusive && ::fchmod(fd, 0600) != 0) ec = LastError();
  return Close(fd, ec);
#endif
}

std::error_code write_file(const fs::path& path, std::string_view bytes, WriteOptions options) {
#if defined(_WIN32)
  HANDLE h = Open(path, GENERIC_WRITE, CREATE_ALWAYS);
  if (h == INVALID_HANDLE_VALUE) return LastError();
  std::error_code ec = WriteAll(h, bytes.data(), bytes.size());
  if (!ec && options.durable && !FlushFileBuffers(h)) ec = LastError();
  CloseHandle(h);
  return ec;
#else
  const int fd = OpenRetrying(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, options.ownerOnly ? 0600 : 0666);
  if (fd < 0) return LastError();
  std::error_code ec;
  if (options.ownerOnly && ::fchmod(fd, 0600) != 0) ec = LastError();
  if (!ec) ec = WriteAll(fd, bytes.data(), bytes.size());
  if (!ec && options.durable) ec = Sync(fd);
  return Close(fd, ec);
#endif
}

bool file_in_place(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  return fs::symlink_status(to, ec).type() != fs::file_type::not_found &&
         fs::symlink_status(from, ec).type() == fs::file_type::not_found;
}

std::error_code sync_file(const fs::path& path) {
  if (std::error_code ec = Fault(path, "flush")) return ec;
#if defined(_WIN32)
  HANDLE h = Open(path, GENERIC_WRITE, OPEN_EXISTING);
  if (h == INVALID_HANDLE_VALUE) return LastError();
  std::error_code ec;
  if (!FlushFileBuffers(h)) ec = LastError();
  CloseHandle(h);
  return ec;
#else
  const int fd = OpenRetrying(path.c_str(), O_RDONLY);
  if (fd < 0) return LastError();
  return Close(fd, Sync(fd));
#endif
}

std::error_code sync_folder(const fs::path& folder) {
  if (std::error_code ec = Fault(folder, "flush-folder")) return ec;
#if defined(_WIN32)
  (void)folder;  // MoveFileEx's write-through flag already carries the new name to the disk
  return {};
#else
  const int fd = OpenRetrying(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return LastError();
  return Close(fd, Sync(fd));
#endif
}

std::error_code commit_file(const fs::path& from, const fs::path& to) {
  if (std::error_code ec = sync_file(from)) return ec;
#if defined(_WIN32)
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return LastError();
#else
  if (::rename(from.c_str(), to.c_str()) != 0) return LastError();
#endif
  return sync_folder(to.parent_path());
}

std::error_code move_file_no_replace(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (fs::symlink_status(to, ec).type() != fs::file_type::not_found) {
    return ec ? ec : std::make_error_code(std::errc::file_exists);
  }
#if defined(_WIN32)
  // Without the replace flag the move itself fails when the name appeared after all.
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return LastError();
  return {};
#else
  if (::rename(from.c_str(), to.c_str()) != 0) return LastError();
  if ((ec = sync_folder(to.parent_path()))) return ec;
  return sync_folder(from.parent_path());
#endif
}

std::string system_error_text(const std::error_code& error) {
#if defined(_WIN32)
  // message() would give the text in the machine's ANSI code page.
  if (error.category() == std::system_category()) {
    wchar_t* w = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(error.value()), 0, reinterpret_cast<wchar_t*>(&w), 0, nullptr);
    std::string text;
    if (n > 0 && w != nullptr) {
      const int len = WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
      text.resize(static_cast<std::size_t>(len > 0 ? len : 0));
      if (len > 0) WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(n), text.data(), len, nullptr, nullptr);
    }
    if (w != nullptr) LocalFree(w);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    if (!text.empty()) return text;
  }
#endif
  return error.message();
}

std::uint64_t current_process_id() {
#if defined(_WIN32)
  return GetCurrentProcessId();
#else
  return static_cast<std::uint64_t>(::getpid());
#endif
}

// --- lock ------------------------------------------------------------------------------------------------

FileLock::~FileLock() { release(); }

FileLock::FileLock(FileLock&& other) noexcept : handle_(other.handle_) { other.handle_ = kNone; }

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    release();
    handle_ = other.handle_;
    other.handle_ = kNone;
  }
  return *this;
}

#if defined(_WIN32)

namespace {

// The locked byte lies far past the holder's text, so that the text stays readable while it is locked
// (Windows forbids reading a locked range).
OVERLAPPED LockedRange() {
  OVERLAPPED o{};
  o.OffsetHigh = 1;
  return o;
}

std::string ReadHolder(HANDLE h) {
  char buf[256];
  DWORD n = 0;
  OVERLAPPED o{};
  if (!ReadFile(h, buf, sizeof buf, &n, &o)) return {};
  return std::string(buf, n);
}

}  // namespace

void FileLock::release() noexcept {
  if (handle_ == kNone) return;
  HANDLE h = reinterpret_cast<HANDLE>(handle_);
  OVERLAPPED o = LockedRange();
  UnlockFileEx(h, 0, 1, 0, &o);
  CloseHandle(h);
  handle_ = kNone;
}

LockAttempt try_lock_file(const fs::path& file, std::string_view owner) {
  LockAttempt r;
  HANDLE h = Open(file, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN);
  if (h == INVALID_HANDLE_VALUE) {
    r.error = LastError();
    return r;
  }
  OVERLAPPED o = LockedRange();
  if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &o)) {
    const DWORD e = GetLastError();
    if (e == ERROR_LOCK_VIOLATION || e == ERROR_IO_PENDING) {
      r.busy = true;
      // The holder writes its name just after taking the lock: a moment later it is there to read.
      for (int i = 0; i < 10 && (r.holder = ReadHolder(h)).empty(); ++i) Sleep(10);
    } else {
      r.error = {static_cast<int>(e), std::system_category()};
    }
    CloseHandle(h);
    return r;
  }
  r.lock.handle_ = reinterpret_cast<std::intptr_t>(h);
  DWORD written = 0;
  if (SetFilePointer(h, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER && SetEndOfFile(h))
    WriteFile(h, owner.data(), static_cast<DWORD>(owner.size()), &written, nullptr);
  return r;
}

#else

void FileLock::release() noexcept {
  if (handle_ == kNone) return;
  ::close(static_cast<int>(handle_));  // drops the lock
  handle_ = kNone;
}

LockAttempt try_lock_file(const fs::path& file, std::string_view owner) {
  LockAttempt r;
  const int fd = OpenRetrying(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW, 0644);
  if (fd < 0) {
    r.error = LastError();
    return r;
  }
  // flock, not fcntl: an fcntl lock belongs to the process, so a second attempt from the same process would
  // succeed, and closing any descriptor of the file would drop it.
  int rc;
  do rc = ::flock(fd, LOCK_EX | LOCK_NB);
  while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    if (errno == EWOULDBLOCK) {
      r.busy = true;
      // The holder writes its name just after taking the lock: a moment later it is there to read.
      char buf[256];
      for (int i = 0; i < 10 && r.holder.empty(); ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const ssize_t n = ::pread(fd, buf, sizeof buf, 0);
        if (n > 0) r.holder.assign(buf, static_cast<std::size_t>(n));
      }
    } else {
      r.error = LastError();
    }
    ::close(fd);
    return r;
  }
  r.lock.handle_ = fd;
  // Who holds it, for the next comer; a failure here leaves the lock held and only the text missing.
  if (::ftruncate(fd, 0) == 0) (void)WriteAll(fd, owner.data(), owner.size());
  return r;
}

#endif

LockAttempt lock_file_waiting(const fs::path& file, std::string_view owner, std::chrono::milliseconds wait) {
  const auto fim = std::chrono::steady_clock::now() + wait;
  for (;;) {
    LockAttempt r = try_lock_file(file, owner);
    if (!r.busy || std::chrono::steady_clock::now() >= fim) return r;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// --- temporaries removed on signals ----------------------------------------------------------------------

namespace {

constexpr int kSlots = 16;
constexpr std::size_t kPathChars = 1024;

// A slot is taken (`used` set) only after its path is complete, so the handler never reads a half-copied one.
struct Slot {
  volatile std::sig_atomic_t used;
  fs::path::value_type path[kPathChars];
};
Slot g_slots[kSlots];

extern "C" void RemoveTemporariesAndEnd(int sig) {
  for (Slot& s : g_slots)
    if (s.used) {
#if defined(_WIN32)
      _wunlink(s.path);
#else
      ::unlink(s.path);
#endif
    }
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void Install(int sig) {
  // A signal the process was told to ignore (nohup) stays ignored.
  if (std::signal(sig, RemoveTemporariesAndEnd) == SIG_IGN) std::signal(sig, SIG_IGN);
}

#if defined(_WIN32)
// Closing the console window, logging off and shutting down end the process without a signal the C library
// sees; the temporaries go first, then the system's own handling runs.
BOOL WINAPI RemoveTemporariesOnConsoleEnd(DWORD event) {
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
    for (Slot& s : g_slots)
      if (s.used) _wunlink(s.path);
  return FALSE;
}
#endif

}  // namespace

void remove_temporaries_on_signals() {
  static const bool installed = [] {
    Install(SIGINT);
    Install(SIGTERM);
#if defined(SIGHUP)
    Install(SIGHUP);
#endif
#if defined(_WIN32)
    SetConsoleCtrlHandler(RemoveTemporariesOnConsoleEnd, TRUE);
#endif
    return true;
  }();
  (void)installed;
}

TemporaryRegistration::TemporaryRegistration(const fs::path& path) noexcept {
  const auto& native = path.native();
  if (native.size() >= kPathChars) return;
  for (int i = 0; i < kSlots; ++i) {
    Slot& s = g_slots[i];
    if (s.used) continue;
    std::memcpy(s.path, native.c_str(), (native.size() + 1) * sizeof(fs::path::value_type));
    s.used = 1;
    slot_ = i;
    return;
  }
}

TemporaryRegistration::~TemporaryRegistration() {
  if (slot_ >= 0) g_slots[slot_].used = 0;
}

}  // namespace telvarim
