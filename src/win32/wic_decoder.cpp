#include <windows.h>

#include "win32/wic_decoder.h"

#include <wincodec.h>

#include <algorithm>

#include "image/pixel_ops.h"

namespace pelnoro::win32 {

namespace {

// Releases a COM interface at the end of its scope.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T** out() { return &p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

long PictureErrorOf(HRESULT hr) {
  return hr == E_OUTOFMEMORY ? sys::kPictureOutOfMemory : sys::kPictureNotPicture;
}

// An icon holds the same picture at several sizes: the largest is the one to edit,
// and of equal sizes the one with the most colours.
UINT LargestIconImage(IWICImagingFactory* factory, IWICBitmapDecoder* decoder, UINT frames) {
  UINT chosen = 0;
  unsigned long long bestArea = 0;
  UINT bestDepth = 0;
  for (UINT i = 0; i < frames; ++i) {
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT w = 0, h = 0, depth = 0;
    if (FAILED(decoder->GetFrame(i, frame.out())) || FAILED(frame->GetSize(&w, &h))) continue;
    WICPixelFormatGUID pixelFormat{};
    ComPtr<IWICComponentInfo> info;
    ComPtr<IWICPixelFormatInfo> formatInfo;
    if (SUCCEEDED(frame->GetPixelFormat(&pixelFormat)) &&
        SUCCEEDED(factory->CreateComponentInfo(pixelFormat, info.out())) &&
        SUCCEEDED(info->QueryInterface(IID_IWICPixelFormatInfo,
                                       reinterpret_cast<void**>(formatInfo.out())))) {
      formatInfo->GetBitsPerPixel(&depth);
    }
    const unsigned long long area = 1ull * w * h;
    if (area > bestArea || (area == bestArea && depth > bestDepth)) {
      chosen = i;
      bestArea = area;
      bestDepth = depth;
    }
  }
  return chosen;
}

// The converted frame's pixels into the picture, laid over the background. In bands of
// rows, so that no single copy's byte count can overflow.
HRESULT CopyOverBackground(IWICBitmapSource* bgra, image::Surface& picture,
                           std::uint32_t background) {
  const UINT width = static_cast<UINT>(picture.width()),
             height = static_cast<UINT>(picture.height());
  const UINT stride = width * 4;
  const UINT bandRows = std::max<UINT>(1, (16u << 20) / stride);
  for (UINT y = 0; y < height; y += bandRows) {
    const UINT rows = std::min(bandRows, height - y);
    const WICRect band{0, static_cast<INT>(y), static_cast<INT>(width), static_cast<INT>(rows)};
    std::uint32_t* dst = picture.row(static_cast<int>(y));
    const HRESULT hr = bgra->CopyPixels(&band, stride, stride * rows, reinterpret_cast<BYTE*>(dst));
    if (FAILED(hr)) return hr;
    for (std::uint32_t* p = dst; p != dst + std::size_t{width} * rows; ++p) {
      *p = image::OverBackground(*p, background);
    }
  }
  return S_OK;
}

}  // namespace

sys::PictureLoad DecodeWithWic(IWICImagingFactory* factory, std::string& bytes,
                               image::PictureFormat format, std::uint32_t background, int maxSide) {
  if (!factory || bytes.size() > MAXDWORD) return sys::PictureFailure(sys::kPictureNotPicture);
  ComPtr<IWICStream> stream;
  HRESULT hr = factory->CreateStream(stream.out());
  if (SUCCEEDED(hr)) {
    hr = stream->InitializeFromMemory(reinterpret_cast<BYTE*>(bytes.data()),
                                      static_cast<DWORD>(bytes.size()));
  }
  ComPtr<IWICBitmapDecoder> decoder;
  if (SUCCEEDED(hr)) {
    hr = factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                          decoder.out());
  }
  UINT frames = 0;
  if (SUCCEEDED(hr)) hr = decoder->GetFrameCount(&frames);
  if (SUCCEEDED(hr) && frames == 0) hr = WINCODEC_ERR_BADIMAGE;
  if (FAILED(hr)) return sys::PictureFailure(PictureErrorOf(hr));

  const UINT chosen =
      format == image::PictureFormat::kIco ? LargestIconImage(factory, decoder.get(), frames) : 0;
  ComPtr<IWICBitmapFrameDecode> frame;
  UINT width = 0, height = 0;
  hr = decoder->GetFrame(chosen, frame.out());
  if (SUCCEEDED(hr)) hr = frame->GetSize(&width, &height);
  if (FAILED(hr)) return sys::PictureFailure(PictureErrorOf(hr));
  if (width > static_cast<long long>(maxSide) || height > static_cast<long long>(maxSide)) {
    return sys::PictureFailure(sys::kPictureTooLarge, width, height, maxSide);
  }
  if (width == 0 || height == 0) return sys::PictureFailure(sys::kPictureNotPicture);
  // Rows whose byte count would not fit the copy's 32 bits, whatever maxSide allows.
  if (width > (1u << 28) || height > (1u << 28)) {
    return sys::PictureFailure(sys::kPictureOutOfMemory);
  }

  ComPtr<IWICBitmapSource> bgra;
  hr = WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(), bgra.out());
  if (FAILED(hr)) return sys::PictureFailure(PictureErrorOf(hr));
  image::Surface picture(static_cast<int>(width), static_cast<int>(height), 0);
  hr = CopyOverBackground(bgra.get(), picture, background);
  if (FAILED(hr)) return sys::PictureFailure(PictureErrorOf(hr));
  return {std::move(picture), sys::kPictureOk, L""};
}

}  // namespace pelnoro::win32
