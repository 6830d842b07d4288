// tollenbrook-artwork: draws the editor's background and film strips at double resolution.
#include "ArtworkSet.h"

#include <cstdio>
#include <exception>
#include <string>

namespace {

int Usage()
{
  std::fprintf(stderr,
               "usage: tollenbrook-artwork [--fonts DIR] [--preview FILE] [OUTDIR]\n"
               "  OUTDIR          write every image of the editor (BG@2x.png, CTHR@2x.png, ...)\n"
               "  --preview FILE  also compose the whole editor at its default settings into one PNG\n"
               "  --fonts DIR     folder of the unhinted Roboto fonts (default " TB_ROBOTO_DIR ")\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv)
{
  std::string outDir, preview, fonts = TB_ROBOTO_DIR;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--preview" || arg == "--fonts") && i + 1 < argc)
      (arg == "--preview" ? preview : fonts) = argv[++i];
    else if (arg == "-h" || arg == "--help")
      return Usage();
    else if (!arg.empty() && arg[0] != '-' && outDir.empty())
      outDir = arg;
    else
      return Usage();
  }
  if (outDir.empty() && preview.empty())
    return Usage();
  try {
    const artwork::ArtworkSet art(fonts);
    if (!outDir.empty()) {
      const int count = art.WriteAll(outDir);
      std::printf("tollenbrook-artwork: wrote %d images to %s\n", count, outDir.c_str());
    }
    if (!preview.empty()) {
      art.WritePreview(preview);
      std::printf("tollenbrook-artwork: wrote preview %s\n", preview.c_str());
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tollenbrook-artwork: %s\n", e.what());
    return 1;
  }
  return 0;
}
