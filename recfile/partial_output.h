// The output file of a codec operation that has not succeeded yet. The guard learns the path before the file
// is created and is armed once the operation has created it (a file that was there and could not be opened
// is never touched); unless disarmed on success, the guard removes the file when it goes out of scope, so a
// half-written file never sits where a request, a draft or a temporary belongs. Only a regular file is
// removed: a device or a pipe named as the output (/dev/full, NUL) stays where it is.
//
// Declare the guard before the stream that writes the file, so that the stream is closed first when both go
// out of scope (an open file cannot be removed on every platform). A removal that fails is ignored: there is
// nothing better to do with it on a path that is already failing.
#pragma once

#include <filesystem>
#include <utility>

namespace telvarim {

class PartialOutputGuard {
 public:
  // Copies the path (the only step that can throw); nothing is watched until Arm.
  explicit PartialOutputGuard(std::filesystem::path path) : path_(std::move(path)) {}
  ~PartialOutputGuard();
  PartialOutputGuard(const PartialOutputGuard&) = delete;
  PartialOutputGuard& operator=(const PartialOutputGuard&) = delete;

  // The operation has just created (or truncated) the file.
  void Arm() noexcept { armed_ = true; }
  // The operation succeeded: the file stays.
  void Disarm() noexcept { armed_ = false; }

 private:
  std::filesystem::path path_;
  bool armed_ = false;
};

}  // namespace telvarim
