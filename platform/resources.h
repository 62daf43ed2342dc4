#pragma once
// Built-in resources: every picture, sound, cursor and the icon are compiled
// into the program and found by kind and name. The program reads no file.

#include <cstdint>
#include <span>
#include <string_view>

namespace platform {

enum class ResourceKind { Bitmap, Wave, Cursor, Icon };

// The bytes of the named resource of that kind; names match without regard
// to case. Empty when there is no such resource.
std::span<const std::uint8_t> FindResource(ResourceKind kind, std::string_view name);

}  // namespace platform
