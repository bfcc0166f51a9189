// Access lists of registry keys: the only code that calls the Windows
// security functions.
//
// Keys are named by absolute textual path ("HKEY_LOCAL_MACHINE\SOFTWARE\...");
// root names are matched without regard to case. A path that names a root
// alone is refused: a root's access list is never ours to replace.
#pragma once

#include <cstdint>
#include <vector>

#include "base/text_ops.h"

// The registry's access rights as the access lists hold them (winnt.h values).
enum KeyAccessMask : uint32_t {
  kKeyAccessRead = 0x00020019,              // KEY_READ
  kKeyAccessReadWrite = 0x0002001F,         // KEY_READ | KEY_WRITE
  kKeyAccessReadWriteDelete = 0x0003001F,   // KEY_READ | KEY_WRITE | DELETE
  kKeyAccessFullControl = 0x000F003F,       // KEY_ALL_ACCESS
};

// Administrators is the local group; CurrentUser the account this program
// runs as (the owner of the HKEY_CURRENT_USER it sees).
enum class KeyTrustee { Everyone, LocalSystem, Administrators, CurrentUser, Other };

struct KeyAccessEntry {
  KeyTrustee trustee = KeyTrustee::Other;
  uint32_t mask = 0;
  bool allowed = true;   // false for a deny entry
  bool operator==(const KeyAccessEntry& other) const {
    return trustee == other.trustee && mask == other.mask && allowed == other.allowed;
  }
};

// Replaces the whole access list of an existing key by the given allow
// entries, in order, inherited entries from the parent excluded. true only
// when the key's list was really replaced; a missing key, a malformed path,
// an Other trustee or refused rights give false and change nothing.
bool ReplaceKeyAccessList(const Text& absoluteKeyPath, const std::vector<KeyAccessEntry>& entries);

// A key's access list exactly as it holds it, control flags (protected,
// inherited) included: the self-relative descriptor, to be put back later
// by WriteKeyAccessDescriptor. false (descriptor untouched) when the key
// cannot be opened or read.
bool ReadKeyAccessDescriptor(const Text& absoluteKeyPath, ByteString& descriptor);
bool WriteKeyAccessDescriptor(const Text& absoluteKeyPath, const ByteString& descriptor);

// Creates the key (and the keys on its way) when it is missing; true when it
// exists afterwards. A root alone or a malformed path gives false.
bool EnsureKeyExists(const Text& absoluteKeyPath);

// Reads the key's access list in order (a key without any list reads as
// Everyone: full control). false (entries untouched) when the
// key cannot be opened or its list cannot be read.
bool ReadKeyAccessList(const Text& absoluteKeyPath, std::vector<KeyAccessEntry>& entries);
