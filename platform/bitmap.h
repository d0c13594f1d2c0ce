// A 32-bit RGB pixel image: window client surfaces, off-screen buffers,
// background pictures and animation frames.  Reads and writes Windows
// bitmap (BMP) files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

namespace plat {

// The most pixels a picture may have, whatever its format (BMP files and
// packed DIBs, pictures of the clipboard, PNG files, metafiles drawn onto a
// bitmap): a larger one is refused from the size in its header before any
// memory is taken for it, since a few bytes of compressed data can claim an
// image of gigabytes.  A 4000 x 3000 photograph is well inside.
inline constexpr std::int64_t kMaxPicturePixels = 50'000'000;
inline bool PictureFits(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPicturePixels && height <= kMaxPicturePixels / width;
}

class Bitmap {
 public:
  Bitmap();
  Bitmap(int width, int height, Colour fill = Rgb(255, 255, 255));
  Bitmap(const Bitmap& other);
  Bitmap& operator=(const Bitmap& other);
  Bitmap(Bitmap&&) noexcept;
  Bitmap& operator=(Bitmap&&) noexcept;
  ~Bitmap();

  bool IsNull() const;
  int Width() const;
  int Height() const;
  // Resizes to the given size; the content is kept where it overlaps and the
  // rest is filled.
  void Resize(int width, int height, Colour fill = Rgb(255, 255, 255));
  void Fill(Colour c);
  Colour GetPixel(int x, int y) const;  // 0xFFFFFFFF outside
  void SetPixel(int x, int y, Colour c);
  bool operator==(const Bitmap& other) const;  // same size and pixels

  // BMP (device-independent bitmap) file and memory images.  Reading accepts
  // 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or RLE; a malformed
  // image, or one beyond kMaxPicturePixels, gives a null bitmap.
  static Bitmap ReadBmpFile(const std::string& path);
  static Bitmap FromBmpBytes(const std::vector<std::uint8_t>& bytes);
  // Packed DIB (header + pixels, no file header) as the clipboard holds it.
  static Bitmap FromDibBytes(const std::vector<std::uint8_t>& bytes);
  bool WriteBmpFile(const std::string& path) const;  // 24 bits per pixel
  std::vector<std::uint8_t> ToBmpBytes() const;
  bool WritePngFile(const std::string& path) const;   // for screenshots in tests
  // A PNG file (pictures rendered by other programs, in tests); null when
  // it cannot be read or is beyond kMaxPicturePixels.
  static Bitmap ReadPngFile(const std::string& path);

  // Platform-side access to the image; opaque to the program.
  struct Impl;
  Impl* impl() const { return impl_.get(); }
  // The same, created (holding a null image) when the bitmap has none yet.
  Impl& ensure_impl();

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace plat
