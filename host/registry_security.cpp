#include "host/registry_security.h"

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "host/registry_paths.h"
#include "host/scoped_handles.h"

namespace {

// An existing key below a root, never a root itself. One trailing backslash
// is allowed, as in every key path the user may type.
bool OpenKey(const Text& path, REGSAM access, ScopedKey& key) {
  RegistryEntry entry;
  if (!ParseAbsoluteEntry(path, entry) || entry.root == 0) return false;
  const Text subKey = WithoutTrailingBackslash(entry.Path());
  if (subKey.empty()) return false;
  return OpenRegistryKey(RootKeyFromNumber(entry.root), subKey, access, key) == ERROR_SUCCESS;
}

// The SID of a trustee, in a buffer of its own. The well-known ones are
// built from their authority and relative ids, which every Windows since NT
// has (CreateWellKnownSid is XP's); the current user's comes from the token.
class TrusteeSid {
 public:
  explicit TrusteeSid(KeyTrustee trustee) {
    switch (trustee) {
      case KeyTrustee::Everyone: Build(SECURITY_WORLD_SID_AUTHORITY, {SECURITY_WORLD_RID}); break;
      case KeyTrustee::LocalSystem: Build(SECURITY_NT_AUTHORITY, {SECURITY_LOCAL_SYSTEM_RID}); break;
      case KeyTrustee::Administrators:
        Build(SECURITY_NT_AUTHORITY, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS});
        break;
      case KeyTrustee::CurrentUser: FromToken(); break;
      case KeyTrustee::Other: break;
    }
  }
  bool Valid() const { return !buffer_.empty(); }
  PSID Get() { return buffer_.data(); }

 private:
  void Keep(PSID sid) {
    const DWORD length = GetLengthSid(sid);
    buffer_.assign(length, 0);
    if (!CopySid(length, buffer_.data(), sid)) buffer_.clear();
  }
  void Build(SID_IDENTIFIER_AUTHORITY authority, std::initializer_list<DWORD> rids) {
    DWORD r[2] = {};
    std::size_t count = 0;
    for (DWORD rid : rids) r[count++] = rid;
    PSID sid = nullptr;
    if (!AllocateAndInitializeSid(&authority, static_cast<BYTE>(count), r[0], r[1], 0, 0, 0, 0, 0, 0, &sid)) return;
    Keep(sid);
    FreeSid(sid);
  }
  void FromToken() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return;
    const ScopedHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<DWORD> info((size + sizeof(DWORD) - 1) / sizeof(DWORD) + 1);
    if (!GetTokenInformation(token.Get(), TokenUser, info.data(), static_cast<DWORD>(info.size() * sizeof(DWORD)),
                             &size)) {
      return;
    }
    Keep(reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid);
  }
  std::vector<BYTE> buffer_;
};

constexpr KeyTrustee kNamedTrustees[] = {KeyTrustee::Everyone, KeyTrustee::LocalSystem, KeyTrustee::Administrators,
                                         KeyTrustee::CurrentUser};

// The first named trustee the SID is (the current user comes last: an
// administrator's own account is not the Administrators group).
KeyTrustee TrusteeOf(PSID sid) {
  for (KeyTrustee trustee : kNamedTrustees) {
    TrusteeSid named(trustee);
    if (named.Valid() && EqualSid(sid, named.Get())) return trustee;
  }
  return KeyTrustee::Other;
}

}  // namespace

