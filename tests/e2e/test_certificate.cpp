#include "test_certificate.h"

#include <fstream>
#include <iterator>

#include "driver.h"

namespace zelv::e2e {
namespace {

// The user's store, not the machine's: Wine keeps the machine's root store in memory, per
// process, while the user's is in the registry, where the program under test sees it too.
// Windows builds a chain from both.
HCERTSTORE OpenRootStore() {
  return CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
}

}  // namespace

TrustedTestCertificate::TrustedTestCertificate() {
  const auto path = Env("ZELV_TEST_CERT");
  if (!path) {
    error_ = "ZELV_TEST_CERT is not set";
    return;
  }
  std::ifstream in(*path, std::ios::binary);
  const std::string pem((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  DWORD size = 0;
  if (pem.empty() || !CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()),
                                           CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) {
    error_ = "cannot read a PEM certificate from " + *path;
    return;
  }
  std::vector<BYTE> der(size);
  if (!CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                            der.data(), &size, nullptr, nullptr)) {
    error_ = "cannot decode " + *path;
    return;
  }
  der.resize(size);
  HCERTSTORE root = OpenRootStore();
  if (root == nullptr) {
    error_ = "cannot open the user's root store, error " + std::to_string(GetLastError());
    return;
  }
  if (CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(), size,
                                       CERT_STORE_ADD_REPLACE_EXISTING, nullptr)) {
    der_ = std::move(der);
  } else {
    error_ = "cannot add the certificate to the root store, error " + std::to_string(GetLastError());
  }
  // No context of it is kept open: a registry store is written out when its last reference
  // goes, and only then do other stores (the chain engine's, other processes') see the change.
  CertCloseStore(root, 0);
}

TrustedTestCertificate::~TrustedTestCertificate() {
  if (der_.empty()) return;
  PCCERT_CONTEXT certificate =
      CertCreateCertificateContext(X509_ASN_ENCODING, der_.data(), static_cast<DWORD>(der_.size()));
  HCERTSTORE root = OpenRootStore();
  if (certificate != nullptr && root != nullptr) {
    // Deleting frees the found context.
    if (PCCERT_CONTEXT found =
            CertFindCertificateInStore(root, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, certificate, nullptr))
      CertDeleteCertificateFromStore(found);
  }
  if (root != nullptr) CertCloseStore(root, 0);
  if (certificate != nullptr) CertFreeCertificateContext(certificate);
}

}  // namespace zelv::e2e
