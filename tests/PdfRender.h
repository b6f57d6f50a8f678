#pragma once
// The first page of a PDF file as a grey picture, rendered by pdftoppm, for tests that
// measure what a print puts on paper.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Cp932.h"
#include "Files.h"

namespace kaede::test {

inline bool HavePdfToPpm() { return std::system("pdftoppm -v >/dev/null 2>&1") == 0; }

struct TGrey {
  int W = 0, H = 0;
  std::string Pixels;
  int At(int x, int y) const { return static_cast<unsigned char>(Pixels[static_cast<size_t>(y * W + x)]); }
  bool Dark(int x, int y) const { return x >= 0 && y >= 0 && x < W && y < H && At(x, y) < 128; }
};

// The page at dpi (empty without pdftoppm); page counts from 1.
inline TGrey RenderGrey(const std::string& pdfUtf8, int dpi, int page = 1) {
  // pdftoppm writes ROOT.pgm for -singlefile
  std::string out = pdfUtf8 + ".pgm";
  std::string cmd = "pdftoppm -gray -r " + std::to_string(dpi) + " -f " + std::to_string(page) + " -singlefile '" +
                    pdfUtf8 + "' '" + pdfUtf8 + "' 2>/dev/null";
  TGrey g;
  if (std::system(cmd.c_str()) != 0) return g;
  std::string data = ReadFileBytes(FromOsPath(out));
  int maxv = 0, consumed = 0;
  if (std::sscanf(data.c_str(), "P5 %d %d %d%n", &g.W, &g.H, &maxv, &consumed) != 3) return g;
  g.Pixels = data.substr(static_cast<size_t>(consumed) + 1);
  if (g.Pixels.size() < static_cast<size_t>(g.W * g.H)) g = TGrey();
  return g;
}

}  // namespace kaede::test
