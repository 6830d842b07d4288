#pragma once
#include "IPlug/IEditorDelegate.h"

namespace iplug {

// The editor delegate of a build without a graphics layer (command-line hosts, tests, and
// the framework until the graphics editor delegate takes this place). No editor can open,
// but the editor's saved width, height and scale are kept and travel in the state exactly
// as with a closed graphics editor, so the state layout never depends on the build.
class HeadlessEditorDelegate : public IEditorDelegate {
public:
  explicit HeadlessEditorDelegate(int nParams) : IEditorDelegate(nParams) {}

  // State thread. Appends int32 width, int32 height and float32 scale; false when the
  // chunk could not grow.
  bool WriteEditorGeometry(ByteChunk& chunk) const override;
  // State thread. Reads the three values back and returns the next position, or -1.
  // The saved values change only when all three could be read: a damaged state does not
  // wipe the size the user chose.
  int ReadEditorGeometry(const ByteChunk& chunk, int startPos) override;

  int GetSavedWidth() const { return mSavedWidth; }
  int GetSavedHeight() const { return mSavedHeight; }
  float GetSavedScale() const { return mSavedScale; }

protected:
  int32_t mSavedWidth = 0;
  int32_t mSavedHeight = 0;
  float mSavedScale = 0.0f;
};

}  // namespace iplug
