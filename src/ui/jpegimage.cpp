#include "ui/jpegimage.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// jump back to the decoder instead of letting the library exit the process.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
};

[[noreturn]] void onError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  std::longjmp(manager->escape, 1);
}

void onMessage(j_common_ptr) {}  // warnings (such as data ending early) stay quiet

// Runs the decoder into `out`. Only pointers that never change cross the
// setjmp, and the objects with destructors live in the caller, so a jump
// back leaves nothing in an undefined state.
bool decodeInto(jpeg_decompress_struct* info, ErrorManager* errors, const QByteArray* data,
                QImage* out, std::vector<JSAMPLE>* row) {
  if (setjmp(errors->escape)) return false;
  jpeg_mem_src(info, reinterpret_cast<const unsigned char*>(data->constData()),
               static_cast<unsigned long>(data->size()));
  jpeg_read_header(info, TRUE);
  info->out_color_space = info->num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_start_decompress(info);
  const int width = static_cast<int>(info->output_width);
  const int components = info->output_components;
  *out = QImage(width, static_cast<int>(info->output_height), QImage::Format_RGB32);
  if (out->isNull()) return false;  // too large to hold
  row->resize(static_cast<size_t>(width) * static_cast<size_t>(components));
  while (info->output_scanline < info->output_height) {
    JSAMPROW rows[1] = {row->data()};
    const int y = static_cast<int>(info->output_scanline);
    if (jpeg_read_scanlines(info, rows, 1) != 1) break;
    auto* line = reinterpret_cast<QRgb*>(out->scanLine(y));
    for (int x = 0; x < width; ++x) {
      const JSAMPLE* px = row->data() + static_cast<size_t>(x) * static_cast<size_t>(components);
      line[x] = components == 1 ? qRgb(px[0], px[0], px[0]) : qRgb(px[0], px[1], px[2]);
    }
  }
  jpeg_finish_decompress(info);
  return true;
}

}  // namespace

QImage decodeJpeg(const QByteArray& data) {
  if (data.isEmpty()) return {};
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = onError;
  errors.base.output_message = onMessage;
  jpeg_create_decompress(&info);
  QImage image;
  std::vector<JSAMPLE> row;
  const bool ok = decodeInto(&info, &errors, &data, &image, &row);
  jpeg_destroy_decompress(&info);
  return ok ? image : QImage();
}
