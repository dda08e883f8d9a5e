// PNG row filters chosen per row by the smallest sum of the residuals taken as signed
// bytes, the heuristic most encoders use. A portable version and, on x86, an SSE2 one
// that picks the same filters and writes the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelnoro::encoder::png {

// Filters one row of `length` bytes with `bpp` (1 or 3) bytes per pixel; `prior` is the
// row above (all zero for the first row, where `first_row` also limits the choice to
// None and Sub). Writes the filter type and the residuals to out[0..length] and returns
// the type.
int FilterRowPortable(const std::uint8_t* row, const std::uint8_t* prior, std::size_t length,
                      int bpp, bool first_row, std::uint8_t* out);
// The same with the filter `type` (0 None ... 4 Paeth) whatever it costs: one filter for
// every row is a choice of its own for the whole picture.
void FilterRowWithPortable(int type, const std::uint8_t* row, const std::uint8_t* prior,
                           std::size_t length, int bpp, std::uint8_t* out);
#if defined(__SSE2__)
int FilterRowSse2(const std::uint8_t* row, const std::uint8_t* prior, std::size_t length, int bpp,
                  bool first_row, std::uint8_t* out);
void FilterRowWithSse2(int type, const std::uint8_t* row, const std::uint8_t* prior,
                       std::size_t length, int bpp, std::uint8_t* out);
#endif

inline int FilterRow(const std::uint8_t* row, const std::uint8_t* prior, std::size_t length,
                     int bpp, bool first_row, std::uint8_t* out) {
#if defined(__SSE2__)
  return FilterRowSse2(row, prior, length, bpp, first_row, out);
#else
  return FilterRowPortable(row, prior, length, bpp, first_row, out);
#endif
}

inline void FilterRowWith(int type, const std::uint8_t* row, const std::uint8_t* prior,
                          std::size_t length, int bpp, std::uint8_t* out) {
#if defined(__SSE2__)
  FilterRowWithSse2(type, row, prior, length, bpp, out);
#else
  FilterRowWithPortable(type, row, prior, length, bpp, out);
#endif
}

}  // namespace pelnoro::encoder::png
