#pragma once
// The local web server's certificate, made trusted for the length of a test run: the update
// page is read with certificate checks on, so without this no check could ever succeed.
#include <windows.h>
// after windows.h, whose types it needs
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zelv::e2e {

class TrustedTestCertificate {
 public:
  // Adds the PEM certificate at ZELV_TEST_CERT to the user's root store, for this process and
  // the ones it starts. It must come before the process first checks a certificate: the chain
  // engine keeps the roots it found then. Nothing is trusted when the variable is unset or the
  // file unreadable (see error()). On Windows itself the system asks the user to confirm.
  TrustedTestCertificate();
  // Takes the certificate out of the store again, so runs do not pile them up in the prefix.
  ~TrustedTestCertificate();
  TrustedTestCertificate(const TrustedTestCertificate&) = delete;
  TrustedTestCertificate& operator=(const TrustedTestCertificate&) = delete;

  bool trusted() const noexcept { return !der_.empty(); }
  const std::string& error() const noexcept { return error_; }

 private:
  std::vector<BYTE> der_;
  std::string error_;
};

// The certificate trusted for a whole test program: register it with
//   ::testing::AddGlobalTestEnvironment(new TrustTestCertificateForRun);
// so it is trusted before the first test, and so before any chain engine or program started
// by a test first checks a certificate.
class TrustTestCertificateForRun : public ::testing::Environment {
 public:
  void SetUp() override { certificate_ = std::make_unique<TrustedTestCertificate>(); }
  void TearDown() override { certificate_.reset(); }
  static const TrustedTestCertificate* certificate() { return certificate_.get(); }

 private:
  static inline std::unique_ptr<TrustedTestCertificate> certificate_;
};

}  // namespace zelv::e2e
