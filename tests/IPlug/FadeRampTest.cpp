#include <gtest/gtest.h>

#include "IPlug/FadeRamp.h"

using iplug::FadeRamp;

// A full travel takes exactly Length() samples, a hold comes first, and a reversal turns back
// from where the gain stands.
TEST(FadeRamp, TravelsInStraightStepsAndTurnsBackFromWhereItStands) {
  FadeRamp ramp(true);
  ramp.SetLength(4);
  EXPECT_FALSE(ramp.Moving());
  ramp.MoveTo(false, 2);
  EXPECT_EQ(ramp.FramesToTarget(), 6);
  const double expected[] = {1.0, 1.0, 0.75, 0.5};
  for (double e : expected) EXPECT_EQ(ramp.Next(), e);
  ramp.MoveTo(true);
  EXPECT_EQ(ramp.FramesToTarget(), 2);
  EXPECT_EQ(ramp.Next(), 0.75);
  EXPECT_EQ(ramp.Next(), 1.0);
  EXPECT_FALSE(ramp.Moving());
  EXPECT_EQ(ramp.Next(), 1.0);

  ramp.MoveTo(false);
  ramp.Next();
  ramp.SetLength(8);  // a new rate keeps the gain where it stands
  EXPECT_EQ(ramp.Value(), 0.75);
  EXPECT_EQ(ramp.FramesToTarget(), 6);
  ramp.Jump(false);
  EXPECT_EQ(ramp.Value(), 0.0);
  EXPECT_FALSE(ramp.Moving());
}
