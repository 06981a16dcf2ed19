// Player config file (1_sp.cfg) into spieler.
#include "fuzz_config.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzcfg::run(data, size, cfg::ConfigFile::Players);
    return 0;
}
