#pragma once
#include <string>

#include "host/cli/AudioFileFormat.h"

namespace tbhost {

// What the host says about an input file that holds fewer frames than its header promises (a
// copy or download cut short): the render goes on with what the file holds, and the user is
// told both lengths, since the output is as short as what was there.
class TruncationWarning {
public:
  // The warning for the file at `path` opened with `format`, or empty when the file is whole
  // or its header gives no length.
  static std::string For(const std::string& path, const AudioFileFormat& format);
};

}  // namespace tbhost