bool ReplaceKeyAccessList(const Text& absoluteKeyPath, const std::vector<KeyAccessEntry>& entries) {
  std::vector<TrusteeSid> sids;
  sids.reserve(entries.size());
  DWORD aclSize = sizeof(ACL);
  for (const KeyAccessEntry& entry : entries) {
    if (entry.trustee == KeyTrustee::Other || !entry.allowed) return false;
    sids.emplace_back(entry.trustee);
    if (!sids.back().Valid()) return false;
    aclSize += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(sids.back().Get());
  }
  std::vector<DWORD> aclBuffer((aclSize + sizeof(DWORD) - 1) / sizeof(DWORD));
  PACL acl = reinterpret_cast<PACL>(aclBuffer.data());
  if (!InitializeAcl(acl, aclSize, ACL_REVISION)) return false;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!AddAccessAllowedAceEx(acl, ACL_REVISION, 0, entries[i].mask, sids[i].Get())) return false;
  }

  SECURITY_DESCRIPTOR descriptor;
  if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) return false;
  if (!SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE)) return false;
  // The list stands for itself: nothing is merged in from the parent key.
  SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);

  ScopedKey key;
  if (!OpenKey(absoluteKeyPath, WRITE_DAC, key)) return false;
  return RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
}

bool ReadKeyAccessList(const Text& absoluteKeyPath, std::vector<KeyAccessEntry>& entries) {
  ByteString bytes;
  if (!ReadKeyAccessDescriptor(absoluteKeyPath, bytes)) return false;
  // Whole DWORDs: the descriptor's fields want their natural alignment.
  std::vector<DWORD> buffer((bytes.size() + sizeof(DWORD) - 1) / sizeof(DWORD));
  std::copy(bytes.begin(), bytes.end(), reinterpret_cast<unsigned char*>(buffer.data()));
  auto* descriptor = static_cast<PSECURITY_DESCRIPTOR>(buffer.data());
  BOOL present = FALSE, defaulted = FALSE;
  PACL acl = nullptr;
  if (!GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted)) return false;

  std::vector<KeyAccessEntry> found;
  if (!present || !acl) {
    // No list at all lets everybody do everything.
    found.push_back(KeyAccessEntry{KeyTrustee::Everyone, kKeyAccessFullControl, true});
  } else {
    for (DWORD i = 0; i < acl->AceCount; ++i) {
      void* ace = nullptr;
      if (!GetAce(acl, i, &ace)) return false;
      const auto* header = static_cast<const ACE_HEADER*>(ace);
      if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_DENIED_ACE_TYPE) {
        found.push_back(KeyAccessEntry{KeyTrustee::Other, 0, false});
        continue;
      }
      // Allowed and denied entries share one layout.
      auto* allowedAce = static_cast<ACCESS_ALLOWED_ACE*>(ace);
      KeyAccessEntry entry;
      entry.trustee = TrusteeOf(reinterpret_cast<PSID>(&allowedAce->SidStart));
      entry.mask = allowedAce->Mask;
      entry.allowed = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
      found.push_back(entry);
    }
  }
  entries = found;
  return true;
}

bool ReadKeyAccessDescriptor(const Text& absoluteKeyPath, ByteString& descriptor) {
  ScopedKey key;
  if (!OpenKey(absoluteKeyPath, READ_CONTROL, key)) return false;
  DWORD size = 0;
  if (RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, nullptr, &size) != ERROR_INSUFFICIENT_BUFFER ||
      size == 0) {
    return false;
  }
  ByteString read(size, 0);
  if (RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, read.data(), &size) != ERROR_SUCCESS) return false;
  descriptor = read;
  return true;
}

bool WriteKeyAccessDescriptor(const Text& absoluteKeyPath, const ByteString& descriptor) {
  if (descriptor.empty()) return false;
  ScopedKey key;
  if (!OpenKey(absoluteKeyPath, WRITE_DAC, key)) return false;
  // The descriptor's own control flags say whether the list is protected.
  ByteString copy = descriptor;
  return RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, copy.data()) == ERROR_SUCCESS;
}

bool EnsureKeyExists(const Text& absoluteKeyPath) {
  RegistryEntry entry;
  if (!ParseAbsoluteEntry(absoluteKeyPath, entry) || entry.root == 0) return false;
  const Text subKey = WithoutTrailingBackslash(entry.Path());
  if (subKey.empty()) return false;
  ScopedKey key;
  return CreateRegistryKey(RootKeyFromNumber(entry.root), subKey, key) == ERROR_SUCCESS;
}
