#pragma once
// Readers for the two small image formats of the resources: two-colour
// cursors (.cur) and the 16-colour program icon (.ico).

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform {

struct CursorImage {
  int width = 0;
  int height = 0;
  int hotX = 0;
  int hotY = 0;
  // Top-down rows, most significant bit first, as SDL_CreateCursor takes them:
  // mask 1 = drawn; data 1 = black, 0 = white.
  std::vector<std::uint8_t> data;
  std::vector<std::uint8_t> mask;
};

struct IconImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;  // top-down, 0xAARRGGBB
};

std::optional<CursorImage> ReadCursor(std::span<const std::uint8_t> bytes);
std::optional<IconImage> ReadIcon(std::span<const std::uint8_t> bytes);

}  // namespace platform
