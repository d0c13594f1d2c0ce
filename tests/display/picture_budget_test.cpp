// A picture that claims more pixels than any picture may have is refused as
// the user opens it: "Datei ist nicht zu öffnen", and the program never took
// the memory its pixels would need.  A metafile of endless drawing leaves
// the window answering, and SIGTERM ends the program while it paints.
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/display_test.h"
#include "support/hand_made_metafile.h"
#include "support/temp_dir.h"

namespace kvdisplay {
namespace {

constexpr int kOpenPicture = 372;

// A run-length BMP of 16384 x 16384 pixels (a gigabyte decoded) in about
// two megabytes: every row is runs of 255 pixels of palette colour 1.
std::vector<unsigned char> HugeRunLengthBmp() {
  constexpr int kSide = 16384;
  const std::vector<unsigned char> pixels = kvtest::RunLengthBits(kSide, 1);
  std::vector<unsigned char> b{'B', 'M'};
  auto put = [&b](std::uint32_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) b.push_back(static_cast<unsigned char>(v >> (8 * k)));
  };
  const std::uint32_t offset = 14 + 40 + 8;
  put(offset + static_cast<std::uint32_t>(pixels.size()), 4);
  put(0, 4);
  put(offset, 4);
  put(40, 4);
  put(kSide, 4);
  put(kSide, 4);
  put(1, 2);
  put(8, 2);
  put(1, 4);  // run-length, 8 bits
  put(static_cast<std::uint32_t>(pixels.size()), 4);
  put(2835, 4);
  put(2835, 4);
  put(2, 4);
  put(0, 4);
  put(0x00FFFFFF, 4);
  put(0x000000FF, 4);
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

// The most memory the process has held, in kilobytes (its high-water mark).
long PeakKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

class PictureBudget : public DisplayTest {};

// Twenty thousand rectangles, or pictures of one pixel, over the whole picture kept the window from answering
// and SIGTERM from ending the program for half a minute: one paint draws within its budget of work.
TEST_F(PictureBudget, EndlessDrawingLeavesTheWindowAnsweringAndEndsOnSigterm) {
  for (const std::string name : {"rectangles.kv2", "pixels.kv2"}) {
    Start({FixturePath(name)});
    const TopWindow w = Window(name);
    ASSERT_NE(w.id, 0u);
    EXPECT_TRUE(program_->AnswersWithin(w.id, 1000));
    // Again, ended while the window's first paint runs.
    Start({FixturePath(name)});
    ASSERT_NE(Screen().WaitFor(name, 5000, true).id, 0u);
    const std::int64_t signalled = NowMs();
    EXPECT_EQ(program_->Stop(), 128 + SIGTERM);
    // Measured to the moment the program logs that it ends now.
    const std::int64_t ended = program_->Log().MsOf("signal " + std::to_string(SIGTERM) + " ", 0);
    EXPECT_GE(ended, signalled) << "the end on the signal was not logged";
    EXPECT_LT(ended - signalled, 1000) << "ms from SIGTERM to the end";
  }
}

TEST_F(PictureBudget, AHugeCompressedPictureIsRefusedWithoutItsMemory) {
  const std::string path = kvtest::MakeTempDir("picture-budget") + "huge.bmp";
  const std::vector<unsigned char> bytes = HugeRunLengthBmp();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  const long before = PeakKilobytes(program_->Pid());
  ASSERT_GT(before, 0);
  const std::size_t from = program_->Log().Size();
  Menu(w, kOpenPicture);
  ASSERT_TRUE(ChooseInFileDialog("Öffnen", path)) << "no file dialog, or it stayed open";
  EXPECT_TRUE(MessageSince(from, "Datei ist nicht zu öffnen", 10000));
  EXPECT_LT(program_->Log().Find("message zu groß", from), 0);
  EXPECT_LT(PeakKilobytes(program_->Pid()) - before, 100 * 1024) << "kilobytes taken at the peak";
  Confirm("?");
  EXPECT_TRUE(program_->Answers(w.id, 2000));
}

}  // namespace
}  // namespace kvdisplay
