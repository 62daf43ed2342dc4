#pragma once
// The table of built-in resources, generated at build time from
// resources/resources.list.

namespace platform {

struct ResourceEntry {
  const char* kind;
  const char* name;
  const unsigned char* data;
  const unsigned long* size;
};

extern const ResourceEntry kResourceTable[];
extern const unsigned long kResourceCount;

}  // namespace platform
