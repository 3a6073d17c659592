#include "ui/win32/pictures.h"

#include <objbase.h>
#include <wincodec.h>

#include <array>
#include <cstdint>
#include <vector>

#include "ui/win32/com.h"
#include "ui/win32/gdi.h"
#include "ui/win32/pictures_ids.h"

namespace win32ui::pictures {

namespace {

constexpr int kGlyphSide = 32;

// Pixels as WIC hands them: 32-bit BGRA, straight alpha, rows top to bottom.
struct Decoded {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bgra;
};

bool decode(int resourceId, Decoded* out) {
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
  HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  auto* bytes = static_cast<BYTE*>(loaded ? ::LockResource(loaded) : nullptr);
  if (bytes == nullptr) return false;
  const DWORD size = ::SizeofResource(module, found);

  // The pictures are decoded on the windows' thread, which may not have
  // started COM yet.
  bool ok = false;
  {
    const ComScope com;
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    ok = SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(factory.out()))) &&
         SUCCEEDED(factory->CreateStream(stream.out())) &&
         SUCCEEDED(stream->InitializeFromMemory(bytes, size)) &&
         SUCCEEDED(factory->CreateDecoderFromStream(
             stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.out())) &&
         SUCCEEDED(decoder->GetFrame(0, frame.out())) &&
         SUCCEEDED(factory->CreateFormatConverter(converter.out())) &&
         SUCCEEDED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                         WICBitmapDitherTypeNone, nullptr, 0.0,
                                         WICBitmapPaletteTypeCustom)) &&
         SUCCEEDED(converter->GetSize(&width, &height)) && width > 0 && height > 0;
    if (ok) {
      out->width = static_cast<int>(width);
      out->height = static_cast<int>(height);
      out->bgra.resize(std::size_t{width} * height * 4);
      ok = SUCCEEDED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(out->bgra.size()),
                                           out->bgra.data()));
    }
  }
  return ok;
}

// A top-down 32-bit DIB section of `width` x `height`, its pixels in *bits.
HBITMAP makeBitmap(int width, int height, std::uint8_t** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  *bits = static_cast<std::uint8_t*>(pixels);
  return bitmap;
}

// The part x, y, width, height of `picture` as a bitmap. The pictures are
// drawn with BitBlt, which knows no alpha: a mostly transparent pixel
// becomes `key`, the others are blended over the face colour.
HBITMAP cut(const Decoded& picture, int x0, int y0, int width, int height, COLORREF key) {
  std::uint8_t* bits = nullptr;
  HBITMAP bitmap = makeBitmap(width, height, &bits);
  if (bitmap == nullptr) return nullptr;
  const uimodel::Rgb face = faceColour();
  const std::array<int, 3> under{face.blue, face.green, face.red};  // BGR order
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* from =
          &picture.bgra[(static_cast<std::size_t>(y0 + y) * picture.width + x0 + x) * 4];
      std::uint8_t* to = bits + (static_cast<std::size_t>(y) * width + x) * 4;
      const int alpha = from[3];
      if (alpha < 64) {
        to[0] = GetBValue(key);
        to[1] = GetGValue(key);
        to[2] = GetRValue(key);
      } else {
        for (int c = 0; c < 3; ++c)
          to[c] = static_cast<std::uint8_t>(
              (from[c] * alpha + under[static_cast<std::size_t>(c)] * (255 - alpha)) / 255);
      }
      to[3] = 0;
    }
  }
  return bitmap;
}

HBITMAP whole(int resourceId) {
  Decoded picture;
  if (!decode(resourceId, &picture)) return nullptr;
  return cut(picture, 0, 0, picture.width, picture.height, kGlyphKey);
}

const std::array<HBITMAP, kGlyphCount>& glyphBitmaps() {
  static const std::array<HBITMAP, kGlyphCount> bitmaps = [] {
    std::array<HBITMAP, kGlyphCount> out{};
    Decoded strip;
    if (!decode(IDR_PICTURE_GLYPHS, &strip) || strip.height < kGlyphSide) return out;
    for (int i = 0; i < kGlyphCount && (i + 1) * kGlyphSide <= strip.width; ++i)
      out[static_cast<std::size_t>(i)] =
          cut(strip, i * kGlyphSide, 0, kGlyphSide, kGlyphSide, kGlyphKey);
    return out;
  }();
  return bitmaps;
}

}  // namespace

HBITMAP banner() {
  static const HBITMAP bitmap = whole(IDR_PICTURE_BANNER);
  return bitmap;
}

HBITMAP logo() {
  static const HBITMAP bitmap = whole(IDR_PICTURE_LOGO);
  return bitmap;
}

HBITMAP title() {
  static const HBITMAP bitmap = whole(IDR_PICTURE_TITLE);
  return bitmap;
}

HBITMAP aboutPicture() {
  static const HBITMAP bitmap = whole(IDR_PICTURE_ABOUT);
  return bitmap;
}

HBITMAP glyph(int index) {
  if (index < 0 || index >= kGlyphCount) return nullptr;
  return glyphBitmaps()[static_cast<std::size_t>(index)];
}

HIMAGELIST glyphs() {
  static const HIMAGELIST list = [] {
    HIMAGELIST created =
        ::ImageList_Create(kGlyphSide, kGlyphSide, ILC_COLOR24 | ILC_MASK, kGlyphCount, 0);
    if (created == nullptr) return created;
    for (HBITMAP g : glyphBitmaps()) {
      // ImageList_AddMasked takes a copy; an absent glyph keeps the indices.
      if (g != nullptr) {
        ::ImageList_AddMasked(created, g, kGlyphKey);
      } else {
        std::uint8_t* bits = nullptr;
        HBITMAP blank = makeBitmap(kGlyphSide, kGlyphSide, &bits);
        ::ImageList_AddMasked(created, blank, RGB(0, 0, 0));
        ::DeleteObject(blank);
      }
    }
    return created;
  }();
  return list;
}

}  // namespace win32ui::pictures
