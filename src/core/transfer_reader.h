// Reader of JWC_TEMP.TXT, the transfer file in which Jw_cad hands over the open drawing.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "jww_model.h"

namespace pikrotta {

// Fields a line keeps. No rule reads beyond the 17th; fields past the 32nd are counted
// but their bytes are dropped.
constexpr int32_t kTransferFieldCapacity = 32;

struct TTransferFields {
  // Spans into the scratch buffer. Only the first min(Count, capacity) are set: the table is
  // left uninitialised on purpose, since clearing it would cost more than splitting the line.
  struct TSpan {
    uint32_t Offset;
    uint32_t Length;
  };
  const char* Base = nullptr;
  std::array<TSpan, kTransferFieldCapacity> Spans;
  int32_t Count = 0;  // n: the position of the last field, which may be empty

  // Field number i, 1-based as in F1, F2, ...; empty past the end.
  std::string_view operator[](int32_t i) const {
    if (i < 1 || i > Count || i > kTransferFieldCapacity) return {};
    const TSpan span = Spans[static_cast<size_t>(i) - 1];
    return {Base + span.Offset, span.Length};
  }
};

// Splits one line into fields. The fields' bytes are written to scratch, which must hold
// line.size() bytes and outlive the fields. Lines longer than 4 GiB are cut there.
void SplitTransferLine(std::string_view line, char* scratch, TTransferFields& fields);

// Applies one line (without its line end) to the reader state and the model.
void ParseTransferLine(TJwwGaibu& model, std::string_view line);

// Reads the whole transfer file into the model. False when no file is at path (the model is
// untouched) or when reading fails part-way (the lines read before stay applied).
bool ReadTransferFile(TJwwGaibu& model, const std::filesystem::path& path);

// Cuts a byte stream into lines as a text-file reader does and parses each one: LF ends a
// line and a CR just before it is removed; the byte 0x1A ends the input. Chunks may split
// lines anywhere.
class TTransferLineFeeder {
 public:
  explicit TTransferLineFeeder(TJwwGaibu& model) : Model(model) {}
  // False once the end-of-file byte has been seen; later chunks are ignored.
  bool Feed(std::string_view chunk);
  // Parses the last line when it had no line end.
  void Finish();

 private:
  void EndLine(std::string_view line);

  TJwwGaibu& Model;
  std::string Pending;
  bool Ended = false;
};

}  // namespace pikrotta
