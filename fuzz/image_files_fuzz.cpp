// Arbitrary bytes as a picture file found by the search, and as the signatures stb_image is
// handed: the diagnosis never crashes and what it says of a header holds together.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fake_host.h"
#include "image_diagnosis.h"
#include "pictures.h"
#include "stb_header_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pikrotta;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const TStbHeaderReader reader;
  // The same bytes behind each signature, so the fuzzer reaches every decoder's header.
  for (const char* signature : {"", "BM", "\xFF\xD8\xFF", "\x89PNG\r\n\x1A\n", "GIF89a"}) {
    const std::optional<TImageHeader> header = reader.ReadHeader(signature + bytes);
    if (header &&
        (header->Width < 0 || header->Height < 0 || (header->Width == 0) != (header->Height == 0)))
      std::abort();
    // Decoded whole, as the report does, within a bound that keeps each run quick; what comes
    // back is as large as it says, and scales and writes.
    const TDecodedPicture decoded = DecodePicture(signature + bytes, 1 << 20);
    if (decoded.Pixels) {
      const TPixels& p = *decoded.Pixels;
      if (p.Bytes.size() != static_cast<size_t>(p.Channels) * static_cast<size_t>(p.Width) *
                                static_cast<size_t>(p.Height) ||
          (p.Channels != 3 && p.Channels != 4))
        std::abort();
      const TPixelSize fit = FitWithin(p.Width, p.Height, 16);
      if (PngBytes(ScaledTo(p, fit.Width, fit.Height)).empty()) std::abort();
    } else if (decoded.Reason.empty()) {
      std::abort();
    }
  }
  const std::string jpeg = "\xFF\xD8" + bytes;
  const std::string_view thumbnail = ExifThumbnail(jpeg);
  if (!thumbnail.empty()) {
    if (thumbnail.data() < jpeg.data() ||
        thumbnail.data() + thumbnail.size() > jpeg.data() + jpeg.size())
      std::abort();
    DecodePicture(thumbnail, 1 << 20);
  }
  test::TFakeHost host;
  host.Files["C:\\JWW\\a.bmp"] = bytes;
  host.FailReads = size % 3 == 1;
  const TSteadyClock clock;
  const std::vector<TImageRefDiagnosis> d =
      DiagnoseImageRefs({{"a.bmp", "C:\\JWW\\a.bmp", true, false, 30, 20}},
                        {"C:\\JWW\\d.jww", "C:\\BAK\\", ""}, host, reader, clock);
  if (d.size() != 1 || !d[0].File) std::abort();
  // This file does not tell its length: it is known when the file ended within what was read.
  const int64_t length = d[0].File->Size;
  if (d[0].File->Readable && length != -1 && length != static_cast<int64_t>(size)) std::abort();
  if (!d[0].File->Readable && d[0].File->Header) std::abort();
  return 0;
}
