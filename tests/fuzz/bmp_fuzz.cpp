// libFuzzer target for the bitmap decoder: arbitrary bytes as a BMP file or,
// when the first input byte is odd, as a packed DIB (the clipboard's form,
// no file header) made of the rest.  An image that decodes has a sane size,
// and written as a BMP file and read back it holds the same pixels.
// Crashes, hangs and sanitizer reports are findings.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/bitmap.h"

namespace {

void CheckAt(bool condition, int line) {
  if (condition) return;
  std::fprintf(stderr, "bmp_fuzz: check in line %d failed\n", line);
  std::abort();
}
#define Check(condition) CheckAt(condition, __LINE__)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::vector<std::uint8_t> bytes(data + 1, data + size);
  const plat::Bitmap image = (data[0] & 1) ? plat::Bitmap::FromDibBytes(bytes) : plat::Bitmap::FromBmpBytes(bytes);
  if (image.IsNull()) return 0;
  Check(image.Width() >= 1 && image.Height() >= 1 && image.Width() <= 16384 && image.Height() <= 16384);
  // Large run-length images are legal; the round trip is checked on the
  // others to keep the runs quick.
  if (static_cast<long long>(image.Width()) * image.Height() > (1 << 20)) return 0;
  const std::vector<std::uint8_t> file = image.ToBmpBytes();
  Check(!file.empty());
  const plat::Bitmap back = plat::Bitmap::FromBmpBytes(file);
  Check(back == image);
  return 0;
}
