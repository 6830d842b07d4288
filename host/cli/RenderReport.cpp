#include "host/cli/RenderReport.h"

#include <cmath>
#include <cstdio>
#include <fstream>

#include "host/cli/JsonWriter.h"
#include "host/cli/TempOutputFile.h"
#include "host/cli/Utf8Path.h"
#include "TollenbrookVersion.h"

namespace tbhost {
namespace {

std::string Figure(double value, const char* unit) {
  char buf[32];
  if (std::isinf(value))
    std::snprintf(buf, sizeof buf, "%7s %-4s", value < 0 ? "-inf" : "inf", unit);
  else
    std::snprintf(buf, sizeof buf, "%7.1f %-4s", value, unit);
  return buf;
}

void PrintLoudnessRow(const char* label, const LoudnessFigures& f, std::ostream& out) {
  out << "  " << label << Figure(f.integratedLufs, "LUFS") << "  " << Figure(f.loudnessRangeLu, "LU") << "  "
      << Figure(f.samplePeakDbfs, "dBFS") << "  " << Figure(f.truePeakDbtp, "dBTP") << "\n";
}

void WriteLoudness(JsonWriter& json, const std::string& key, const FileReport& file, const LoudnessFigures& f) {
  json.Key(key);
  if (!file.loudnessMeasured) {
    json.Null();
    return;
  }
  json.BeginObject();
  json.Field("integratedLufs", f.integratedLufs);
  json.Field("loudnessRangeLu", f.loudnessRangeLu);
  json.Field("samplePeakDbfs", f.samplePeakDbfs);
  json.Field("truePeakDbtp", f.truePeakDbtp);
  json.EndObject();
}

void WriteWindow(JsonWriter& json, const GainReductionStats::Window& w) {
  json.Field("compressorAverageDb", w.compressorAvgDb);
  json.Field("compressorMaxDb", w.compressorMaxDb);
  json.Field("limiterAverageDb", w.limiterAvgDb);
  json.Field("limiterMaxDb", w.limiterMaxDb);
}

void WriteReduction(JsonWriter& json, const FileReport& file) {
  json.Key("gainReduction");
  if (!file.reductionAvailable) {
    json.Null();
    return;
  }
  json.BeginObject();
  WriteWindow(json, file.reduction);
  json.Key("perSecond");
  json.BeginArray();
  for (size_t i = 0; i < file.perSecond.size(); ++i) {
    json.BeginObject();
    json.Field("second", static_cast<int64_t>(i));
    WriteWindow(json, file.perSecond[i]);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

void WriteFile(JsonWriter& json, const FileReport& file) {
  json.BeginObject();
  json.Field("input", file.input);
  json.Field("output", file.output);
  json.Field("rendered", file.rendered);
  if (!file.rendered) {
    json.Field("error", file.error);
    json.EndObject();
    return;
  }
  json.Field("sampleRate", file.format.sampleRate);
  json.Field("channels", file.format.channels);
  json.Field("frames", file.result.framesWritten);
  json.Field("latencySamples", file.result.latency);
  json.Field("clippedSamples", file.result.clippedSamples);
  WriteLoudness(json, "inputLevels", file, file.inputLoudness);
  WriteLoudness(json, "outputLevels", file, file.outputLoudness);
  WriteReduction(json, file);
  json.EndObject();
}

}  // namespace

void RenderReport::Print(const FileReport& file, const std::string& loudnessUnavailable, std::ostream& out) {
  out << file.input << " -> " << file.output << "\n";
  if (file.loudnessMeasured) {
    out << "            integrated      range   sample peak     true peak\n";
    PrintLoudnessRow("input  ", file.inputLoudness, out);
    PrintLoudnessRow("output ", file.outputLoudness, out);
  } else {
    out << "  loudness and peaks: " << loudnessUnavailable << "\n";
  }
  if (!file.reductionAvailable) {
    out << "  gain reduction: not reported by this plug-in\n";
    return;
  }
  char line[160];
  std::snprintf(line, sizeof line,
                "  gain reduction  compressor %.1f dB average, %.1f dB deepest; limiter %.1f dB average, %.1f dB "
                "deepest\n",
                file.reduction.compressorAvgDb, file.reduction.compressorMaxDb, file.reduction.limiterAvgDb,
                file.reduction.limiterMaxDb);
  out << line;
}

bool RenderReport::WriteJson(const std::string& path, const ReportHeader& header, const std::vector<FileReport>& files,
                             std::string& error) {
  TempOutputFile temp(path);
  {
    std::ofstream stream(PathFromUtf8(temp.Path()), std::ios::binary);
    JsonWriter json(stream);
    json.BeginObject();
    json.Field("tool", std::string("tollenbrook-host " TOLLENBROOK_VERSION_TEXT));
    json.Field("plugin", header.plugin);
    json.Key("settings");
    json.BeginArray();
    for (const auto& [name, text] : header.settings) {
      json.BeginObject();
      json.Field("name", name);
      json.Field("value", text);
      json.EndObject();
    }
    json.EndArray();
    if (!header.loadState.empty()) json.Field("loadState", header.loadState);
    json.Field("blockSize", header.blockSize);
    json.Field("keepLatency", header.keepLatency);
    json.Field("loudnessAvailable", header.loudnessUnavailable.empty());
    if (!header.loudnessUnavailable.empty()) json.Field("loudnessUnavailableReason", header.loudnessUnavailable);
    json.Key("files");
    json.BeginArray();
    for (const FileReport& file : files) WriteFile(json, file);
    json.EndArray();
    json.EndObject();
    stream.flush();
    if (!stream) {
      error = "cannot write " + path;
      return false;
    }
  }
  return temp.Commit(error);
}

}  // namespace tbhost
