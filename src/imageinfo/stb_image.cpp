// stb_image built once: the formats a Jw_cad drawing links, from memory.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#include <stb_image.h>

extern "C" int PikrottaStbInfo(const unsigned char* bytes, int size, int* width, int* height) {
  int components = 0;
  return stbi_info_from_memory(bytes, size, width, height, &components);
}

extern "C" unsigned char* PikrottaStbLoad(const unsigned char* bytes, int size, int* width,
                                          int* height, int* components, int wanted) {
  return stbi_load_from_memory(bytes, size, width, height, components, wanted);
}

extern "C" void PikrottaStbFree(void* pixels) {
  stbi_image_free(pixels);
}
