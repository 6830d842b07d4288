#pragma once

namespace igraphics {

// Blend types as the back end maps them to compositing factors; 0 is normal source-over.
enum EBlend {
  kBlendDefault = 0,
  kBlendSourceIn = 1,
  kBlendSourceOut = 2,
  kBlendSourceAtop = 3,
  kBlendDestOver = 4,
  kBlendDestIn = 5,
  kBlendDestOut = 6,
  kBlendDestAtop = 7,
  kBlendAdd = 8,
  kBlendXOR = 9,
};

struct IBlend {
  int mType = kBlendDefault;
  float mWeight = 1.f;  // opacity 0..1

  constexpr IBlend() = default;
  constexpr IBlend(int type, float weight) : mType(type), mWeight(weight) {}
};

// Opacity of an optional blend: drawing without one is fully opaque.
inline float BlendWeight(const IBlend* blend) { return blend ? blend->mWeight : 1.f; }

}  // namespace igraphics
