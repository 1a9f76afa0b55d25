#pragma once

#include "Bytes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

struct evp_md_ctx_st;

namespace veltran {

/// SHA-256 of bytes given in one or more pieces, by OpenSSL's libcrypto, which uses the processor's
/// SHA extensions where it has them.
class Sha256
{
public:
    /// Throws std::runtime_error when libcrypto cannot set the hash up.
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    /// Adds the bytes; empty ones (even without a pointer) change nothing.
    void Add(ByteView bytes);
    /// The digest's 32 bytes. Ends the hashing: add nothing after it.
    std::array<std::uint8_t, 32> Digest();
    /// The digest as 64 lower-case hexadecimal digits. Ends the hashing: add nothing after it.
    std::string HexDigest();

    /// The digest of the bytes in one call.
    static std::string Of(ByteView bytes);

private:
    struct ContextFree
    {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, ContextFree> m_context;
};

} // namespace veltran
