#include "platform/tls_roots.h"
#include <windows.h>

// After windows.h, which it needs.
#include <wincrypt.h>

namespace platform
{
void add_system_trust_roots(SSL_CTX* context)
{
    HCERTSTORE system = CertOpenSystemStoreW(0, L"ROOT");
    if (system == nullptr) return;
    X509_STORE* store = SSL_CTX_get_cert_store(context);
    for (PCCERT_CONTEXT c = CertEnumCertificatesInStore(system, nullptr); c != nullptr;
         c = CertEnumCertificatesInStore(system, c))
    {
        const unsigned char* der = c->pbCertEncoded;
        if (X509* certificate = d2i_X509(nullptr, &der, (long)c->cbCertEncoded))
        {
            X509_STORE_add_cert(store, certificate); // a duplicate is refused, harmlessly
            X509_free(certificate);
        }
    }
    CertCloseStore(system, 0);
}
} // namespace platform
