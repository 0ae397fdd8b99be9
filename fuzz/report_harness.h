// Fuzz inputs run against the report service's readers: the report
// definition reader (keyword lines, array literals, number pictures) and the
// report expression parser and evaluator. A refused definition or expression
// is the expected answer to nonsense; anything else (a crash, a hang, a
// sanitizer report, a runaway allocation) is a finding.
//
// Definition input: the bytes of a ".rpt" file (Windows-1252); its field,
// title and group expressions are parsed and evaluated too.
// Expression input: an expression, then after the first line break a number
// picture. Fields read in expressions give what their names say: "n<digits>"
// a number, "d<digits>" a date from the day number, "l..." a logical,
// "m..." a memo, anything else its own name as text.
#pragma once

#include <cstddef>
#include <cstdint>

void RunReportDefinitionInput(const std::uint8_t* data, std::size_t size);
void RunReportExpressionInput(const std::uint8_t* data, std::size_t size);
