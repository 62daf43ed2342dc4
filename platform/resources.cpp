#include "platform/resources.h"


#include "platform/resource_table.h"

namespace platform {
namespace {

const char* KindName(ResourceKind kind) {
  switch (kind) {
    case ResourceKind::Bitmap: return "bitmap";
    case ResourceKind::Wave: return "wave";
    case ResourceKind::Cursor: return "cursor";
    case ResourceKind::Icon: return "icon";
  }
  return "";
}

bool SameName(const char* a, std::string_view b) {
  std::size_t i = 0;
  for (; i < b.size(); ++i) {
    if (a[i] == '\0') return false;
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return a[i] == '\0';
}

}  // namespace

std::span<const std::uint8_t> FindResource(ResourceKind kind, std::string_view name) {
  const char* kindName = KindName(kind);
  for (unsigned long i = 0; i < kResourceCount; ++i) {
    const ResourceEntry& entry = kResourceTable[i];
    if (std::string_view(entry.kind) == kindName && SameName(entry.name, name)) {
      return {entry.data, static_cast<std::size_t>(*entry.size)};
    }
  }
  return {};
}

}  // namespace platform
