#pragma once
#include "Canvas.h"

namespace artwork {

// Adds the fine horizontal grain of brushed, anodised aluminium to what is already on
// the canvas. Fixed hash, so the grain is the same on every run.
void ApplyBrushedGrain(Canvas& canvas, double strength);

}  // namespace artwork
