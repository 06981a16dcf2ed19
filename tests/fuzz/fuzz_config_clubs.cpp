// Club config file (1_tm.cfg) into vereine, vereine_national and vereinspieler.
#include "fuzz_config.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzcfg::run(data, size, cfg::ConfigFile::Clubs);
    return 0;
}
