// Compiles the Chinese mapping tables at build time from the OpenCC
// dictionaries installed on the build machine, so that the program starts
// without loading or indexing any dictionary.
//
// Usage: veltran_mapping_tablegen OPENCC_DATA_DIR OUTPUT_DIR
// Writes OUTPUT_DIR/s2tw.tables (to Traditional, Taiwan standard), OUTPUT_DIR/t2s.tables (to
// Simplified, with its phrases' outputs kept as they are, so that Simplified text comes out as it
// went in) and OUTPUT_DIR/tw2s.tables (Taiwan text to Simplified, without the variants that would
// rewrite characters Simplified text uses).

#include "ChainTablesBuilder.h"
#include "KeptCharacters.h"
#include "OpenccDictionaryReader.h"
#include "PhraseOutputs.h"

#include <cstdio>
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

void WriteTables(const std::string& dataDir, const std::string& configName, const std::string& outputPath, Keep keep)
{
    veltran::ChainDictionaries chain = veltran::OpenccDictionaryReader::FromFile(dataDir + "/" + configName);
    if (keep == Keep::PhraseOutputs)
        veltran::KeepPhraseOutputs(chain);
    if (keep == Keep::Kept)
        veltran::KeepCharacters(chain, veltran::kKeptByTaiwanChain);
    const std::vector<std::byte> tables = veltran::ChainTablesBuilder::Build(chain);
    // Written under a temporary name first so that a failed run never leaves half
    // a table behind.
    const std::string partial = outputPath + ".part";
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(tables.data()), static_cast<std::streamsize>(tables.size()));
    out.close();
    if (!out || std::rename(partial.c_str(), outputPath.c_str()) != 0) {
        throw std::runtime_error("cannot write " + outputPath);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OPENCC_DATA_DIR OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    try {
        const std::string dataDir = argv[1];
        const std::string outputDir = argv[2];
        WriteTables(dataDir, "s2tw.json", outputDir + "/s2tw.tables", Keep::AsItIs);
        WriteTables(dataDir, "t2s.json", outputDir + "/t2s.tables", Keep::PhraseOutputs);
        WriteTables(dataDir, "tw2s.json", outputDir + "/tw2s.tables", Keep::Kept);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "veltran_mapping_tablegen: %s\n", e.what());
        return 1;
    }
    return 0;
}
