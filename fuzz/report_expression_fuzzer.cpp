// libFuzzer entry for the report expression parser and evaluator.
#include "fuzz/report_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RunReportExpressionInput(data, size);
    return 0;
}
