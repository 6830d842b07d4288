#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <mutex>

#include "host/cli/GainReductionPlot.h"
#include "host/cli/TempOutputFile.h"

namespace tbhost {
namespace {

using Plot = GainReductionPlot;

// Text comes from the Roboto files themselves when they are installed (Debian
// fonts-roboto-unhinted), so the picture does not depend on the fonts a machine prefers.
constexpr const char* kFontFile = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf";

// One face for every plot of the process; FreeType faces are not shared between threads, so
// drawing text takes the lock.
struct FontFace {
  std::mutex lock;
  FT_Library library = nullptr;
  cairo_font_face_t* face = nullptr;

  FontFace() {
    if (!std::filesystem::exists(kFontFile) || FT_Init_FreeType(&library) != 0) return;
    FT_Face ft = nullptr;
    if (FT_New_Face(library, kFontFile, 0, &ft) == 0) face = cairo_ft_font_face_create_for_ft_face(ft, 0);
  }
};

FontFace& Font() {
  static FontFace* font = new FontFace;  // never destroyed: plots may be drawn during exit
  return *font;
}

void SetColour(cairo_t* cr, uint32_t rgb, double alpha = 1.0) {
  cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha);
}

enum class Align { kLeft, kRight, kCentre };

void Text(cairo_t* cr, const std::string& text, double x, double y, double size, Align align = Align::kLeft) {
  FontFace& font = Font();
  std::lock_guard<std::mutex> guard(font.lock);
  if (font.face)
    cairo_set_font_face(cr, font.face);
  else
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  const double dx = align == Align::kLeft ? 0.0 : align == Align::kRight ? -extents.x_advance : -extents.x_advance / 2;
  cairo_move_to(cr, x + dx, y);
  cairo_show_text(cr, text.c_str());
}

std::string Format(const char* format, double value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, format, value);
  return buf;
}

// A time step that puts between 4 and 12 marks on the axis.
double TimeStep(double seconds) {
  for (double step : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0})
    if (seconds / step <= 12.0) return step;
  return 1800.0;
}

void DrawPanels(cairo_t* cr) {
  cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 0.965, 0.965, 0.97);
  cairo_rectangle(cr, Plot::kLeft, Plot::kWaveTop, Plot::kColumns, Plot::kWaveBottom - Plot::kWaveTop);
  cairo_rectangle(cr, Plot::kLeft, Plot::kReductionTop, Plot::kColumns, Plot::kReductionBottom - Plot::kReductionTop);
  cairo_fill(cr);
}

void DrawTimeAxis(cairo_t* cr, const PlotData& data) {
  const double seconds = data.sampleRate > 0 ? static_cast<double>(data.frames) / data.sampleRate : 0.0;
  if (seconds <= 0.0) return;
  const double step = TimeStep(seconds);
  cairo_set_line_width(cr, 1.0);
  for (double t = 0.0; t <= seconds + 1e-9; t += step) {
    const double x = std::floor(Plot::kLeft + t / seconds * (Plot::kColumns - 1)) + 0.5;
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.87);
    for (auto [top, bottom] : {std::pair{Plot::kWaveTop, Plot::kWaveBottom},
                               std::pair{Plot::kReductionTop, Plot::kReductionBottom}}) {
      cairo_move_to(cr, x, top);
      cairo_line_to(cr, x, bottom);
    }
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.33);
    Text(cr, Format(step < 1.0 ? "%.1f s" : "%.0f s", t), x, Plot::kReductionBottom + 18, 12, Align::kCentre);
  }
}

double WaveRow(float v) {
  const double mid = (Plot::kWaveTop + Plot::kWaveBottom) / 2.0;
  const double half = (Plot::kWaveBottom - Plot::kWaveTop) / 2.0;
  return mid - std::clamp(static_cast<double>(v), -1.0, 1.0) * half;
}

void DrawEnvelope(cairo_t* cr, const WaveEnvelope& envelope, uint32_t rgb, double alpha) {
  SetColour(cr, rgb, alpha);
  for (int c = 0; c < envelope.Columns() && c < Plot::kColumns; ++c) {
    const double top = WaveRow(envelope.High(c)), bottom = WaveRow(envelope.Low(c));
    cairo_rectangle(cr, Plot::kLeft + c, top, 1.0, std::max(bottom - top, 1.0));
  }
  cairo_fill(cr);
}

