#include "host/signatures.h"

#include <windows.h>
// Types only: every function of these DLLs is looked up at run time.
#include <wincrypt.h>
#include <wintrust.h>
#include <mscat.h>
#include <softpub.h>

#include <string>

#include "host/native_view.h"
#include "host/scoped_handles.h"
#include "host/system_functions.h"
#include "host/wide_text.h"

namespace {

// WINTRUST_ACTION_GENERIC_VERIFY_V2 and DRIVER_ACTION_VERIFY, spelled out so
// that no GUID library is linked for two constants.
GUID kGenericVerifyV2 = {0x00AAC56B, 0xCD44, 0x11D0, {0x8C, 0xC2, 0x00, 0xC0, 0x4F, 0xC2, 0x95, 0xEE}};
GUID kDriverVerify = {0xF750E6C3, 0x38EE, 0x11D1, {0x85, 0xE5, 0x00, 0xC0, 0x4F, 0xC2, 0x95, 0xEE}};

using WinVerifyTrustFunction = LONG(WINAPI*)(HWND, GUID*, LPVOID);
using ProviderDataFunction = CRYPT_PROVIDER_DATA*(WINAPI*)(HANDLE);
using ProviderSignerFunction = CRYPT_PROVIDER_SGNR*(WINAPI*)(CRYPT_PROVIDER_DATA*, DWORD, BOOL, DWORD);
using CertNameFunction = DWORD(WINAPI*)(PCCERT_CONTEXT, DWORD, DWORD, void*, LPWSTR, DWORD);
using CertNameToStrFunction = DWORD(WINAPI*)(DWORD, PCERT_NAME_BLOB, DWORD, LPWSTR, DWORD);
using CertFreeFunction = BOOL(WINAPI*)(PCCERT_CONTEXT);
using CatAcquireFunction = BOOL(WINAPI*)(HCATADMIN*, const GUID*, DWORD);
using CatReleaseFunction = BOOL(WINAPI*)(HCATADMIN, DWORD);
using CatHashFunction = BOOL(WINAPI*)(HANDLE, DWORD*, BYTE*, DWORD);
using CatEnumFunction = HCATINFO(WINAPI*)(HCATADMIN, BYTE*, DWORD, DWORD, HCATINFO*);
using CatInfoFunction = BOOL(WINAPI*)(HCATINFO, CATALOG_INFO*, DWORD);
using CatReleaseCatalogFunction = BOOL(WINAPI*)(HCATADMIN, HCATINFO, DWORD);

struct TrustFunctions {
  WinVerifyTrustFunction verify = SystemFunction<WinVerifyTrustFunction>("wintrust.dll", "WinVerifyTrust");
  ProviderDataFunction providerData =
      SystemFunction<ProviderDataFunction>("wintrust.dll", "WTHelperProvDataFromStateData");
  ProviderSignerFunction providerSigner =
      SystemFunction<ProviderSignerFunction>("wintrust.dll", "WTHelperGetProvSignerFromChain");
  CatAcquireFunction catAcquire = SystemFunction<CatAcquireFunction>("wintrust.dll", "CryptCATAdminAcquireContext");
  CatReleaseFunction catRelease = SystemFunction<CatReleaseFunction>("wintrust.dll", "CryptCATAdminReleaseContext");
  CatHashFunction catHash = SystemFunction<CatHashFunction>("wintrust.dll", "CryptCATAdminCalcHashFromFileHandle");
  CatEnumFunction catEnum = SystemFunction<CatEnumFunction>("wintrust.dll", "CryptCATAdminEnumCatalogFromHash");
  CatInfoFunction catInfo = SystemFunction<CatInfoFunction>("wintrust.dll", "CryptCATCatalogInfoFromContext");
  CatReleaseCatalogFunction catReleaseCatalog =
      SystemFunction<CatReleaseCatalogFunction>("wintrust.dll", "CryptCATAdminReleaseCatalogContext");
  CertNameFunction certName = SystemFunction<CertNameFunction>("crypt32.dll", "CertGetNameStringW");
  CertNameToStrFunction certNameToStr = SystemFunction<CertNameToStrFunction>("crypt32.dll", "CertNameToStrW");
  CertFreeFunction certFree = SystemFunction<CertFreeFunction>("crypt32.dll", "CertFreeCertificateContext");

