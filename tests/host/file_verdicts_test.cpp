// Who vouches for a file, as Wine's trust functions answer, with fixtures
// signed by publishers the test makes trusted.
#include "host/file_verdicts.h"

#include <windows.h>

#include <gtest/gtest.h>

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

  EXPECT_TRUE(SignaturesPending());
  while (SignaturesPending()) ASSERT_TRUE(CheckPendingSignatures(30));
  EXPECT_FALSE(CheckPendingSignatures(30)) << "nothing is checked twice";
  EXPECT_EQ(facts.trust, FileTrust::Signed);
  EXPECT_TRUE(IsMicrosoftSigned(facts));
}

}  // namespace