void DrawWaveforms(cairo_t* cr, const PlotData& data) {
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.33);
  Text(cr, "waveform (full scale at the panel's edges)", Plot::kLeft, Plot::kWaveTop - 8, 13);
  for (auto [label, v] : {std::pair{"+1", 1.0f}, std::pair{"0", 0.0f}, std::pair{"-1", -1.0f}})
    Text(cr, label, Plot::kLeft - 8, WaveRow(v) + 4, 12, Align::kRight);
  DrawEnvelope(cr, data.input, 0xB4B4BC, 1.0);
  DrawEnvelope(cr, data.output, 0x2F6BC0, 0.7);
  SetColour(cr, 0x8C8C96);
  Text(cr, "input", Plot::kRight - 110, Plot::kWaveTop - 8, 13);
  SetColour(cr, 0x2F6BC0);
  Text(cr, "output", Plot::kRight - 56, Plot::kWaveTop - 8, 13);
}

void DrawCurve(cairo_t* cr, const PlotData& data, double rangeDb, bool compressor) {
  SetColour(cr, compressor ? Plot::kCompressorRgb : Plot::kLimiterRgb);
  bool started = false;
  for (int c = 0; c < Plot::kColumns; ++c) {
    const int slice = Plot::SliceOfColumn(data, c);
    if (slice < 0) break;
    const GainReductionStats::Window& w = data.slices[static_cast<size_t>(slice)];
    const double y = Plot::ReductionRow(compressor ? w.compressorMaxDb : w.limiterMaxDb, rangeDb) + 0.5;
    const double x = Plot::kLeft + c + 0.5;
    if (started) {
      cairo_line_to(cr, x, y);
    } else {
      cairo_move_to(cr, x, y);
      started = true;
    }
  }
  cairo_stroke(cr);
}

void DrawReduction(cairo_t* cr, const PlotData& data) {
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.33);
  Text(cr, "gain reduction (dB, deepest per column)", Plot::kLeft, Plot::kReductionTop - 8, 13);
  if (!data.reductionAvailable) {
    Text(cr, "not reported by this plug-in", (Plot::kLeft + Plot::kRight) / 2.0,
         (Plot::kReductionTop + Plot::kReductionBottom) / 2.0, 14, Align::kCentre);
    return;
  }
  const double range = Plot::ReductionRangeDb(data);
  const double step = range <= 6.0 ? 1.0 : range <= 18.0 ? 3.0 : range <= 36.0 ? 6.0 : 12.0;
  cairo_set_line_width(cr, 1.0);
  for (double db = 0.0; db <= range + 1e-9; db += step) {
    const double y = Plot::ReductionRow(db, range) + 0.5;
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.87);
    cairo_move_to(cr, Plot::kLeft, y);
    cairo_line_to(cr, Plot::kRight, y);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.33);
    Text(cr, db == 0.0 ? "0" : Format("-%.0f", db), Plot::kLeft - 8, y + 4, 12, Align::kRight);
  }
  // Exact colours along the curves: anti-aliasing would blend them into the background.
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr, 2.0);
  DrawCurve(cr, data, range, false);
  DrawCurve(cr, data, range, true);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  SetColour(cr, Plot::kCompressorRgb);
  Text(cr, "compressor", Plot::kRight - 150, Plot::kReductionTop - 8, 13);
  SetColour(cr, Plot::kLimiterRgb);
  Text(cr, "limiter", Plot::kRight - 56, Plot::kReductionTop - 8, 13);
}

}  // namespace

bool GainReductionPlot::Available(std::string& /*why*/) { return true; }

bool GainReductionPlot::Write(const std::string& path, const PlotData& data, std::string& error) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  DrawPanels(cr);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.12);
  Text(cr, data.title, kLeft, 30, 18);
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.33);
  Text(cr, data.subtitle, kLeft, 52, 13);
  DrawTimeAxis(cr, data);
  DrawWaveforms(cr, data);
  DrawReduction(cr, data);
  const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);

  TempOutputFile temp(path);
  const cairo_status_t written = drawn ? cairo_surface_write_to_png(surface, temp.Path().c_str()) : CAIRO_STATUS_NO_MEMORY;
  cairo_surface_destroy(surface);
  if (written != CAIRO_STATUS_SUCCESS) {
    error = "cannot write " + path + ": " + cairo_status_to_string(written);
    return false;
  }
  return temp.Commit(error);
}

}  // namespace tbhost
