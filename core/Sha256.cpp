#include "Sha256.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace veltran {

void Sha256::ContextFree::operator()(evp_md_ctx_st* context) const
{
    EVP_MD_CTX_free(context);
}

Sha256::Sha256() : m_context(EVP_MD_CTX_new())
{
    if (!m_context || EVP_DigestInit_ex(m_context.get(), EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("libcrypto cannot compute SHA-256");
}

Sha256::~Sha256() = default;

void Sha256::Add(ByteView bytes)
{
    if (!bytes.empty())
        EVP_DigestUpdate(m_context.get(), bytes.data(), bytes.size());
}

std::array<std::uint8_t, 32> Sha256::Digest()
{
    std::array<std::uint8_t, 32> digest{};
    EVP_DigestFinal_ex(m_context.get(), digest.data(), nullptr);
    return digest;
}

std::string Sha256::HexDigest()
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : Digest()) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

std::string Sha256::Of(ByteView bytes)
{
    Sha256 hash;
    hash.Add(bytes);
    return hash.HexDigest();
}

} // namespace veltran
