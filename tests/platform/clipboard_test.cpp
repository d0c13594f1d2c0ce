// The clipboard of testing mode: each format in and out by copy, one
// content at a time, and the availability tests.
#include <gtest/gtest.h>

#include "platform/clipboard.h"
#include "platform/testing.h"

namespace plat {
namespace {

TEST(Clipboard, EachSetterReplacesTheWholeContent) {
  ASSERT_TRUE(testing::TestingMode());
  clipboard::Clear();
  EXPECT_FALSE(clipboard::HasText());
  EXPECT_FALSE(clipboard::HasBitmap());
  EXPECT_FALSE(clipboard::HasMetafile());
  EXPECT_TRUE(clipboard::GetBitmap().IsNull());
  EXPECT_FALSE(clipboard::GetText());

  ASSERT_TRUE(clipboard::SetText("Grüße"));
  EXPECT_EQ(clipboard::GetText(), "Grüße");

  Bitmap b(3, 2, Rgb(10, 20, 30));
  ASSERT_TRUE(clipboard::SetBitmap(b));
  EXPECT_FALSE(clipboard::HasText());
  b.SetPixel(0, 0, Rgb(0, 0, 0));  // the clipboard holds its own copy
  Bitmap out = clipboard::GetBitmap();
  EXPECT_EQ(out.GetPixel(0, 0), Rgb(10, 20, 30));
  out.SetPixel(1, 1, Rgb(0, 0, 0));
  EXPECT_EQ(clipboard::GetBitmap().GetPixel(1, 1), Rgb(10, 20, 30));
  EXPECT_FALSE(clipboard::SetBitmap(Bitmap())) << "a null bitmap is not put";
  EXPECT_TRUE(clipboard::HasBitmap());

  Bitmap preview(2, 2);
  ASSERT_TRUE(clipboard::SetMetafile({1, 2, 3}, &preview));
  EXPECT_TRUE(clipboard::HasMetafile());
  EXPECT_TRUE(clipboard::HasBitmap()) << "the preview goes alongside";
  EXPECT_EQ(clipboard::GetMetafile(), (std::vector<std::uint8_t>{1, 2, 3}));
  ASSERT_TRUE(clipboard::SetMetafile({4}, nullptr));
  EXPECT_FALSE(clipboard::HasBitmap());

  clipboard::Clear();
  EXPECT_FALSE(clipboard::HasMetafile());
}

}  // namespace
}  // namespace plat
