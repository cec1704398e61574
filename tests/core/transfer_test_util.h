// Transfer-file text given as bytes, read the way the program reads the file.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "host_services.h"
#include "jww_model.h"
#include "transfer_reader.h"

namespace pikrotta::test {

inline TJwwGaibu ReadTransferText(std::string_view text) {
  TJwwGaibu model;
  TTransferLineFeeder feeder(model);
  feeder.Feed(text);
  feeder.Finish();
  return model;
}

// A file held in memory, read in pieces of at most Piece bytes; it fails once FailAt bytes
// have been read, as a disk that breaks off part-way.
class TMemoryInputFile : public TInputFile {
 public:
  explicit TMemoryInputFile(std::string bytes, size_t failAt = std::string::npos)
      : Bytes(std::move(bytes)), FailAt(failAt) {}

  int64_t Read(char* buffer, size_t size) override {
    if (Pos >= FailAt) return -1;
    const size_t n = std::min({size, Piece, Bytes.size() - Pos, FailAt - Pos});
    std::memcpy(buffer, Bytes.data() + Pos, n);
    Pos += n;
    return static_cast<int64_t>(n);
  }

  std::string Bytes;
  size_t FailAt;
  size_t Piece = std::string::npos;
  size_t Pos = 0;
};

}  // namespace pikrotta::test
