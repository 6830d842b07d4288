#pragma once
#include <ostream>

#include "host/validator/ValidateOptions.h"

namespace tbvalidate {

// `tollenbrook-host validate`: loads the module as a host does and puts it through every check
// of the strictness asked for, one line per check, then "N passed, N failed". Returns the exit
// status: 0 when every check passed, 1 when one failed, 2 when the module could not be loaded.
// Main thread.
int Validate(const ValidateOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tbvalidate
