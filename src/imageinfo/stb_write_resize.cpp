// stb_image_resize and stb_image_write built once, for pictures the report shows.
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_resize.h>
#include <stb_image_write.h>

extern "C" int PikrottaStbResize(const unsigned char* in, int inWidth, int inHeight,
                                 unsigned char* out, int outWidth, int outHeight, int channels) {
  const int alpha = channels == 4 ? 3 : STBIR_ALPHA_CHANNEL_NONE;
  return stbir_resize_uint8_generic(in, inWidth, inHeight, 0, out, outWidth, outHeight, 0, channels,
                                    alpha, 0, STBIR_EDGE_CLAMP, STBIR_FILTER_DEFAULT,
                                    STBIR_COLORSPACE_LINEAR, nullptr);
}

extern "C" int PikrottaStbWritePng(const unsigned char* pixels, int width, int height, int channels,
                                   void (*write)(void*, void*, int), void* context) {
  return stbi_write_png_to_func(write, context, width, height, channels, pixels, width * channels);
}

extern "C" int PikrottaStbWriteJpg(const unsigned char* pixels, int width, int height, int channels,
                                   int quality, void (*write)(void*, void*, int), void* context) {
  return stbi_write_jpg_to_func(write, context, width, height, channels, pixels, quality);
}
