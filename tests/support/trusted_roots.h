// The fixture publishers' certificates as trusted roots of the test
// prefix's machine store, for as long as one of these lives.
#pragma once

#include <windows.h>
#include <wincrypt.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "support/fixtures.h"

class TrustedTestRoots {
 public:
  TrustedTestRoots() {
    store_ = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root");
    if (store_ == nullptr) return;
    for (const Text& path : fixture::kPublisherCertificates) {
      std::ifstream file(path, std::ios::binary);
      const std::vector<unsigned char> der((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
      PCCERT_CONTEXT added = nullptr;
      if (!der.empty() && CertAddEncodedCertificateToStore(store_, X509_ASN_ENCODING, der.data(),
                                                           static_cast<DWORD>(der.size()),
                                                           CERT_STORE_ADD_REPLACE_EXISTING, &added)) {
        added_.push_back(added);
      }
    }
  }
  ~TrustedTestRoots() {
    for (PCCERT_CONTEXT added : added_) CertDeleteCertificateFromStore(added);   // frees it too
    if (store_ != nullptr) CertCloseStore(store_, 0);
  }
  TrustedTestRoots(const TrustedTestRoots&) = delete;
  TrustedTestRoots& operator=(const TrustedTestRoots&) = delete;
  std::size_t Count() const { return added_.size(); }

 private:
  HCERTSTORE store_ = nullptr;
  std::vector<PCCERT_CONTEXT> added_;
};
