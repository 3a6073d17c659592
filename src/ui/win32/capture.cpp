#include "ui/win32/capture.h"

#include <objbase.h>
#include <wincodec.h>

#include "platform/wintext.h"
#include "ui/win32/com.h"

namespace win32ui {

namespace {

bool encodePng(const Pixels& pixels, const std::wstring& path) {
  Com<IWICImagingFactory> factory;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out()))))
    return false;
  Com<IWICStream> stream;
  Com<IWICBitmapEncoder> encoder;
  Com<IWICBitmapFrameEncode> frame;
  Com<IPropertyBag2> options;
  if (FAILED(factory->CreateStream(stream.out())) ||
      FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) ||
      FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out())) ||
      FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(frame.out(), options.out())) ||
      FAILED(frame->Initialize(options.get())) ||
      FAILED(frame->SetSize(static_cast<UINT>(pixels.width), static_cast<UINT>(pixels.height))))
    return false;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(frame->SetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR) return false;
  const UINT stride = static_cast<UINT>((pixels.width * 3 + 3) & ~3);
  std::vector<BYTE> rows(static_cast<std::size_t>(stride) * pixels.height);
  for (int y = 0; y < pixels.height; ++y) {
    BYTE* out = rows.data() + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < pixels.width; ++x) {
      const std::uint32_t p = pixels.rgb[static_cast<std::size_t>(y) * pixels.width + x];
      *out++ = static_cast<BYTE>(p);
      *out++ = static_cast<BYTE>(p >> 8);
      *out++ = static_cast<BYTE>(p >> 16);
    }
  }
  return SUCCEEDED(frame->WritePixels(static_cast<UINT>(pixels.height), stride,
                                      static_cast<UINT>(rows.size()), rows.data())) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

std::optional<Pixels> captureWindow(HWND hwnd, bool clientOnly) {
  RECT r{};
  if (clientOnly ? !::GetClientRect(hwnd, &r) : !::GetWindowRect(hwnd, &r)) return std::nullopt;
  Pixels pixels;
  pixels.width = r.right - r.left;
  pixels.height = r.bottom - r.top;
  if (pixels.width <= 0 || pixels.height <= 0) return std::nullopt;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ::ReleaseDC(nullptr, screen);
  if (bitmap == nullptr) {
    ::DeleteDC(dc);
    return std::nullopt;
  }
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC source = clientOnly ? ::GetDC(hwnd) : ::GetWindowDC(hwnd);
  const bool printed =
      ::BitBlt(dc, 0, 0, pixels.width, pixels.height, source, 0, 0, SRCCOPY) != FALSE;
  ::ReleaseDC(hwnd, source);
  ::GdiFlush();
  if (printed) {
    const auto* from = static_cast<const std::uint32_t*>(bits);
    pixels.rgb.assign(from, from + static_cast<std::size_t>(pixels.width) * pixels.height);
    for (std::uint32_t& p : pixels.rgb) p &= 0x00FFFFFF;
  }
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  if (!printed) return std::nullopt;
  return pixels;
}

bool savePng(const Pixels& pixels, const std::string& path) {
  if (pixels.width <= 0 || pixels.height <= 0) return false;
  const std::wstring wide = platform::widen(path);
  bool ok = false;
  {
    const ComScope com;
    ok = encodePng(pixels, wide);
  }
  if (!ok) ::DeleteFileW(wide.c_str());
  return ok;
}

}  // namespace win32ui
