#pragma once
#include <string>

#include "aax-library/AAX_Errors.h"

// Names and descriptions of result codes, used by traces and exception messages.
namespace AAX {

// "AAX_ERROR_NULL_OBJECT" for -20004, "plug-in defined error" for -21000..-20600,
// "<unknown error code>" for anything else.
const char* AsStringResult(AAX_Result result);

// The name followed by " (", the decimal code and ")", e.g. "AAX_ERROR_NULL_OBJECT (-20004)".
std::string DescribeResult(AAX_Result result);

}  // namespace AAX
