#include "platform/tls_roots.h"

namespace platform
{
void add_system_trust_roots(SSL_CTX*)
{
    // The default verify paths are the system's store here.
}
} // namespace platform
