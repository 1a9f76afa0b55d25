// Compiles the Chinese mapping tables at build time from the OpenCC dictionaries installed on the
// build machine into one file that the programs map at start, without loading or indexing any
// dictionary.
//
// Usage: veltran_mapping_tablegen OPENCC_DATA_DIR OUTPUT_FILE
// The file (MappingTablesFormat.h) holds four chains: to Traditional, Taiwan standard (s2tw); to
// Simplified, with its phrases' outputs kept as they are, so that Simplified text comes out as it
// went in (t2s); Taiwan text to Simplified, without the variants that would rewrite characters
// Simplified text uses (tw2s); and to OpenCC's standard Traditional forms (s2t).

#include "ChainTablesBuilder.h"
#include "KeptCharacters.h"
#include "MappingTablesFormat.h"
#include "OpenccDictionaryReader.h"
#include "PhraseOutputs.h"

#include <openssl/sha.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>

namespace {

// How a chain read from OpenCC's dictionaries is made ours.
enum class Keep
{
    AsItIs,
    PhraseOutputs, // phrases' outputs map to themselves
    Kept,          // the characters of kKeptByTaiwanChain stay as they are
};

std::vector<std::byte> ChainTables(const std::string& dataDir, const std::string& configName, Keep keep)
{
    veltran::ChainDictionaries chain = veltran::OpenccDictionaryReader::FromFile(dataDir + "/" + configName);
    if (keep == Keep::PhraseOutputs)
        veltran::KeepPhraseOutputs(chain);
    if (keep == Keep::Kept)
        veltran::KeepCharacters(chain, veltran::kKeptByTaiwanChain);
    return veltran::ChainTablesBuilder::Build(chain);
}

void WriteTablesFile(const std::vector<std::vector<std::byte>>& chains, const std::string& outputPath)
{
    veltran::MappingTablesHeader header;
    std::memcpy(header.magic.data(), veltran::kMappingTablesMagic.data(), header.magic.size());
    std::vector<std::byte> file(sizeof header);
    for (std::size_t i = 0; i < chains.size(); ++i) {
        file.resize((file.size() + veltran::kMappingTablesAlignment - 1) / veltran::kMappingTablesAlignment *
                    veltran::kMappingTablesAlignment);
        veltran::MappingTablesEntry& entry = header.chains[i];
        entry.offset = file.size();
        entry.size = chains[i].size();
        SHA256(reinterpret_cast<const unsigned char*>(chains[i].data()), chains[i].size(), entry.sha256.data());
        file.insert(file.end(), chains[i].begin(), chains[i].end());
    }
    std::memcpy(file.data(), &header, sizeof header);
    // Written under a temporary name first so that a failed run never leaves half a file behind.
    const std::string partial = outputPath + ".part";
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    out.close();
    if (!out || std::rename(partial.c_str(), outputPath.c_str()) != 0) {
        throw std::runtime_error("cannot write " + outputPath);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OPENCC_DATA_DIR OUTPUT_FILE\n", argv[0]);
        return 2;
    }
    try {
        const std::string dataDir = argv[1];
        // In the order of MappingChainId.
        WriteTablesFile({ChainTables(dataDir, "s2tw.json", Keep::AsItIs),
                         ChainTables(dataDir, "t2s.json", Keep::PhraseOutputs),
                         ChainTables(dataDir, "tw2s.json", Keep::Kept), ChainTables(dataDir, "s2t.json", Keep::AsItIs)},
                        argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "veltran_mapping_tablegen: %s\n", e.what());
        return 1;
    }
    return 0;
}
