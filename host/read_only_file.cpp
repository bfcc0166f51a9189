// Piecewise reading of one file, shared for reading only: while it is open
// nobody can change the bytes under the reader.
#include <windows.h>

#include <utility>

#include "host/files.h"

ReadOnlyFile::~ReadOnlyFile() { Close(); }

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

bool ReadOnlyFile::Open(const Text& path) {
  Close();
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = file;
  return true;
}

bool ReadOnlyFile::IsOpen() const { return handle_ != nullptr; }

int64_t ReadOnlyFile::Length() const {
  LARGE_INTEGER size;
  if (!IsOpen() || !GetFileSizeEx(handle_, &size)) return -1;
  return size.QuadPart;
}

bool ReadOnlyFile::Seek(int64_t offset) {
  if (!IsOpen() || offset < 0) return false;
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  return SetFilePointerEx(handle_, distance, nullptr, FILE_BEGIN) != FALSE;
}

ByteString ReadOnlyFile::Read(std::size_t byteCount) {
  ByteString bytes;
  if (!IsOpen()) return bytes;
  bytes.resize(byteCount);
  std::size_t filled = 0;
  while (filled < byteCount) {
    const std::size_t remaining = byteCount - filled;
    const DWORD chunk = remaining > 0x40000000u ? 0x40000000u : static_cast<DWORD>(remaining);
    DWORD read = 0;
    if (!ReadFile(handle_, bytes.data() + filled, chunk, &read, nullptr) || read == 0) break;
    filled += read;
  }
  bytes.resize(filled);
  return bytes;
}

void ReadOnlyFile::Close() {
  if (handle_ != nullptr) CloseHandle(handle_);
  handle_ = nullptr;
}
