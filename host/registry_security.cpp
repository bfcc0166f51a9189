#include "host/registry_security.h"

#include <windows.h>

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

// The two trustees the access lists name. Built from their authority and
// relative id, which every Windows since NT has (CreateWellKnownSid is XP's).
enum class WellKnown { World, LocalSystem };

class WellKnownSid {
 public:
  explicit WellKnownSid(WellKnown which) {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    const bool isWorld = which == WellKnown::World;
    AllocateAndInitializeSid(isWorld ? &world : &nt, 1,
                             isWorld ? SECURITY_WORLD_RID : SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0,
                             &sid_);
  }
  ~WellKnownSid() {
    if (sid_ != nullptr) FreeSid(sid_);
  }
  WellKnownSid(const WellKnownSid&) = delete;
  WellKnownSid& operator=(const WellKnownSid&) = delete;
  bool Valid() const { return sid_ != nullptr; }
  PSID Get() { return sid_; }

 private:
  PSID sid_ = nullptr;
};

KeyTrustee TrusteeOf(PSID sid) {
  WellKnownSid everyone(WellKnown::World), system(WellKnown::LocalSystem);
  if (everyone.Valid() && EqualSid(sid, everyone.Get())) return KeyTrustee::Everyone;
  if (system.Valid() && EqualSid(sid, system.Get())) return KeyTrustee::LocalSystem;
  return KeyTrustee::Other;
}

}  // namespace

bool ReplaceKeyAccessList(const Text& absoluteKeyPath, const std::vector<KeyAccessEntry>& entries) {
  WellKnownSid everyone(WellKnown::World), system(WellKnown::LocalSystem);
  if (!everyone.Valid() || !system.Valid()) return false;

  DWORD aclSize = sizeof(ACL);
  for (const KeyAccessEntry& entry : entries) {
    if (entry.trustee == KeyTrustee::Other || !entry.allowed) return false;
    PSID sid = entry.trustee == KeyTrustee::Everyone ? everyone.Get() : system.Get();
    aclSize += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(sid);
  }
  std::vector<DWORD> aclBuffer((aclSize + sizeof(DWORD) - 1) / sizeof(DWORD));
  PACL acl = reinterpret_cast<PACL>(aclBuffer.data());
  if (!InitializeAcl(acl, aclSize, ACL_REVISION)) return false;
  for (const KeyAccessEntry& entry : entries) {
    PSID sid = entry.trustee == KeyTrustee::Everyone ? everyone.Get() : system.Get();
    if (!AddAccessAllowedAceEx(acl, ACL_REVISION, 0, entry.mask, sid)) return false;
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
  ScopedKey key;
  if (!OpenKey(absoluteKeyPath, READ_CONTROL, key)) return false;
  DWORD size = 0;
  if (RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, nullptr, &size) != ERROR_INSUFFICIENT_BUFFER ||
      size == 0) {
    return false;
  }
  std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
  auto* descriptor = static_cast<PSECURITY_DESCRIPTOR>(buffer.data());
  if (RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, descriptor, &size) != ERROR_SUCCESS) return false;
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
