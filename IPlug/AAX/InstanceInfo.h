#pragma once

namespace iplug {

// What the host binding knows about the instance it asks the product to create. Empty
// until the AAX binding needs to pass something through the product's constructor.
struct InstanceInfo {};

}  // namespace iplug
