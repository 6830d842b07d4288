#pragma once
#include "Canvas.h"
#include "FontBook.h"
#include "PanelLayout.h"
#include "Typesetter.h"

#include <memory>
#include <string>

namespace artwork {

// Paints any of the editor's images by its strip name.
class ArtworkSet {
public:
  explicit ArtworkSet(const std::string& robotoDir);

  std::unique_ptr<Canvas> Paint(const StripSpec& strip) const;
  // Writes every image into the folder; returns the number written. Throws on failure.
  int WriteAll(const std::string& outDir) const;
  // The whole editor at its default settings, as the layout composes it at 2x.
  void WritePreview(const std::string& path) const;

private:
  FontBook mFonts;
  Typesetter mType;
};

}  // namespace artwork
