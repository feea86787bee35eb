#include "platform/Jpeg.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>

// The library's header needs size_t and FILE declared before it.
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "platform/Files.h"
#include "platform/Pixels.h"

namespace platform {
namespace {

// The game shows nothing larger than its screen; a picture claiming more than this is refused.
constexpr JDIMENSION kMaxJpegSide = 4096;
constexpr long kMaxDecoderMemory = 96L << 20;

// libjpeg reports a fatal error through this handler; it jumps back out of the decoder.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
};

void OnFatalError(j_common_ptr info) {
  ErrorManager* manager = reinterpret_cast<ErrorManager*>(info->err);
  std::longjmp(manager->escape, 1);
}

void OnMessage(j_common_ptr) {}

// Decodes with the file open; kept apart so that nothing with a destructor lives across setjmp.
bool Decode(FILE* file, uint16_t* destination, int width, int pitch, int height, int is555, uint8_t* row,
            size_t rowSize) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnFatalError;
  errors.base.output_message = OnMessage;
  if (setjmp(errors.escape)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  // The decoder's working memory is bounded too (a progressive picture keeps all of its
  // coefficients): past this the library reports an error rather than allocate.
  info.mem->max_memory_to_use = kMaxDecoderMemory;
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  // The size the picture claims is checked before anything is decoded or allocated for it.
  if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxJpegSide ||
      info.image_height > kMaxJpegSide) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  if (info.output_components != 3 || info.output_width * 3 > rowSize) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  const int pictureWidth = static_cast<int>(info.output_width);
  const int pictureHeight = static_cast<int>(info.output_height);
  for (int y = 0; y < height; ++y) {
    uint16_t* out =
        reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(destination) + static_cast<size_t>(y) * pitch);
    if (y < pictureHeight) {
      JSAMPROW rows[1] = {row};
      jpeg_read_scanlines(&info, rows, 1);
    }
    for (int x = 0; x < width; ++x)
      out[x] =
          (y < pictureHeight && x < pictureWidth) ? PackRgb(row[x * 3], row[x * 3 + 1], row[x * 3 + 2], is555 != 0) : 0;
  }
  jpeg_abort_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

bool Encode(FILE* file, const uint8_t* rgb, int width, int height, int quality) {
  jpeg_compress_struct info;
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnFatalError;
  errors.base.output_message = OnMessage;
  if (setjmp(errors.escape)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW rows[1] = {const_cast<uint8_t*>(rgb + static_cast<size_t>(info.next_scanline) * width * 3)};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

bool JpegRead(const char* fileName, uint16_t* destination, int width, int pitch, int height, int is555) {
  if (!fileName || !destination || width <= 0 || height <= 0 || pitch < width * 2) return false;
  FILE* file = OpenFile(fileName, "rb");
  if (!file) return false;
  std::vector<uint8_t> row(static_cast<size_t>(kMaxJpegSide) * 3u);
  bool ok = Decode(file, destination, width, pitch, height, is555, row.data(), row.size());
  std::fclose(file);
  return ok;
}

bool JpegWrite(const char* fileName, const std::vector<uint8_t>& rgb, int width, int height, int quality) {
  if (!fileName || width <= 0 || height <= 0 || rgb.size() < static_cast<size_t>(width) * height * 3) return false;
  FILE* file = OpenFile(fileName, "wb");
  if (!file) return false;
  bool ok = Encode(file, rgb.data(), width, height, quality);
  ok = std::fclose(file) == 0 && ok;
  return ok;
}

}  // namespace platform
