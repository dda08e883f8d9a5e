// Decoding a picture file's bytes with the Windows Imaging Component.
#pragma once

#include <cstdint>
#include <string>

#include "image/picture_header.h"
#include "system/system.h"

struct IWICImagingFactory;

namespace pelnoro::win32 {

// The first frame (of an icon, its largest image) as colour references, transparent
// pixels laid over `background`; a frame wider or higher than maxSide is refused
// before its pixels are copied. The bytes must have passed CheckPictureHeader.
sys::PictureLoad DecodeWithWic(IWICImagingFactory* factory, std::string& bytes,
                               image::PictureFormat format, std::uint32_t background, int maxSide);

}  // namespace pelnoro::win32
