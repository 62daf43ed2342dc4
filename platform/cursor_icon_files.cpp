#include "platform/cursor_icon_files.h"

namespace platform {
namespace {

std::uint32_t Le16(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | (std::uint32_t(b[at + 1]) << 8);
}
std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) {
  return Le16(b, at) | (Le16(b, at + 2) << 16);
}

// The one image of an icon or cursor file: where its bitmap header starts,
// after checking the file's directory.
struct Entry {
  std::size_t offset;
  int hotX, hotY;
};

std::optional<Entry> FirstEntry(std::span<const std::uint8_t> bytes, std::uint32_t type) {
  if (bytes.size() < 22 || Le16(bytes, 0) != 0 || Le16(bytes, 2) != type || Le16(bytes, 4) < 1) return std::nullopt;
  const std::size_t offset = Le32(bytes, 18);
  if (offset + 40 > bytes.size()) return std::nullopt;
  return Entry{offset, static_cast<int>(Le16(bytes, 10)), static_cast<int>(Le16(bytes, 12))};
}

struct DibHeader {
  int width, height, bitCount;
  std::size_t palette, pixels;
};

std::optional<DibHeader> ReadDib(std::span<const std::uint8_t> bytes, std::size_t at, int bitCount) {
  const std::uint32_t headerSize = Le32(bytes, at);
  const int width = static_cast<int>(Le32(bytes, at + 4));
  const int doubleHeight = static_cast<int>(Le32(bytes, at + 8));
  if (headerSize < 40 || Le16(bytes, at + 14) != std::uint32_t(bitCount) || width <= 0 || width > 256 ||
      doubleHeight <= 0 || doubleHeight % 2 != 0 || Le32(bytes, at + 16) != 0)
    return std::nullopt;
  DibHeader dib{width, doubleHeight / 2, bitCount, at + headerSize, 0};
  dib.pixels = dib.palette + (std::size_t(1) << bitCount) * 4;
  return dib;
}

std::size_t RowBytes(int width, int bitCount) { return ((std::size_t(width) * bitCount + 31) / 32) * 4; }

bool Bit(std::span<const std::uint8_t> bytes, std::size_t rowStart, int x) {
  return (bytes[rowStart + x / 8] >> (7 - x % 8)) & 1;
}

}  // namespace

std::optional<CursorImage> ReadCursor(std::span<const std::uint8_t> bytes) {
  const auto entry = FirstEntry(bytes, 2);
  if (!entry) return std::nullopt;
  const auto dib = ReadDib(bytes, entry->offset, 1);
  if (!dib || dib->width % 8 != 0) return std::nullopt;
  const std::size_t row = RowBytes(dib->width, 1);
  const std::size_t andStart = dib->pixels + row * dib->height;
  if (andStart + row * dib->height > bytes.size()) return std::nullopt;
  if (entry->hotX >= dib->width || entry->hotY >= dib->height) return std::nullopt;

  CursorImage image{dib->width, dib->height, entry->hotX, entry->hotY, {}, {}};
  const std::size_t outRow = dib->width / 8;
  image.data.assign(outRow * dib->height, 0);
  image.mask.assign(outRow * dib->height, 0);
  for (int y = 0; y < dib->height; ++y) {
    const int fileRow = dib->height - 1 - y;  // the file keeps rows bottom-up
    for (int x = 0; x < dib->width; ++x) {
      const bool transparent = Bit(bytes, andStart + fileRow * row, x);
      const bool white = Bit(bytes, dib->pixels + fileRow * row, x);
      if (transparent) continue;
      const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
      image.mask[y * outRow + x / 8] |= bit;
      if (!white) image.data[y * outRow + x / 8] |= bit;
    }
  }
  return image;
}

std::optional<IconImage> ReadIcon(std::span<const std::uint8_t> bytes) {
  const auto entry = FirstEntry(bytes, 1);
  if (!entry) return std::nullopt;
  const auto dib = ReadDib(bytes, entry->offset, 4);
  if (!dib) return std::nullopt;
  const std::size_t xorRow = RowBytes(dib->width, 4);
  const std::size_t andRow = RowBytes(dib->width, 1);
  const std::size_t andStart = dib->pixels + xorRow * dib->height;
  if (andStart + andRow * dib->height > bytes.size()) return std::nullopt;

  IconImage image{dib->width, dib->height, {}};
  image.argb.resize(std::size_t(dib->width) * dib->height);
  for (int y = 0; y < dib->height; ++y) {
    const int fileRow = dib->height - 1 - y;
    for (int x = 0; x < dib->width; ++x) {
      const std::uint8_t pair = bytes[dib->pixels + fileRow * xorRow + x / 2];
      const int index = (x % 2 == 0) ? (pair >> 4) : (pair & 0x0F);
      const std::size_t colour = dib->palette + index * 4;  // blue, green, red, unused
      const std::uint32_t rgb = (std::uint32_t(bytes[colour + 2]) << 16) | (std::uint32_t(bytes[colour + 1]) << 8) |
                                bytes[colour];
      const bool transparent = Bit(bytes, andStart + fileRow * andRow, x);
      image.argb[std::size_t(y) * dib->width + x] = (transparent ? 0u : 0xFF000000u) | rgb;
    }
  }
  return image;
}

}  // namespace platform
