// libFuzzer entry for opening tables and reading memos.
#include "fuzz/open_table_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RunOpenTableInput(data, size);
    return 0;
}
