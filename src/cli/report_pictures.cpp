#include "report_pictures.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <new>
#include <thread>

#include "image_diagnosis.h"
#include "stb_header_reader.h"

namespace pikrotta {

namespace {

// Where a photo's header and Exif data lie: its Exif segment holds at most 64 KiB.
constexpr size_t kPictureHead = 128 * 1024;

// Appends to bytes from the file until it holds limit bytes or the file ends; false on a read
// error. Room is made as the bytes come, a megabyte at a time, or once when the file tells its
// length.
bool ReadOn(TInputFile& file, std::string& bytes, size_t limit) {
  constexpr size_t kChunk = 1 << 20;
  if (const int64_t size = file.Size(); size > 0)
    bytes.reserve(std::min(static_cast<size_t>(size), limit));
  while (bytes.size() < limit) {
    const size_t got = bytes.size(), want = std::min(kChunk, limit - got);
    bytes.resize(got + want);
    const int64_t n = file.Read(bytes.data() + got, want);
    bytes.resize(got + static_cast<size_t>(std::max<int64_t>(n, 0)));
    if (n < 0) return false;
    if (n == 0) break;
  }
  return true;
}

bool SameAspect(TPixelSize a, int32_t width, int32_t height) {
  const double wanted = static_cast<double>(width) / height;
  return std::abs(static_cast<double>(a.Width) / a.Height - wanted) <= kAspectTolerance * wanted;
}

// The pixel sizes wanted of a picture of the source's size: the thumbnail's and the frames',
// never larger than the source (the page stretches a picture, and the file need not grow).
std::vector<TPixelSize> WantedSizes(const TPictureRequest& request, TPixelSize source) {
  std::vector<TPixelSize> sizes{FitWithin(source.Width, source.Height, kThumbnailSide)};
  for (const TPixelSize frame : request.FrameSizes) {
    const TPixelSize fit = FitWithin(frame.Width, frame.Height, kFramePictureSide);
    sizes.push_back({std::min(fit.Width, source.Width), std::min(fit.Height, source.Height)});
  }
  return sizes;
}

// The pixels the pictures are made from, or why there are none. A photo's Exif thumbnail
// serves when it is as large as every picture wanted and shows the photo's aspect: a camera's
// photo is then not decoded whole, which takes a tenth of a second.
TDecodedPicture Source(const TPictureRequest& request, const THostServices& host,
                       TPixelSize& size) {
  TDecodedPicture decoded;
  const std::unique_ptr<TInputFile> file = host.OpenForReading(request.Path);
  std::string bytes;
  if (!file || !ReadOn(*file, bytes, kPictureHead)) {
    decoded.Reason = "it cannot be read";
    return decoded;
  }
  const std::optional<TImageHeader> header = TStbHeaderReader().ReadHeader(bytes);
  if (header && header->Width > 0) {
    size = {header->Width, header->Height};
    const std::string_view exif = header->Format == "JPEG" ? ExifThumbnail(bytes) : "";
    if (!exif.empty()) {
      TDecodedPicture thumbnail = DecodePicture(exif);
      const std::vector<TPixelSize> wanted = WantedSizes(request, size);
      if (thumbnail.Pixels &&
          SameAspect({thumbnail.Pixels->Width, thumbnail.Pixels->Height}, size.Width,
                     size.Height) &&
          std::all_of(wanted.begin(), wanted.end(), [&](TPixelSize w) {
            return w.Width <= thumbnail.Pixels->Width && w.Height <= thumbnail.Pixels->Height;
          }))
        return thumbnail;
    }
  }
  if (file->Size() > kMaxPictureFileBytes) {
    decoded.Reason = "it is too large to read";
    return decoded;
  }
  if (bytes.size() == kPictureHead &&
      !ReadOn(*file, bytes, static_cast<size_t>(kMaxPictureFileBytes) + 1)) {
    decoded.Reason = "it cannot be read";
    return decoded;
  }
  if (bytes.size() > static_cast<size_t>(kMaxPictureFileBytes)) {
    decoded.Reason = "it is too large to read";
    return decoded;
  }
  return DecodePicture(bytes);
}

TReportPicture MakeOne(const TPictureRequest& request, const THostServices& host) {
  TReportPicture out;
  out.Frames.resize(request.FrameSizes.size());
  TPixelSize size;
  const TDecodedPicture source = Source(request, host, size);
  if (!source.Pixels) {
    out.Reason = source.Reason;
    return out;
  }
  // The size the file's header gave: a thumbnail stands in for the whole photo.
  if (size.Width == 0) size = {source.Pixels->Width, source.Pixels->Height};
  out.Source = size;
  const std::vector<TPixelSize> wanted = WantedSizes(request, size);
  const std::vector<TPixels> scaled = ScaledToEach(*source.Pixels, wanted);
  out.ThumbnailSize = wanted[0];
  out.Thumbnail = PngBytes(scaled[0]);
  if (out.Thumbnail.empty()) out.Reason = "its thumbnail could not be written";
  for (size_t i = 1; i < scaled.size(); ++i) out.Frames[i - 1] = PngBytes(scaled[i]);
  return out;
}

}  // namespace

std::vector<TReportPicture> MakeReportPictures(const std::vector<TPictureRequest>& requests,
                                               const THostServices& host) {
  std::vector<TReportPicture> pictures(requests.size());
  std::atomic<size_t> next{0};
  const auto work = [&] {
    for (size_t i; (i = next++) < requests.size();) {
      try {
        pictures[i] = MakeOne(requests[i], host);
      } catch (const std::bad_alloc&) {
        pictures[i] = {};
        pictures[i].Reason = "there was not memory enough to decode it";
      }
    }
  };
  const size_t workers =
      std::min<size_t>(requests.size(), std::max(1u, std::thread::hardware_concurrency()));
  std::vector<std::thread> threads;
  for (size_t i = 1; i < workers; ++i) {
    try {
      threads.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // the ones running, and this one, do the rest
    }
  }
  work();
  for (std::thread& t : threads) t.join();
  return pictures;
}

std::string PngDataAddress(std::string_view png) {
  constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out = "data:image/png;base64,";
  out.reserve(out.size() + (png.size() + 2) / 3 * 4);
  for (size_t i = 0; i < png.size(); i += 3) {
    const size_t n = std::min<size_t>(3, png.size() - i);
    uint32_t v = 0;
    for (size_t k = 0; k < 3; ++k) v = v << 8 | (k < n ? static_cast<uint8_t>(png[i + k]) : 0u);
    for (size_t k = 0; k < 4; ++k) out += k <= n ? kDigits[(v >> (18 - 6 * k)) & 63] : '=';
  }
  return out;
}

}  // namespace pikrotta
