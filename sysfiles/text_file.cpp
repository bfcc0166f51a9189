#include "sysfiles/text_file.h"

#include <algorithm>

#include "ui/edit_streaming.h"
#include "ui/event_pacer.h"
#include "ui/prompts.h"
#include "host/backup.h"
#include "host/files.h"
#include "host/wide_text.h"

namespace {

constexpr int32_t kBlockSize = 1024;
constexpr int kAttributeDirectory = 0x10;

// FNV-1a over bytes: tells whether the box holds what was read without
// keeping a second copy of the file.
class Fingerprint {
 public:
  template <typename Bytes>
  void Add(const Bytes& bytes) {
    for (unsigned char byte : bytes) {
      value_ = (value_ ^ byte) * 0x100000001B3ull;
    }
    length_ += static_cast<int64_t>(bytes.size());
  }
  bool operator==(const Fingerprint& other) const { return value_ == other.value_ && length_ == other.length_; }
  int64_t Length() const { return length_; }

 private:
  uint64_t value_ = 0xCBF29CE484222325ull;
  int64_t length_ = 0;
};

// Text waiting for the box. A two-byte character split by a block boundary
// stays here until its second byte arrives, so that it reaches the box whole.
class PendingText {
 public:
  void Add(const Text& text) {
    for (unsigned char byte : text) {
      secondByteNext_ = !secondByteNext_ && IsLeadByte(byte);
    }
    text_ += text;
  }
  // The whole characters gathered so far; keeps back a dangling first byte.
  Text TakeWhole() {
    const std::size_t keep = secondByteNext_ ? 1 : 0;
    Text whole = text_.substr(0, text_.size() - keep);
    text_.erase(0, text_.size() - keep);
    return whole;
  }
  Text TakeAll() {
    Text all;
    all.swap(text_);
    secondByteNext_ = false;
    return all;
  }
  std::size_t Size() const { return text_.size(); }

 private:
  Text text_;
  bool secondByteNext_ = false;
};

class LoadingMark {
 public:
  explicit LoadingMark(TextFileState& state) : state_(state) {
    state_.loading = true;
    state_.faithful = false;
  }
  ~LoadingMark() { state_.loading = false; }
  LoadingMark(const LoadingMark&) = delete;
  LoadingMark& operator=(const LoadingMark&) = delete;

 private:
  TextFileState& state_;
};

// The box's text as the code page's bytes a save would write, converted a
// slice at a time: no second copy of megabytes, and the window answers
// between slices.
Fingerprint FingerprintOfBox(const EditBox& edit, EventPacer& pacer) {
  constexpr std::size_t kSliceUnits = 64 * 1024;
  const std::wstring held = edit.WideContent();
  Fingerprint shown;
  for (std::size_t at = 0; at < held.size();) {
    std::size_t units = std::min(kSliceUnits, held.size() - at);
    // A character beyond the first 64K is two units: never cut between them.
    if (at + units < held.size() && IS_HIGH_SURROGATE(held[at + units - 1])) --units;
    shown.Add(NarrowText(held.data() + at, static_cast<int>(units)));
    at += units;
    pacer.LetEventsThrough();
  }
  return shown;
}

}  // namespace

void LoadTextFile(EditBox& edit, const Text& path, BlockFileReader& reader, TextFileState& state) {
  if (state.loading) return;
  LoadingMark mark(state);
  Fingerprint read;
  Fingerprint shown;
  EventPacer pacer;
  {
    EditFiller filler(edit, pacer);
    const int32_t blocks = path.empty() ? 0 : reader.Open(path, kBlockSize);
    PendingText pending;
    for (int32_t i = 1; i <= blocks; ++i) {
      pacer.LetEventsThrough();
      const ByteString block = reader.ReadBlock(i);
      read.Add(block);
      pending.Add(ToText(block));   // up to a zero byte, as the box would take it
      if (pending.Size() >= filler.SuggestedPieceBytes()) filler.Append(pending.TakeWhole());
    }
    if (blocks > 0) reader.Close();
    filler.Append(pending.TakeAll());
    if (blocks == 0) {
      // Nothing read: faithful for an empty or missing file, not for one
      // that exists but could not be read.
      const bool missing = reader.FileLength() < 0 && GetFileAttributes(path) == -1;
      state.faithful = !path.empty() && (reader.FileLength() == 0 || missing);
      return;
    }
    // Reading megabytes back is a long call of its own: the window answers
    // after the last piece first.
    ProcessPendingEvents();
    shown = FingerprintOfBox(edit, pacer);
  }
  state.faithful = shown == read && read.Length() == reader.FileLength();
}

SaveResult SaveTextFile(const EditBox& edit, const Text& path, const TextFileState& state) {
  if (state.loading) return SaveResult::kRefusedLoading;
  if (!state.faithful || path.empty()) return SaveResult::kRefusedUnfaithful;
  const int attributes = GetFileAttributes(path);
  const bool existed = attributes != -1;
  if (existed && (attributes & kAttributeDirectory) != 0) return SaveResult::kNotWritten;
  if (!BackUpFile("file-save", path)) return SaveResult::kNotWritten;
  // A read-only, hidden or system file cannot be overwritten as it is.
  if (existed) SetFileAttributes(path, 0);
  const bool written = WriteFileBytes(path, ToBytes(edit.Content()));
  if (existed) SetFileAttributes(path, attributes);
  return written ? SaveResult::kSaved : SaveResult::kNotWritten;
}
