// The portable writer, for the host's tools and tests.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>
#include <system_error>

#include "encoder/file_writer.h"

namespace pelnoro::encoder {
namespace fs = std::filesystem;
namespace {

// A name nobody else uses, short enough to stay within path limits beside long names.
fs::path TemporaryName(const fs::path& folder) {
  static std::atomic<unsigned> counter{0};
  static const unsigned seed = [] {
    std::random_device device;
    return device() ^
           static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  }();
  char name[32];
  std::snprintf(name, sizeof name, "~pelnoro%08x.tmp", seed + 0x9E3779B9u * ++counter);
  return folder / name;
}

bool IsReadOnly(const fs::file_status& status) {
  return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

// Creates a file of its own, never one that exists: -1 when that fails.
int CreateTemporary(const fs::path& folder, fs::path& temporary) {
  for (;;) {
    temporary = TemporaryName(folder);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

Error WriteFileReplacing(const std::string& targetName, std::span<const std::uint8_t> bytes) {
  const fs::path target(targetName);
  std::error_code ec;
  if (target.empty() || !target.has_filename()) return Error::kCannotCreateFile;
  const fs::file_status status = fs::status(target, ec);
  if (fs::exists(status)) {
    if (!fs::is_regular_file(status) || IsReadOnly(status)) return Error::kCannotReplace;
  }
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (!fs::is_directory(folder, ec)) return Error::kCannotCreateFile;

  fs::path temporary;
  const int fd = CreateTemporary(folder, temporary);
  if (fd < 0) return Error::kCannotCreateFile;
  // A full disk shows up in the write or the flush.
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    fs::remove(temporary, ec);
    return Error::kWriteFailed;
  }
  fs::rename(temporary, target, ec);
  if (ec) {
    fs::remove(temporary, ec);
    return Error::kCannotReplace;
  }
  return Error::kOk;
}

}  // namespace pelnoro::encoder