  bool CanVerify() const { return verify != nullptr; }
  bool CanUseCatalogues() const {
    return catAcquire && catRelease && catHash && catEnum && catInfo && catReleaseCatalog;
  }
};

// Looked up once, on the first check (loading the DLLs is the slow part).
const TrustFunctions& Trust() {
  static const TrustFunctions functions;
  return functions;
}

Text CertificateName(PCCERT_CONTEXT certificate) {
  if (certificate == nullptr) return Text();
  wchar_t name[256] = {};
  const TrustFunctions& trust = Trust();
  if (trust.certName != nullptr) {
    if (trust.certName(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, 256) > 1) return NarrowText(name);
  } else if (trust.certNameToStr != nullptr && certificate->pCertInfo != nullptr) {
    // Windows 2000's crypt32 may lack the simple form: the subject as text.
    if (trust.certNameToStr(X509_ASN_ENCODING, &certificate->pCertInfo->Subject, CERT_SIMPLE_NAME_STR, name, 256) >
        1) {
      return NarrowText(name);
    }
  }
  return Text();
}

// The leaf certificate of the first signer of a verification still open.
Text SignerOf(HANDLE state) {
  const TrustFunctions& trust = Trust();
  if (state == nullptr || trust.providerData == nullptr || trust.providerSigner == nullptr) return Text();
  CRYPT_PROVIDER_DATA* data = trust.providerData(state);
  if (data == nullptr) return Text();
  CRYPT_PROVIDER_SGNR* signer = trust.providerSigner(data, 0, FALSE, 0);
  if (signer == nullptr || signer->csCertChain == 0 || signer->pasCertChain == nullptr) return Text();
  return CertificateName(signer->pasCertChain[0].pCert);
}

// One WinVerifyTrust call with its state kept long enough to read the signer.
SignatureFinding Verify(GUID& action, WINTRUST_DATA& data) {
  const TrustFunctions& trust = Trust();
  data.cbStruct = sizeof data;
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  SignatureFinding finding;
  finding.isSigned = trust.verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data) == ERROR_SUCCESS;
  if (finding.isSigned) finding.signer = SignerOf(data.hWVTStateData);
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  trust.verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  return finding;
}

SignatureFinding CheckEmbedded(HANDLE file, const std::wstring& path) {
  WINTRUST_FILE_INFO fileInfo{};
  fileInfo.cbStruct = sizeof fileInfo;
  fileInfo.pcwszFilePath = path.c_str();
  fileInfo.hFile = file;
  WINTRUST_DATA data{};
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &fileInfo;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  return Verify(kGenericVerifyV2, data);
}

// The catalogue's signature vouches for the file whose hash it lists. System
// components' catalogues carry Windows' own usage rather than code signing,
// which the driver policy accepts.
SignatureFinding CheckCatalogues(HANDLE file, const std::wstring& path) {
  const TrustFunctions& trust = Trust();
  if (!trust.CanUseCatalogues()) return {};
  BYTE hash[64] = {};
  DWORD hashLength = sizeof hash;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  if (!trust.catHash(file, &hashLength, hash, 0) || hashLength == 0 || hashLength > sizeof hash) return {};
  HCATADMIN admin = nullptr;
  if (!trust.catAcquire(&admin, nullptr, 0)) return {};
  std::wstring tag;
  for (DWORD i = 0; i < hashLength; ++i) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    tag += kDigits[hash[i] >> 4];
    tag += kDigits[hash[i] & 15];
  }
  SignatureFinding finding;
  HCATINFO catalogue = trust.catEnum(admin, hash, hashLength, 0, nullptr);
  if (catalogue != nullptr) {
    CATALOG_INFO info{};
    info.cbStruct = sizeof info;
    if (trust.catInfo(catalogue, &info, 0)) {
      WINTRUST_CATALOG_INFO catalogueInfo{};
      catalogueInfo.cbStruct = sizeof catalogueInfo;
      catalogueInfo.pcwszCatalogFilePath = info.wszCatalogFile;
      catalogueInfo.pcwszMemberTag = tag.c_str();
      catalogueInfo.pcwszMemberFilePath = path.c_str();
      catalogueInfo.hMemberFile = file;
      catalogueInfo.pbCalculatedFileHash = hash;
      catalogueInfo.cbCalculatedFileHash = hashLength;
      WINTRUST_DATA data{};
      data.dwUnionChoice = WTD_CHOICE_CATALOG;
      data.pCatalog = &catalogueInfo;
      finding = Verify(kGenericVerifyV2, data);
      if (!finding.isSigned) {
        DRIVER_VER_INFO driver{};
        driver.cbStruct = sizeof driver;
        WINTRUST_DATA driverData{};
        driverData.dwUnionChoice = WTD_CHOICE_CATALOG;
        driverData.pCatalog = &catalogueInfo;
        driverData.pPolicyCallbackData = &driver;
        finding = Verify(kDriverVerify, driverData);
        if (driver.pcSignerCertContext != nullptr && trust.certFree != nullptr) {
          trust.certFree(driver.pcSignerCertContext);
        }
      }
    }
    trust.catReleaseCatalog(admin, catalogue, 0);
  }
  trust.catRelease(admin, 0);
  return finding;
}

}  // namespace

SignatureFinding CheckFileSignature(const Text& path) {
  const TrustFunctions& trust = Trust();   // DLLs load with the real System folder in view
  if (!trust.CanVerify() || path.empty()) return {};
  ScopedHandle file;
  {
    // Only the open sees the real System folder; the trust providers load
    // their own DLLs afterwards, from the folder of this build's bitness.
    const NativeFileView nativeFiles;
    file = ScopedHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  if (!file.IsValid()) return {};
  const std::wstring widePath = WideText(path);
  SignatureFinding finding = CheckEmbedded(file.Get(), widePath);
  if (!finding.isSigned) finding = CheckCatalogues(file.Get(), widePath);
  finding.checked = true;
  return finding;
}
