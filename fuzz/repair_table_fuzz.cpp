// The repair table's decipherment and record parsing on arbitrary bytes: any
// ciphertext under any key, and any plain table read against a registry whose
// answers the input also chooses.
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "host/registry.h"
#include "repair/repair_table.h"

namespace {
int32_t g_storedNumber = 0;
Text g_storedText;
}  // namespace

// The registry as the fuzzer decides it.
int32_t ReadRegistryNumber(int, const Text&, int32_t) { return g_storedNumber; }
Text ReadRegistryText(int, const Text&, const Text&) { return g_storedText; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  g_storedNumber = input.Number<int32_t>();
  g_storedText = AsText(input.Piece());
  const Text key = AsText(input.Piece());
  const std::string rest = input.Rest();

  const ByteString enciphered(rest.begin(), rest.end());
  const ByteString plain = DecryptData(enciphered, key);
  if (!plain.empty() && (plain.size() + 4 > enciphered.size() || plain.size() + 12 <= enciphered.size())) {
    std::abort();
  }

  std::vector<RestrictionRow> rows;
  TextList pending = {"left over from an earlier scan"};
  CheckRepairRecords(AsText(rest), rows, pending);
  if (rows.size() != pending.size()) std::abort();
  // Only the two kinds can be findings, and a finding's row shows its path.
  for (std::size_t i = 0; i < pending.size(); ++i) {
    if (pending[i].compare(0, 2, "n|") != 0 && pending[i].compare(0, 2, "c|") != 0) std::abort();
    if (rows[i].path.size() > pending[i].size()) std::abort();
  }
  // The stored table always deciphers.
  if (DecryptData(StoredRepairTable(), RepairTableKey()).empty()) std::abort();
  return 0;
}
