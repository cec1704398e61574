// Reader of JWC_TEMP.TXT, the transfer file in which Jw_cad hands over the open drawing.
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host_services.h"
#include "jww_model.h"

namespace pikrotta {

// Fields a line keeps. No rule reads beyond the 17th; fields past the 32nd are counted
// but their bytes are dropped.
constexpr int32_t kTransferFieldCapacity = 32;
// The field count stops here instead of wrapping: a line of more than 2^31 fields must not
// turn it negative. Every rule treats all counts above 17 alike.
constexpr int32_t kTransferFieldCountLimit = INT32_MAX;

struct TTransferFields {
  // Spans into the splitter's bytes. Only the first min(Count, capacity) are set: the table
  // is left uninitialised on purpose, since clearing it would cost more than splitting.
  struct TSpan {
    size_t Offset;
    size_t Length;
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

// Where the splitter stands within a line.
struct TSplitState {
  bool Splitting = true;
  bool FieldOpen = false;    // the current field has bytes
  bool LeadPending = false;  // the last byte fed was a lead byte; its trail byte comes next
  size_t Pos = 0;            // bytes kept so far
  size_t FieldStart = 0;
  int32_t N = 1;
  int32_t CountLimit = kTransferFieldCountLimit;
};

// Splits one line into fields. The fields' bytes are written to scratch, which must hold
// line.size() bytes and outlive the fields. countLimit caps the field count.
void SplitTransferLine(std::string_view line, char* scratch, TTransferFields& fields,
                       int32_t countLimit = kTransferFieldCountLimit);

// Splits a line that arrives in pieces, keeping only the bytes of the fields it holds, so
// that a huge line costs no more than what it keeps; of a line longer than kMostLineBytes,
// the rest is dropped.
class TTransferSplitter {
 public:
  static constexpr size_t kMostLineBytes = size_t{1} << 20;
  void Feed(std::string_view piece);
  // Ends the line. The fields point into this splitter until the next Feed or Clear.
  void Finish(TTransferFields& fields);
  void Clear();

 private:
  TSplitState State;
  std::string Bytes;
  TTransferFields Pending;  // spans of the fields closed so far
  size_t Fed = 0;           // bytes of the line fed so far
  bool Full = false;        // the line's first kMostLineBytes have been fed
};

// A line looked at ahead of its turn. A line of four plain numbers that no key can take is a
// line or a frame whatever the state, and most of a drawing: its numbers can be read on
// another thread while the lines before it are applied.
struct TLineAhead {
  bool FourNumbers = false;
  std::array<double, 4> Numbers{};
};
// One for each line that ends (LF) in chunk, in order, up to the end-of-file byte.
std::vector<TLineAhead> ReadLinesAhead(std::string_view chunk);

// Applies one line (without its line end) to the reader state and the model.
void ParseTransferLine(TJwwGaibu& model, std::string_view line);

// Reads a whole transfer file into the model. False when reading fails part-way (the lines
// read before stay applied). A file that begins with the UTF-8 byte-order mark (Jw_cad writes
// UTF-8 when its batch file has one) is converted to Shift-JIS by utf8 as it is read; without
// a converter it is read as it stands.
// progress, when given, hears the number of bytes read after every read of the file; when it
// answers false, reading stops there and the result is false.
bool ReadTransferFile(TJwwGaibu& model, TInputFile& file, const TTextConverter* utf8 = nullptr,
                      const std::function<bool(int64_t bytesRead)>& progress = {});
// The same for the file at a host path; false, with the model untouched, when no file is there.
bool ReadTransferFile(TJwwGaibu& model, const THostServices& host, const std::string& path);

// Cuts a byte stream into lines as a text-file reader does and parses each one: LF ends a
// line and a CR just before it is removed; the byte 0x1A ends the input. Chunks may split
// lines anywhere; a line that spans chunks is split as it arrives, never gathered whole.
class TTransferLineFeeder {
 public:
  explicit TTransferLineFeeder(TJwwGaibu& model) : Model(model) {}
  // False once the end-of-file byte has been seen; later chunks are ignored.
  // ahead, when given, is what ReadLinesAhead made of chunk.
  bool Feed(std::string_view chunk, const std::vector<TLineAhead>* ahead = nullptr);
  // Parses the last line when it had no line end.
  void Finish();

 private:
  void FeedLinePart(std::string_view piece, bool lineEnds);
  void EndLine();

  TJwwGaibu& Model;
  TTransferSplitter Splitter;
  bool InLine = false;  // part of a line has gone to the splitter
  bool HeldCR = false;  // a CR ended the last chunk: it is the line end only if LF follows
  bool Ended = false;
};

}  // namespace pikrotta
