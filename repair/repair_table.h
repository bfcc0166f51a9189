// The repair table: registry checks carried by the program as a DES-enciphered
// byte string and deciphered afresh on every scan.
//
// Plain form: GBK text, one record a line ("\r\n"), seven fields joined by
// "|": kind ("n" number, "c" text), root number, full registry path, operand,
// description, repair value, operator ("=", ">", "<", "≤", "≥", "≠").
// A record whose stored value, compared with the operand, satisfies the
// operator is a finding.
#pragma once

#include <vector>

#include "base/text_ops.h"

// The plain bytes of an enciphered string (4-byte little-endian length, the
// bytes, zero padding to a multiple of 8; DES-ECB under the key text XORed
// into 8 bytes), or empty bytes when the input is not such a string.
ByteString DecryptData(const ByteString& enciphered, const Text& keyText);

// The enciphered table held by the program and its key text.
const ByteString& StoredRepairTable();
const Text& RepairTableKey();

// A row of the restriction list: what is wrong, and where.
struct RestrictionRow {
  Text explanation, path;
};

// Empties the pending repairs, then appends a row and a pending repair
// ("kind|root|path|description|repair value") for every finding of the
// plain table, in table order.
void CheckRepairRecords(const Text& plainTable, std::vector<RestrictionRow>& rows, TextList& pendingRepairs);

// CheckRepairRecords on the deciphered stored table.
void CheckRepairTable(std::vector<RestrictionRow>& rows, TextList& pendingRepairs);
