// The tool's large blocks (the encoders' planes, symbol lists and output) come from one
// region that the kernel may back with 2 MiB pages. A process that lives some 20 ms
// otherwise spends a good part of it in page faults: one per 4 KiB page touched, some
// 15 us each on a virtual machine, about 600 for a 1920 x 1080 JPEG. Blocks are taken in
// turn and never given back, which for one picture per process costs nothing.
#include <sys/mman.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kRegion = std::size_t{1} << 30;  // address space only
constexpr std::size_t kLarge = 64 * 1024;              // smaller blocks stay with malloc

struct Region {
  std::uintptr_t begin = 0, end = 0;
  std::atomic<std::uintptr_t> next{0};

  Region() {
    void* p = mmap(nullptr, kRegion + kHugePage, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) return;
    begin = (reinterpret_cast<std::uintptr_t>(p) + kHugePage - 1) & ~(kHugePage - 1);
    end = begin + kRegion;
#if defined(MADV_HUGEPAGE)
    madvise(reinterpret_cast<void*>(begin), kRegion, MADV_HUGEPAGE);
#endif
    next = begin;
  }
  void* Take(std::size_t size, std::size_t align) {
    if (begin == 0) return nullptr;
    std::uintptr_t at = next.load(std::memory_order_relaxed), start;
    do {
      start = (at + align - 1) & ~(align - 1);
      if (start + size > end || start + size < start) return nullptr;
    } while (!next.compare_exchange_weak(at, start + size, std::memory_order_relaxed));
    return reinterpret_cast<void*>(start);
  }
  bool Holds(void* p) const {
    const auto a = reinterpret_cast<std::uintptr_t>(p);
    return a >= begin && a < end;
  }
};

Region& TheRegion() {
  static Region region;
  return region;
}

void* Allocate(std::size_t size, std::size_t align) {
  if (size >= kLarge)
    if (void* p = TheRegion().Take(size, align < 64 ? 64 : align)) return p;
  if (size == 0) size = 1;
  if (align <= alignof(std::max_align_t)) return std::malloc(size);
  return std::aligned_alloc(align, (size + align - 1) / align * align);
}

void Release(void* p) {
  if (p != nullptr && !TheRegion().Holds(p)) std::free(p);
}

void* AllocateOrThrow(std::size_t size, std::size_t align) {
  if (void* p = Allocate(size, align)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) {
  return AllocateOrThrow(n, alignof(std::max_align_t));
}
void* operator new[](std::size_t n) {
  return AllocateOrThrow(n, alignof(std::max_align_t));
}
void* operator new(std::size_t n, std::align_val_t a) {
  return AllocateOrThrow(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a) {
  return AllocateOrThrow(n, static_cast<std::size_t>(a));
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  return Allocate(n, alignof(std::max_align_t));
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
  return Allocate(n, alignof(std::max_align_t));
}
void operator delete(void* p) noexcept {
  Release(p);
}
void operator delete[](void* p) noexcept {
  Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
  Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  Release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
  Release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
  Release(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
  Release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
  Release(p);
}
