#pragma once

namespace tbtest {

// A parent for an editor window, as a host gives one: on Windows a top-level window of this
// process (made once, kept for the life of the test program); elsewhere null, which the
// off-screen editor does not need. UI thread (the test's main thread).
void* TestParentWindow();

}  // namespace tbtest
