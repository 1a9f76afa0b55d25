#include "Sha256.h"

#include <gtest/gtest.h>

namespace veltran {
namespace {

ByteView View(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The published test vectors, and the same text given in uneven pieces.
TEST(Sha256Test, KnownDigestsWholeAndInPieces)
{
    const std::pair<std::string, std::string> vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& [text, digest] : vectors) {
        Sha256 whole;
        whole.Add(ByteView()); // no pointer at all, as an empty file's content may be
        whole.Add(View(text));
        EXPECT_EQ(whole.HexDigest(), digest) << text.size();
        Sha256 pieces;
        for (std::size_t at = 0, step = 1; at < text.size(); at += step, step = step * 3 % 127 + 1)
            pieces.Add(View(text.substr(at, step)));
        EXPECT_EQ(pieces.HexDigest(), digest) << text.size();
    }
}

} // namespace
} // namespace veltran
