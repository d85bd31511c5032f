#pragma once
#include <openssl/ssl.h>

namespace platform
{
// Adds the system's trusted root certificates to CONTEXT's store, beside what
// SSL_CTX_set_default_verify_paths loads (SSL_CERT_FILE / SSL_CERT_DIR). On Linux OpenSSL's own
// paths are the system store; on Windows OpenSSL knows no store, so the "ROOT" store is read.
void add_system_trust_roots(SSL_CTX* context);
} // namespace platform
