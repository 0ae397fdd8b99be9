// One fuzz input run against the store: a table file and a memo file cut out
// of the bytes, opened, read field by field, navigated, indexed and packed.
// Faults are the expected answer to damage; anything else (a crash, a sanitizer
// report) is a finding.
//
// Input layout: byte 0 bit 0 chooses the memo kind (.dbt / .fpt), bytes 1-2
// (little-endian) the length of the table part, then the table bytes, then
// the memo bytes.
#pragma once

#include <cstddef>
#include <cstdint>

void RunOpenTableInput(const std::uint8_t* data, std::size_t size);
