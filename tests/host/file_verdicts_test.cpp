// Who vouches for a file, as Wine's trust functions answer, with fixtures
// signed by publishers the test makes trusted.
#include "host/file_verdicts.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "host/signatures.h"
#include "support/fixtures.h"
#include "support/trusted_roots.h"

namespace {

struct SignatureCase {
  Text path;
  bool isSigned;
  Text signer;
};

TEST(FileVerdictsTest, SignaturesAndTheirSigners) {
  // Wine 8 checks the image's hash and the signature, but accepts a chain
  // that ends in a root nobody trusts; the roots are installed so that the
  // cases hold where trust is checked too.
  const TrustedTestRoots roots;
  ASSERT_EQ(roots.Count(), 2u);
  const SignatureCase cases[] = {
      {fixture::kSignedExe, true, fixture::kSignedExePublisher},
      {fixture::kMicrosoftSignedExe, true, fixture::kMicrosoftSignedExePublisher},
      // One byte changed after signing.
      {fixture::kTamperedExe, false, ""},
      {fixture::kComponentExe, false, ""},
      {fixture::kEnglishDll, false, ""},
      {"c:\\veltro-missing.exe", false, ""},
  };
  for (const SignatureCase& c : cases) {
    const SignatureFinding finding = CheckFileSignature(c.path);
    EXPECT_EQ(finding.isSigned, c.isSigned) << c.path;
    EXPECT_EQ(finding.signer, c.signer) << c.path;
  }
  // A file malware holds open without sharing cannot be read: no answer, not
  // "not signed" (which would paint it like an intruder's).
  const HANDLE held = CreateFileA(fixture::kSignedExe.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const SignatureFinding locked = CheckFileSignature(fixture::kSignedExe);
  CloseHandle(held);
  EXPECT_FALSE(locked.checked);
  EXPECT_FALSE(locked.isSigned);
}

// Each file's facts once per run, whichever case and command line name it;
// signatures only when asked for, and then once.
TEST(FileVerdictsTest, OneVerdictPerFile) {
  const TrustedTestRoots roots;
  const FileId signedFile = NoteCommandFile(RegistryView::Native, "\"" + fixture::kMicrosoftSignedExe + "\" /x");
  const FileId missing = NoteCommandFile(RegistryView::Native, "c:\\veltro-missing\\x.exe /y");
  ASSERT_NE(signedFile, 0);
  EXPECT_EQ(NoteCommandFile(RegistryView::Native, ToLowerCase(fixture::kMicrosoftSignedExe)), signedFile);
  EXPECT_EQ(NoteCommandFile(RegistryView::Native, ""), 0);
  const FileFacts& facts = *FactsOf(signedFile);
  EXPECT_EQ(facts.trust, FileTrust::Pending);
  EXPECT_EQ(facts.description, fixture::kComponentDescription);
  EXPECT_FALSE(facts.company.empty());
  EXPECT_FALSE(facts.version.empty());
  EXPECT_EQ(FactsOf(missing)->trust, FileTrust::Missing);
  EXPECT_EQ(DescriptionShown(missing), "未知");

  // Hashing a large file takes long and cannot be split: the checks run
  // beside the caller, who is never held up waiting for one.
  const Text large = "c:\\veltro-large-unsigned.bin";
  {
    const HANDLE file = CreateFileA(large.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::string block(1024 * 1024, 'x');
    DWORD written = 0;
    for (int i = 0; i < 48; ++i) WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
    CloseHandle(file);
  }
  const FileId largeFile = NoteCommandFile(RegistryView::Native, large);
  EXPECT_TRUE(SignaturesPending());
  RunSignatureChecks(false);
  Sleep(300);
  EXPECT_FALSE(CollectSignatureFindings()) << "no check starts while checks may not run";

  RunSignatureChecks(true);
  DWORD longestCall = 0;
  const DWORD start = GetTickCount();
  DWORD largeChecked = 0;
  while (SignaturesPending() && GetTickCount() - start < 60000) {
    const DWORD before = GetTickCount();
    CollectSignatureFindings();
    longestCall = std::max(longestCall, GetTickCount() - before);
    if (largeChecked == 0 && FactsOf(largeFile)->trust != FileTrust::Pending) largeChecked = GetTickCount() - start;
    Sleep(5);
  }
  DeleteFileA(large.c_str());
  ASSERT_FALSE(SignaturesPending());
  // Checked on the caller's thread, one call would have lasted the hashing.
  EXPECT_LT(longestCall * 2, largeChecked);
  EXPECT_EQ(FactsOf(largeFile)->trust, FileTrust::NotSigned);
  RunSignatureChecks(true);
  Sleep(100);
  EXPECT_FALSE(CollectSignatureFindings()) << "nothing is checked twice";
  RunSignatureChecks(false);
  EXPECT_EQ(facts.trust, FileTrust::Signed);
  EXPECT_TRUE(IsMicrosoftSigned(facts));
}

}  // namespace
