#include "Sha256.h"

#include <gtest/gtest.h>

namespace veltran {
namespace {

ByteView View(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The published test vectors, and the same text given in uneven pieces, by both engines (the
// processor's SHA extensions, where it has them, and plain code).
TEST(Sha256Test, KnownDigestsWholeAndInPieces)
{
    const std::pair<std::string, std::string> vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Sha256::Engine engine : {Sha256::Engine::Best, Sha256::Engine::Portable}) {
        for (const auto& [text, digest] : vectors) {
            Sha256 whole(engine);
            whole.Add(ByteView()); // no pointer at all, as an empty file's content may be
            whole.Add(View(text));
            EXPECT_EQ(whole.HexDigest(), digest) << text.size();
            Sha256 pieces(engine);
            for (std::size_t at = 0, step = 1; at < text.size(); at += step, step = step * 3 % 127 + 1)
                pieces.Add(View(text.substr(at, step)));
            EXPECT_EQ(pieces.HexDigest(), digest) << text.size();
        }
    }
}

// Two hashes fed in one pass, each after a few bytes of its own (a part-filled block), of lengths
// that end in step, one ahead of the other, and empty.
TEST(Sha256Test, TwoInOnePassGiveWhatEachAloneGives)
{
    std::string text(5000, '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>(i * 131 % 251);
    const std::size_t lengths[] = {0, 1, 63, 64, 65, 640, 4999};
    const std::size_t heads[] = {0, 3, 64};
    for (const Sha256::Engine engine : {Sha256::Engine::Best, Sha256::Engine::Portable}) {
        for (const std::size_t head : heads) {
            for (const std::size_t a : lengths) {
                for (const std::size_t b : lengths) {
                    Sha256 first(engine);
                    Sha256 second(engine);
                    first.Add(View(text.substr(0, head)));
                    Sha256::AddBoth(first, View(text.substr(head, a)), second, View(text.substr(7, b)));
                    EXPECT_EQ(first.HexDigest(), Sha256::Of(View(text.substr(0, head + a)))) << head << " " << a;
                    EXPECT_EQ(second.HexDigest(), Sha256::Of(View(text.substr(7, b)))) << b;
                }
            }
        }
    }
}

} // namespace
} // namespace veltran
