#pragma once

namespace iplug {

// What the VST3 binding knows when it asks the product for an instance: nothing yet, as the
// host gives the sample rate and block size only later (setupProcessing).
struct InstanceInfo {};

}  // namespace iplug
