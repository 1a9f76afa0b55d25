#include "EmbeddedMappingTables.h"

// The table files come from veltran_mapping_tablegen; the build passes their
// paths in VELTRAN_S2TW_TABLES, VELTRAN_T2S_TABLES and VELTRAN_TW2S_TABLES. The assembler copies
// them into read-only data as they are, which keeps the build fast and the
// start-up free of any parsing.
#define VELTRAN_EMBED_TABLES(name, path)                                                                               \
    asm(".section .rodata\n"                                                                                           \
        ".balign 16\n"                                                                                                 \
        ".globl " #name "_begin\n"                                                                                     \
        ".hidden " #name "_begin\n" #name "_begin:\n"                                                                  \
        ".incbin \"" path "\"\n"                                                                                       \
        ".globl " #name "_end\n"                                                                                       \
        ".hidden " #name "_end\n" #name "_end:\n"                                                                      \
        ".previous\n")

VELTRAN_EMBED_TABLES(veltran_s2tw_tables, VELTRAN_S2TW_TABLES);
VELTRAN_EMBED_TABLES(veltran_t2s_tables, VELTRAN_T2S_TABLES);
VELTRAN_EMBED_TABLES(veltran_tw2s_tables, VELTRAN_TW2S_TABLES);

extern "C" {
extern const std::byte veltran_s2tw_tables_begin[] __attribute__((visibility("hidden")));
extern const std::byte veltran_s2tw_tables_end[] __attribute__((visibility("hidden")));
extern const std::byte veltran_t2s_tables_begin[] __attribute__((visibility("hidden")));
extern const std::byte veltran_t2s_tables_end[] __attribute__((visibility("hidden")));
extern const std::byte veltran_tw2s_tables_begin[] __attribute__((visibility("hidden")));
extern const std::byte veltran_tw2s_tables_end[] __attribute__((visibility("hidden")));
}

namespace veltran {

std::span<const std::byte> EmbeddedS2twTables()
{
    return {veltran_s2tw_tables_begin, veltran_s2tw_tables_end};
}

std::span<const std::byte> EmbeddedT2sTables()
{
    return {veltran_t2s_tables_begin, veltran_t2s_tables_end};
}

std::span<const std::byte> EmbeddedTw2sTables()
{
    return {veltran_tw2s_tables_begin, veltran_tw2s_tables_end};
}

} // namespace veltran
