#pragma once
// One owner for each SDL object: a unique pointer that frees it with SDL's
// own function, so nothing is freed twice or forgotten.

#include <memory>

namespace platform {

template <auto Free>
struct SdlFree {
  template <typename T>
  void operator()(T* object) const {
    Free(object);
  }
};

template <typename T, auto Free>
using SdlHandle = std::unique_ptr<T, SdlFree<Free>>;

}  // namespace platform
