// Showing a system file in an edit box and writing the box back.
//
// A file is shown faithfully when the box holds exactly its bytes. A file
// with a zero byte, a byte sequence the box cannot hold, or a file that
// exists but could not be read is shown as far as it goes and is never
// written back from the box: that would cut it short or change it.
#pragma once

#include "ui/controls.h"
#include "sysfiles/block_file_reader.h"

// What one page knows about the text in its box.
struct TextFileState {
  bool loading = false;    // a load is running (possibly with a nested event)
  bool faithful = false;   // the box holds exactly the file's bytes
};

enum class SaveResult { kSaved, kNotWritten, kRefusedLoading, kRefusedUnfaithful };

// Empties the box and fills it from the file, block by block (1024 bytes),
// servicing the window between blocks. Does nothing while the state says a
// load is running: a nested load would reopen the reader under it.
void LoadTextFile(EditBox& edit, const Text& path, BlockFileReader& reader, TextFileState& state);

// Writes the box's whole text to the file, keeping the file's attributes
// (a file that did not exist gets none). Refuses while loading or when the
// box does not hold the file faithfully.
SaveResult SaveTextFile(const EditBox& edit, const Text& path, const TextFileState& state);
