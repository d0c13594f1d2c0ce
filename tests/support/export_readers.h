// The programs that read our export files, for the tests that check the
// files with them: Ghostscript for EPS, rsvg-convert for SVG, pdflatex with
// the pictex package for PiCTeX.  scripts/setup installs them; a test whose
// reader is missing skips with a message that says so.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/bitmap.h"

namespace kvtest {

inline bool HaveProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs the shell command; its exit code, with stdout and stderr in output.
inline int RunProgram(const std::string& command, std::string& output) {
  output.clear();
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return -1;
  char buf[4096];
  while (std::fgets(buf, sizeof buf, p)) output += buf;
  const int status = pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A fresh folder for the files of one test, removed with the object.
class ScratchFolder {
 public:
  ScratchFolder() {
    path_ = std::filesystem::temp_directory_path() /
            ("kv-export-" + std::to_string(getpid()) + "-" + std::to_string(counter()++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  // KURVATO_KEEP_EXPORTS keeps the files for a look at them.
  ~ScratchFolder() {
    if (!std::getenv("KURVATO_KEEP_EXPORTS")) std::filesystem::remove_all(path_);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  static int& counter() {
    static int n = 0;
    return n;
  }
  std::filesystem::path path_;
};

// The EPS page rendered by Ghostscript at the given pixels per inch; a
// null bitmap (and the messages in `log`) when Ghostscript refused it.
inline plat::Bitmap RenderEps(const std::string& eps, int dpi, std::string& log) {
  const std::string bmp = eps + ".bmp";
  const int rc = RunProgram("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bmp16m -dEPSCrop -r" + std::to_string(dpi) +
                                " -sOutputFile='" + bmp + "' '" + eps + "'",
                            log);
  if (rc != 0) return {};
  return plat::Bitmap::ReadBmpFile(bmp);
}

// The SVG document rendered by rsvg-convert at its own size.
inline plat::Bitmap RenderSvg(const std::string& svg, std::string& log) {
  const std::string png = svg + ".png";
  if (RunProgram("rsvg-convert -o '" + png + "' '" + svg + "'", log) != 0) return {};
  return plat::Bitmap::ReadPngFile(png);
}

// Whether a rendered pixel shows the colour c over a white ground, also
// where smoothing blended it with the ground: its darkening points the
// way of c's and has at least a third of its strength.
inline bool LooksLike(plat::Colour p, plat::Colour c) {
  const double dp[3] = {255.0 - plat::RedOf(p), 255.0 - plat::GreenOf(p), 255.0 - plat::BlueOf(p)};
  const double dc[3] = {255.0 - plat::RedOf(c), 255.0 - plat::GreenOf(c), 255.0 - plat::BlueOf(c)};
  const double np = std::sqrt(dp[0] * dp[0] + dp[1] * dp[1] + dp[2] * dp[2]);
  const double nc = std::sqrt(dc[0] * dc[0] + dc[1] * dc[1] + dc[2] * dc[2]);
  if (nc < 1 || np < nc / 3) return false;
  return (dp[0] * dc[0] + dp[1] * dc[1] + dp[2] * dc[2]) / (np * nc) > 0.97;
}

// The share of the screen's pixels of colour c (away from the border)
// that have a pixel looking like c within r pixels in the picture.
inline double MatchedShare(const plat::Bitmap& screen, plat::Colour c, const plat::Bitmap& picture, int r) {
  int total = 0;
  int matched = 0;
  for (int y = 3; y < screen.Height() - 3; ++y) {
    for (int x = 3; x < screen.Width() - 3; ++x) {
      if (screen.GetPixel(x, y) != c) continue;
      ++total;
      bool found = false;
      for (int dy = -r; dy <= r && !found; ++dy)
        for (int dx = -r; dx <= r && !found; ++dx) {
          const int px = x + dx;
          const int py = y + dy;
          if (px >= 0 && py >= 0 && px < picture.Width() && py < picture.Height())
            found = LooksLike(picture.GetPixel(px, py), c);
        }
      if (found) ++matched;
    }
  }
  return total == 0 ? 0.0 : static_cast<double>(matched) / total;
}

}  // namespace kvtest
