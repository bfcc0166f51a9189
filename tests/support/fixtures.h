// Windows paths of the fixture binaries built by tests/fixtures, and what
// their version resources say. For scanner tests that point registry
// entries at real files with known descriptions.
#pragma once

#include "base/text_ops.h"

namespace fixture {

// The fixture folder, ending in "\".
inline const Text kDirectory = VELTRO_FIXTURE_DIR;

// A library and a program carrying the same resource: all twelve version
// strings under translation 0804/04B0 (080404B0).
inline const Text kComponentDll = kDirectory + "veltro_component.dll";
inline const Text kComponentExe = kDirectory + "veltro_component.exe";
inline const Text kComponentDescription = "Veltro 测试组件";
// The program, run as "veltro_component.exe FILE [MILLISECONDS [EXITCODE]]",
// waits, writes "done" to FILE and exits with EXITCODE; without arguments it
// exits at once.

// Translation 0409/04E4, description in English.
inline const Text kEnglishDll = kDirectory + "veltro_english.dll";
inline const Text kEnglishDescription = "Veltro English component";

// No description to be found (GetFileDescription gives ""):
// strings only under the second translation entry,
inline const Text kSecondLanguageDll = kDirectory + "veltro_second_language.dll";
// a description of spaces only,
inline const Text kBlankDescriptionDll = kDirectory + "veltro_blank_description.dll";
// all twelve strings empty,
inline const Text kEmptyStringsDll = kDirectory + "veltro_empty_strings.dll";
// no version resource at all.
inline const Text kNoVersionDll = kDirectory + "veltro_no_version.dll";

// A description wrapped in ASCII and full-width spaces; trimmed it reads:
inline const Text kPaddedDescriptionDll = kDirectory + "veltro_padded_description.dll";
inline const Text kPaddedDescription = "Veltro 填充";

// Hostile: the description "Veltro" claims a length far beyond its data
// and the resource; what comes back is at most "Veltro", possibly less.
inline const Text kLongClaimDll = kDirectory + "veltro_long_claim.dll";

// String tables only (no version resource), the same ids in Simplified
// Chinese and US English: 1, 2, 100, 101, 201, 204, 1001, 1002, 3250, 3251
// and 65535 (see strings.rc); what the test prefix's language reads:
inline const Text kStringsDll = kDirectory + "veltro_strings.dll";

// veltro_component.exe signed by two self-made publishers (sign_fixtures.sh),
// whose certificates TrustedTestRoots installs as machine roots; and the
// publisher's copy with one code byte changed after signing.
inline const Text kSignedExe = kDirectory + "veltro_signed.exe";
inline const Text kSignedExePublisher = "Veltro Test Publisher";
inline const Text kMicrosoftSignedExe = kDirectory + "veltro_microsoft_signed.exe";
inline const Text kMicrosoftSignedExePublisher = "Microsoft Veltro Test Signing";
inline const Text kTamperedExe = kDirectory + "veltro_tampered.exe";
inline const Text kPublisherCertificates[] = {kDirectory + "veltro_publisher.cer",
                                              kDirectory + "veltro_microsoft.cer"};

}  // namespace fixture
