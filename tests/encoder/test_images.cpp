#include "test_images.h"

// libjpeg's header needs size_t and FILE declared first.
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace pelnoro::encoder::testing {

Image PhotoLike(int width, int height, unsigned seed) {
  Image image{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> noise(-6, 6);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double fx = x / 37.0, fy = y / 23.0;
      int r = static_cast<int>(128 + 90 * std::sin(fx) * std::cos(fy * 0.7));
      int g = static_cast<int>(120 + 80 * std::cos(fx * 0.5 + fy));
      int b = static_cast<int>(100 + 60 * std::sin(fy * 1.3) + (x * 7 % 97 < 10 ? 40 : 0));
      if ((x / 50 + y / 40) % 5 == 0) r = 240 - r / 4;  // hard edges
      r += noise(random);
      g += noise(random);
      b += noise(random);
      image.pixels[static_cast<std::size_t>(y) * width + x] =
          Rgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
    }
  return image;
}

Image ScreenLike(int width, int height) {
  Image image{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint32_t c = Rgb(236, 233, 216);                             // dialog face
      if (y < 24) c = Rgb(10, 36, 106 + x * 100 / std::max(width, 1));  // title bar gradient
      if (x % 97 == 0 || y % 61 == 0) c = Rgb(128, 128, 128);           // frames
      // Glyph-like strokes with grey anti-aliasing steps.
      const int cell_x = x % 9, cell_y = y % 14;
      if (y > 30 && cell_y > 2 && cell_y < 12 && (cell_x == 2 || (cell_y == 7 && cell_x < 7)))
        c = 0;
      if (y > 30 && cell_y > 2 && cell_y < 12 && cell_x == 3) c = Rgb(96, 96, 96);
      if (y > 30 && cell_y > 2 && cell_y < 12 && cell_x == 1) c = Rgb(180, 180, 180);
      image.pixels[static_cast<std::size_t>(y) * width + x] = c;
    }
  return image;
}

Image Noise(int width, int height, unsigned seed) {
  Image image{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  std::mt19937 random(seed);
  for (std::uint32_t& p : image.pixels) p = random() & 0xFFFFFF;
  return image;
}

double Psnr(const Image& a, const Image& b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8) {
      const int d = static_cast<int>((a.pixels[i] >> shift) & 0xFF) -
                    static_cast<int>((b.pixels[i] >> shift) & 0xFF);
      sum += d * d;
    }
  const double mse = sum / (3.0 * a.pixels.size());
  return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

namespace {

struct JpegErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr info) {
  auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
  info->err->format_message(info, manager->message);
  std::longjmp(manager->jump, 1);
}

}  // namespace

DecodedJpeg DecodeJpeg(const std::vector<std::uint8_t>& bytes) {
  DecodedJpeg result;
  jpeg_decompress_struct info;
  JpegErrorManager error;
  info.err = jpeg_std_error(&error.base);
  error.base.error_exit = OnJpegError;
  error.base.output_message = [](j_common_ptr) {};
  if (setjmp(error.jump)) {
    result.error = error.message;
    jpeg_destroy_decompress(&info);
    return result;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  result.progressive = info.progressive_mode;
  result.jfif = info.saw_JFIF_marker;
  result.components = info.num_components;
  for (int t = 0; t < 2; ++t)
    if (info.quant_tbl_ptrs[t])
      result.quant[t].assign(info.quant_tbl_ptrs[t]->quantval,
                             info.quant_tbl_ptrs[t]->quantval + 64);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  Image& image = result.image;
  image.width = static_cast<int>(info.output_width);
  image.height = static_cast<int>(info.output_height);
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(image.width) * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[1] = {row.data()};
    const int y = static_cast<int>(info.output_scanline);
    jpeg_read_scanlines(&info, rows, 1);
    for (int x = 0; x < image.width; ++x)
      image.pixels[static_cast<std::size_t>(y) * image.width + x] =
          Rgb(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
  }
  jpeg_finish_decompress(&info);
  result.warnings = static_cast<int>(error.base.num_warnings);
  jpeg_destroy_decompress(&info);
  result.ok = true;
  return result;
}

std::vector<std::uint8_t> ReferenceJpeg(const Image& image, int quality) {
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(image.width);
  info.image_height = static_cast<JDIMENSION>(image.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(image.width) * 3);
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t c = image.At(x, y);
      row[3 * x] = Red(c);
      row[3 * x + 1] = Green(c);
      row[3 * x + 2] = Blue(c);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<std::uint8_t> bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

std::vector<std::uint16_t> ReferenceQuantTable(int table, int quality) {
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  info.in_color_space = JCS_RGB;
  info.input_components = 3;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  std::vector<std::uint16_t> values(info.quant_tbl_ptrs[table]->quantval,
                                    info.quant_tbl_ptrs[table]->quantval + 64);
  jpeg_destroy_compress(&info);
  return values;
}

DecodedPng DecodePng(const std::vector<std::uint8_t>& bytes) {
  DecodedPng result;
  // Chunk layout first: the simplified reader hides it.
  if (bytes.size() >= 8 + 25) {
    result.colour_type = bytes[8 + 8 + 9];
    result.palette = result.colour_type == 3;
    result.bit_depth = bytes[8 + 8 + 8];
    for (std::size_t pos = 8; pos + 8 <= bytes.size();) {
      const std::size_t length = static_cast<std::size_t>(bytes[pos]) << 24 |
                                 static_cast<std::size_t>(bytes[pos + 1]) << 16 |
                                 static_cast<std::size_t>(bytes[pos + 2]) << 8 | bytes[pos + 3];
      if (std::memcmp(&bytes[pos + 4], "IDAT", 4) == 0) ++result.idat_chunks;
      pos += length + 12;
    }
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    result.error = image.message;
    return result;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
    result.error = image.message;
    return result;
  }
  if (image.warning_or_error != 0) result.error = image.message;
  Image& out = result.image;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
  for (std::size_t i = 0; i < out.pixels.size(); ++i)
    out.pixels[i] = Rgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
  png_image_free(&image);
  result.ok = result.error.empty();
  return result;
}

}  // namespace pelnoro::encoder::testing
