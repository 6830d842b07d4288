#include "ArtworkSet.h"

#include "BackgroundPainter.h"
#include "KnobPainter.h"
#include "MeterPainter.h"
#include "SwitchPainter.h"

#include <filesystem>
#include <map>
#include <stdexcept>

namespace artwork {

ArtworkSet::ArtworkSet(const std::string& robotoDir) : mFonts(robotoDir), mType(mFonts) {}

std::unique_ptr<Canvas> ArtworkSet::Paint(const StripSpec& strip) const
{
  auto canvas = std::make_unique<Canvas>(strip.widthPx, strip.heightPx);
  if (strip.name == "BG")
    BackgroundPainter(mType).Paint(*canvas);
  else if (strip.name == "METER")
    MeterPainter(strip, mType).PaintStrip(*canvas);
  else if (strip.name == "BYPASS" || strip.name == "EXT" || strip.name == "OVER")
    SwitchPainter(strip, mType).PaintStrip(*canvas);
  else
    KnobPainter(strip).PaintStrip(*canvas);
  return canvas;
}

int ArtworkSet::WriteAll(const std::string& outDir) const
{
  std::filesystem::create_directories(outDir);
  int written = 0;
  for (const StripSpec& strip : Strips()) {
    Paint(strip)->WritePng((std::filesystem::path(outDir) / strip.FileName()).string());
    ++written;
  }
  return written;
}

void ArtworkSet::WritePreview(const std::string& path) const
{
  const StripSpec& bg = FindStrip("BG");
  Canvas editor(bg.widthPx, bg.heightPx);
  editor.Blit(*Paint(bg), 0, 0);
  std::map<std::string, std::unique_ptr<Canvas>> strips;
  for (const ControlSpec& control : Controls()) {
    const StripSpec& strip = FindStrip(control.strip);
    auto& image = strips[strip.name];
    if (!image)
      image = Paint(strip);
    const int frame = control.kind == ControlKind::Meter ? 0 : control.defaultValue;
    // Clip to the control's frame and shift the strip so that frame lands on the control.
    cairo_t* cr = editor.Cr();
    cairo_save(cr);
    cairo_identity_matrix(cr);
    const int xPx = int(control.x * kPixelsPerUnit), yPx = int(control.y * kPixelsPerUnit);
    cairo_rectangle(cr, xPx, yPx, strip.widthPx, strip.FrameHeightPx());
    cairo_clip(cr);
    cairo_set_source_surface(cr, image->Surface(), xPx, yPx - frame * strip.FrameHeightPx());
    cairo_paint(cr);
    cairo_restore(cr);
  }
  editor.WritePng(path);
}

}  // namespace artwork
