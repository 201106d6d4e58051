// The libFuzzer entry of one target; URBICA_FUZZ_FUNCTION names it.
#include <cstddef>
#include <cstdint>

#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return urbica::fuzz::URBICA_FUZZ_FUNCTION(data, size);
}
