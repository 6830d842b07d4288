#pragma once

namespace tbhost {
class CLAPPluginInstance;
}

namespace tbvalidate {

class Validation;

// The checks only a CLAP plug-in gets, on instances made from the same file as `first`:
// activation at several sample rates and longest blocks, value events at every offset of a
// block, state round trips through streams that move a few bytes at a time, damaged state
// streams, and at the end every call the plug-in made on its host from the thread the interface
// assigns it (the instances the checks made, and one whose audio runs on a thread of its own
// while the host's thread changes values, reads meters and saves the state).
// Main thread.
void CheckCLAP(Validation& v, const tbhost::CLAPPluginInstance& first);

}  // namespace tbvalidate
