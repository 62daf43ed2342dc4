// Every asset inside the built program, against what the game needs of it:
// sizes and formats, and the pictures that must line up with one another.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "platform/bitmap.h"
#include "platform/resources.h"

namespace {

using platform::FindResource;
using platform::ResourceKind;

std::uint32_t Le(std::span<const std::uint8_t> b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

platform::Bitmap Load(const std::string& name) {
  platform::Bitmap picture;
  EXPECT_TRUE(picture.LoadFromResource(name)) << name;
  return picture;
}

// Whether `part` equals `whole` from (x, y) on, pixel for pixel, except
// where `skip` says.
template <typename Skip>
int DifferingPixels(const platform::Bitmap& whole, const platform::Bitmap& part, int x, int y, Skip skip) {
  int differing = 0;
  for (int py = 0; py < part.Height(); ++py)
    for (int px = 0; px < part.Width(); ++px)
      if (!skip(px, py) && whole.Pixel(x + px, y + py) != part.Pixel(px, py)) ++differing;
  return differing;
}
int DifferingPixels(const platform::Bitmap& whole, const platform::Bitmap& part, int x, int y) {
  return DifferingPixels(whole, part, x, y, [](int, int) { return false; });
}

struct PictureSize {
  const char* name;
  int width, height, bits;
};

TEST(Assets, EveryPictureHasItsSizeAndDepth) {
  const PictureSize catalogue[] = {
      {"Title", 550, 440, 24},   {"Walpaper", 550, 440, 24}, {"WOW", 550, 440, 24},      {"Game", 90, 80, 24},
      {"Site", 90, 80, 24},      {"Next", 110, 65, 24},      {"NextOff", 110, 65, 24},   {"Again", 110, 65, 24},
      {"AgainOff", 110, 65, 24}, {"Main", 110, 65, 24},      {"MainOff", 110, 65, 24},   {"Vertical", 20, 40, 24},
      {"Horizont", 40, 20, 24},  {"Exit", 20, 20, 24},       {"Ball", 20, 20, 24},       {"NoBall", 20, 20, 24},
      {"NoV", 2, 20, 24},        {"NoH", 20, 2, 24},         {"bg", 163, 149, 24},       {"Digit1", 16, 16, 24},
      {"Digit2", 16, 16, 24},    {"Digit3", 16, 16, 24},     {"DiffLabel", 230, 32, 32}, {"MsgFont", 1520, 17, 32},
  };
  for (const PictureSize& p : catalogue) {
    const auto bytes = FindResource(ResourceKind::Bitmap, p.name);
    ASSERT_GT(bytes.size(), 54u) << p.name;
    EXPECT_EQ(Le(bytes, 18, 4), std::uint32_t(p.width)) << p.name;
    EXPECT_EQ(Le(bytes, 22, 4), std::uint32_t(p.height)) << p.name;
    EXPECT_EQ(Le(bytes, 28, 2), std::uint32_t(p.bits)) << p.name;
    const platform::Bitmap picture = Load(p.name);
    EXPECT_EQ(picture.Width(), p.width) << p.name;
  }
  for (int n = 1; n <= 8; ++n) {
    const platform::Bitmap frame = Load("Out" + std::to_string(n));
    EXPECT_EQ(frame.Width(), 20);
    EXPECT_EQ(frame.Height(), 20);
  }
}

struct SoundFormat {
  const char* name;
  int channels, rate, bits;
};

TEST(Assets, EverySoundIsPlainPcmInItsFormat) {
  const SoundFormat catalogue[] = {{"Start", 2, 22050, 16}, {"Select", 2, 22050, 16}, {"Move", 2, 22050, 16},
                                   {"Bam", 1, 22050, 16},   {"Out", 1, 22050, 16},    {"Wow", 1, 11025, 8}};
  for (const SoundFormat& s : catalogue) {
    const auto wav = FindResource(ResourceKind::Wave, s.name);
    ASSERT_GT(wav.size(), 44u) << s.name;
    EXPECT_EQ(std::memcmp(wav.data(), "RIFF", 4), 0) << s.name;
    EXPECT_EQ(std::memcmp(wav.data() + 8, "WAVEfmt ", 8), 0) << s.name;
    EXPECT_EQ(Le(wav, 4, 4) + 8, wav.size()) << s.name;
    EXPECT_EQ(Le(wav, 20, 2), 1u) << s.name << " is PCM";
    EXPECT_EQ(Le(wav, 22, 2), std::uint32_t(s.channels)) << s.name;
    EXPECT_EQ(Le(wav, 24, 4), std::uint32_t(s.rate)) << s.name;
    EXPECT_EQ(Le(wav, 34, 2), std::uint32_t(s.bits)) << s.name;
  }
  // The start jingle lasts about 1.6 s: 4 bytes a frame.
  const double startSeconds = (FindResource(ResourceKind::Wave, "Start").size() - 44) / 4.0 / 22050;
  EXPECT_NEAR(startSeconds, 1.6, 0.2);
}

TEST(Assets, TheIconHasSixteenColours) {
  const auto icon = FindResource(ResourceKind::Icon, "MAINICON");
  ASSERT_GT(icon.size(), 62u);
  EXPECT_EQ(Le(icon, 2, 2), 1u);   // an icon
  EXPECT_EQ(icon[6], 32);          // width
  EXPECT_EQ(icon[7], 32);          // height
  EXPECT_EQ(Le(icon, 22 + 14, 2), 4u);  // four bits a pixel
}

TEST(Assets, ThePlayfieldOfTheGameBackgroundIsBlack) {
  // The ball's trail is wiped with black pictures; anything else would show.
  const platform::Bitmap walpaper = Load("Walpaper");
  for (int y = 20; y <= 419; ++y)
    for (int x = 20; x <= 419; ++x) ASSERT_EQ(walpaper.Pixel(x, y), 0u) << x << "," << y;
  EXPECT_NE(walpaper.Pixel(19, 200), 0u);  // the frame around it is not
}

TEST(Assets, TheNormalButtonsAreTheBackgroundsAndTheLitOnesDiffer) {
  const platform::Bitmap walpaper = Load("Walpaper");
  const struct {
    const char* off;
    const char* lit;
    int y;
  } buttons[] = {{"NextOff", "Next", 245}, {"AgainOff", "Again", 310}, {"MainOff", "Main", 375}};
  for (const auto& b : buttons) {
    EXPECT_EQ(DifferingPixels(walpaper, Load(b.off), 440, b.y), 0) << b.off;
    EXPECT_GT(DifferingPixels(walpaper, Load(b.lit), 440, b.y), 1000) << b.lit;
  }
}

TEST(Assets, TheTitleSpotsLightUpInPlace) {
  const platform::Bitmap title = Load("Title");
  const struct {
    const char* name;
    int x, y, centreX, centreY;
  } spots[] = {{"Game", 460, 360, 510, 410}, {"Site", 0, 360, 45, 410}};
  for (const auto& s : spots) {
    const platform::Bitmap lit = Load(s.name);
    // Around the glowing disc, the highlight is the title itself.
    const int outside = DifferingPixels(title, lit, s.x, s.y, [&](int px, int py) {
      return std::hypot(s.x + px - s.centreX, s.y + py - s.centreY) <= 36;
    });
    EXPECT_EQ(outside, 0) << s.name;
    EXPECT_GT(DifferingPixels(title, lit, s.x, s.y), 500) << s.name;
  }
}

TEST(Assets, TheWipingPicturesAndTheLastExitFrameAreBlack) {
  for (const char* name : {"NoBall", "NoV", "NoH", "Out8"}) {
    const platform::Bitmap picture = Load(name);
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x) ASSERT_EQ(picture.Pixel(x, y), 0u) << name;
  }
  // The frames before it are not.
  for (int n = 1; n <= 7; ++n) {
    const platform::Bitmap frame = Load("Out" + std::to_string(n));
    int lit = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) lit += frame.Pixel(x, y) != 0;
    EXPECT_GT(lit, 0) << "Out" << n;
  }
}

TEST(Assets, TheDialogLabelBlendsByItsAlpha) {
  const platform::Bitmap label = Load("DiffLabel");
  int ink = 0, clear = 0, partial = 0;
  for (int y = 0; y < label.Height(); ++y)
    for (int x = 0; x < label.Width(); ++x) {
      const int a = label.Alpha(x, y);
      ink += a >= 128, clear += a == 0, partial += a > 0 && a < 255;
      if (a > 0) {
        ASSERT_EQ(label.Pixel(x, y), 0u);  // black ink
      }
    }
  EXPECT_GT(clear, ink);
  EXPECT_GT(ink, 200);
  EXPECT_GT(partial, 100);  // smooth edges
}

}  // namespace
