// libFuzzer entry for the report definition reader.
#include "fuzz/report_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RunReportDefinitionInput(data, size);
    return 0;
}
