#include "transfer_reader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <future>
#include <new>
#include <system_error>
#include <utility>
#include <vector>

#include "my_func.h"

namespace pikrotta {

namespace {

// What a byte does in the splitter, with splitting on and off.
enum TByteClass : uint8_t { bcAppend, bcLead, bcQuote, bcEqual, bcBlank, bcDrop };

struct TByteClasses {
  std::array<TByteClass, 256> On{};
  std::array<TByteClass, 256> Off{};
  constexpr TByteClasses() {
    for (int b = 0; b < 256; ++b) {
      const TByteClass plain = (b >= 0x20 && b <= 0xFD) ? bcAppend : bcDrop;
      On[b] = Off[b] = IsLeadByte(static_cast<unsigned char>(b)) ? bcLead : plain;
    }
    On['"'] = bcQuote;
    On['='] = bcEqual;
    On[' '] = bcBlank;
    On['\t'] = bcBlank;
  }
};
constexpr TByteClasses kByteClasses;

}  // namespace

namespace {

// True when every byte is a blank or printable ASCII other than '"' and '=': then no byte is
// dropped and no switch changes, so the fields are the line's own blank-separated pieces.
// Written without early exit so that the compiler can vectorise it.
bool IsPlainLine(std::string_view line) {
  unsigned special = 0;
  for (const char c : line) {
    const auto b = static_cast<unsigned char>(c);
    special |= (static_cast<unsigned char>(b - 0x21) > 0x5D && b != ' ') | (b == '"') | (b == '=');
  }
  return special == 0;
}

void SplitPlainLine(std::string_view line, TTransferFields& fields, int32_t countLimit) {
  const char* bytes = line.data();
  const size_t size = line.size();
  size_t fieldStart = 0;
  int32_t n = 1;
  auto blankAt = [&](size_t i) {
    if (i > fieldStart) {
      if (n <= kTransferFieldCapacity) fields.Spans[n - 1] = {fieldStart, i - fieldStart};
      if (n < countLimit) ++n;
    }
    fieldStart = i + 1;
  };
  size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    // Eight bytes at a time: a line's blanks are few, and a test per byte mispredicts at each.
    for (; size - i >= 8; i += 8) {
      uint64_t eight;
      std::memcpy(&eight, bytes + i, 8);
      const uint64_t v = eight ^ 0x2020202020202020u;  // a blank's byte becomes 0
      constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
      uint64_t blanks = ~(((v & kLow7) + kLow7) | v | kLow7);  // the top bit of each 0 byte
      for (; blanks != 0; blanks &= blanks - 1)
        blankAt(i + static_cast<size_t>(std::countr_zero(blanks)) / 8);
    }
  }
  for (; i < size; ++i)
    if (bytes[i] == ' ') blankAt(i);
  if (n <= kTransferFieldCapacity) fields.Spans[n - 1] = {fieldStart, size - fieldStart};
  fields.Base = bytes;
  fields.Count = n;
}

// Splits bytes of a line into out, which has room for bytes.size() more bytes past s.Pos.
// Bytes of fields past the capacity are not kept.
void SplitBytes(TSplitState& s, std::string_view bytes, char* out, TTransferFields& fields) {
  const TByteClass* classes = s.Splitting ? kByteClasses.On.data() : kByteClasses.Off.data();
  auto keep = [&](char c) {
    if (s.N <= kTransferFieldCapacity) out[s.Pos++] = c;
    s.FieldOpen = true;
  };
  size_t i = 0;
  if (s.LeadPending && !bytes.empty()) {
    keep(bytes[0]);  // the trail byte of a character split between pieces
    s.LeadPending = false;
    i = 1;
  }
  for (const size_t size = bytes.size(); i < size; ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    switch (classes[b]) {
      case bcAppend:
        keep(bytes[i]);
        break;
      case bcLead:
        // A double-byte character is copied whole whatever the switch says, so a trail byte
        // that looks like a blank, a quote or "=" never acts as one. A lone lead byte at the
        // end of the line is dropped when the line is finished.
        keep(bytes[i]);
        if (i + 1 == size) {
          s.LeadPending = true;
          break;
        }
        keep(bytes[++i]);
        break;
      case bcQuote:
        classes = kByteClasses.Off.data();
        break;
      case bcEqual:
        keep('=');
        classes = kByteClasses.Off.data();
        break;
      case bcBlank:
        if (s.FieldOpen) {
          if (s.N <= kTransferFieldCapacity)
            fields.Spans[s.N - 1] = {s.FieldStart, s.Pos - s.FieldStart};
          if (s.N < s.CountLimit) ++s.N;
          s.FieldStart = s.Pos;
          s.FieldOpen = false;
        }
        break;
      case bcDrop:
        break;
    }
  }
  s.Splitting = classes == kByteClasses.On.data();
}

// Closes the last field; a lead byte still waiting for its trail byte is dropped.
void FinishSplit(TSplitState& s, const char* base, TTransferFields& fields) {
  if (s.LeadPending) {
    if (s.N <= kTransferFieldCapacity) --s.Pos;
    s.LeadPending = false;
  }
  if (s.N <= kTransferFieldCapacity) fields.Spans[s.N - 1] = {s.FieldStart, s.Pos - s.FieldStart};
  fields.Base = base;
  fields.Count = s.N;
}

}  // namespace

void SplitTransferLine(std::string_view line, char* scratch, TTransferFields& fields,
                       int32_t countLimit) {
  if (IsPlainLine(line)) return SplitPlainLine(line, fields, countLimit);
  TSplitState state;
  state.CountLimit = countLimit;
  SplitBytes(state, line, scratch, fields);
  FinishSplit(state, scratch, fields);
}

void TTransferSplitter::Feed(std::string_view piece) {
  // A line keeps its first kMostLineBytes bytes and no more: no field means anything past that
  // (numbers, names, and texts cut to 255 bytes anyway), and a line of gigabytes would cost
  // as much memory.
  if (Full) return;
  if (piece.size() > kMostLineBytes - Fed) {
    piece = piece.substr(0, kMostLineBytes - Fed);
    Full = true;
  }
  Fed += piece.size();
  // Room for the piece, given back once it is split: what the line keeps grows, the rest
  // never stays.
  Bytes.resize(State.Pos + piece.size());
  SplitBytes(State, piece, Bytes.data(), Pending);
  Bytes.resize(State.Pos);
}

void TTransferSplitter::Finish(TTransferFields& fields) {
  fields = Pending;
  FinishSplit(State, Bytes.data(), fields);
}

void TTransferSplitter::Clear() {
  State = TSplitState{};
  Fed = 0;
  Full = false;
  Bytes.clear();
  if (Bytes.capacity() > (size_t{1} << 20)) std::string().swap(Bytes);  // a huge line's room
}

namespace {

int HexDigit(std::string_view s, size_t index) {
  if (index >= s.size()) return 0;
  const char c = s[index];
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

std::string Cut255(std::string_view s) {
  return std::string(s.substr(0, kMaxTextBytes));
}

void CopyHead(TJwwEntHead& head, const TJwwState& state) {
  head.LayerGroup = state.CurLayerGroup;
  head.Layer = state.CurLayer;
  head.Color = state.CurColor;
  head.LineType = state.CurLineType;
  head.LineWidth = state.CurLineWidth;
}

// TextKind of a text key, or -1.
int32_t TextKindOf(std::string_view key) {
  static constexpr std::string_view kKeys[] = {"ch", "cv", "cs", "cr", "co",
                                               "cp", "ct", "ck", "cz", "c2"};
  for (int32_t k = 0; k < 10; ++k)
    if (key == kKeys[k]) return k;
  return -1;
}

void FillText(TJwwEntText& text, const TJwwGaibu& model, int32_t kind, const TTransferFields& f) {
  const TJwwState& state = model.JwwState;
  CopyHead(text, state);
  text.TextKind = kind;
  text.TextAnchor = state.CurTextAnchor;
  text.TextStyleNo = state.CurTextStyleNo;
  const bool numbered = text.TextStyleNo >= 1 && text.TextStyleNo <= 10;
  const TJwwTextStyle& style = numbered ? model.TextStyle(text.TextStyleNo) : state.FreeTextStyle;
  text.CharWidth = style.CharWidth;
  text.CharHeight = style.CharHeight;
  text.CharSpacing = style.CharSpacing;
  text.Color = style.Color;
  text.X = StrToFloatDef0(f[2]);
  text.Y = StrToFloatDef0(f[3]);
  text.Dx = StrToFloatDef0(f[4]);
  text.Dy = StrToFloatDef0(f[5]);
  text.FontName = Cut255(state.CurFontName);
  text.Text = Cut255(f[6]);
}

struct TCorner {
  double X, Y;
};

bool Coincide(TCorner p, TCorner q) {
  return std::abs(p.X - q.X) <= 1e-10 && std::abs(p.Y - q.Y) <= 1e-10;
}

TCorner CornerOf(const TTransferFields& f, int32_t firstField) {
  return {StrToFloatDef0(f[firstField]), StrToFloatDef0(f[firstField + 1])};
}

template <TEntityKind K>
auto& AddSolid(TJwwGaibu& model) {
  auto& solid = model.AddEntity<K>();
  CopyHead(solid, model.JwwState);
  solid.ExtColor = model.JwwState.CurExtColor;
  return solid;
}

void AddSolid2(TJwwGaibu& model, TCorner p1, TCorner p2) {
  auto& s = AddSolid<ekSolid2>(model);
  s.X1 = p1.X, s.Y1 = p1.Y, s.X2 = p2.X, s.Y2 = p2.Y;
}

void AddSolid3(TJwwGaibu& model, TCorner p1, TCorner p2, TCorner p3) {
  auto& s = AddSolid<ekSolid3>(model);
  s.X1 = p1.X, s.Y1 = p1.Y, s.X2 = p2.X, s.Y2 = p2.Y, s.X3 = p3.X, s.Y3 = p3.Y;
}

void AddThreeCornerSolid(TJwwGaibu& model, const TTransferFields& f) {
  const TCorner p1 = CornerOf(f, 2), p2 = CornerOf(f, 4), p3 = CornerOf(f, 6);
  if (Coincide(p1, p2))
    AddSolid2(model, p1, p3);
  else if (Coincide(p2, p3))
    AddSolid2(model, p1, p2);
  else
    AddSolid3(model, p1, p2, p3);
}

void AddFourCornerSolid(TJwwGaibu& model, const TTransferFields& f) {
  const TCorner p1 = CornerOf(f, 2), p2 = CornerOf(f, 4), p3 = CornerOf(f, 6), p4 = CornerOf(f, 8);
  if (Coincide(p1, p2) && Coincide(p1, p3))
    AddSolid2(model, p1, p4);
  else if (Coincide(p2, p3) && Coincide(p2, p4))
    AddSolid2(model, p1, p2);
  else if (Coincide(p1, p2) && Coincide(p3, p4))
    AddSolid2(model, p1, p3);
  else if (Coincide(p4, p1) || Coincide(p4, p2) || Coincide(p4, p3))
    AddSolid3(model, p1, p2, p3);
  else if (Coincide(p3, p1) || Coincide(p3, p2))
    AddSolid3(model, p1, p2, p4);
  else if (Coincide(p2, p1))
    AddSolid3(model, p1, p3, p4);
  else {
    auto& s = AddSolid<ekSolid4>(model);
    s.X1 = p1.X, s.Y1 = p1.Y, s.X2 = p2.X, s.Y2 = p2.Y;
    s.X3 = p3.X, s.Y3 = p3.Y, s.X4 = p4.X, s.Y4 = p4.Y;
  }
}

template <TEntityKind K>
void AddArcSolid(TJwwGaibu& model, const TTransferFields& f) {
  auto& s = AddSolid<K>(model);
  s.Cx = StrToFloatDef0(f[2]);
  s.Cy = StrToFloatDef0(f[3]);
  s.Radius = StrToFloatDef0(f[4]);
  s.Flatness = StrToFloatDef0(f[5]);
  s.Tilt = StrToFloatDef0(f[6]);
  s.Start = StrToFloatDef0(f[7]);
  s.Sweep = StrToFloatDef0(f[8]);
  if constexpr (K == ekSolidSc || K == ekSolidSe)
    s.ShapeParam = StrToIntDef0(f[9]);
  else
    s.InnerRadius = StrToFloatDef0(f[9]);
}

// The keys that make entities: circles, arcs, texts, points, blocks and solids. True when the
// line made an entity.
bool ApplyEntityRule(TJwwGaibu& model, std::string_view f1, const TTransferFields& f) {
  const int32_t n = f.Count;
  TJwwState& state = model.JwwState;
  if (f1 == "ci" && n == 4) {
    auto& c = model.AddEntity<ekCircle>();
    CopyHead(c, state);
    c.Cx = StrToFloatDef0(f[2]);
    c.Cy = StrToFloatDef0(f[3]);
    c.Radius = StrToFloatDef0(f[4]);
  } else if (f1 == "ci" && n >= 8) {
    auto& a = model.AddEntity<ekArc>();
    CopyHead(a, state);
    a.Cx = StrToFloatDef0(f[2]);
    a.Cy = StrToFloatDef0(f[3]);
    a.Radius = StrToFloatDef0(f[4]);
    a.StartAngle = StrToFloatDef0(f[5]);
    a.EndAngle = StrToFloatDef0(f[6]);
    a.Flatness = StrToFloatDef0(f[7]);
    a.Tilt = StrToFloatDef0(f[8]);
  } else if (const int32_t kind = TextKindOf(f1); kind >= 0 && n >= 6) {
    // Records with strings are built aside and moved in, so that running out of memory
    // while copying a text adds no half-filled record.
    if (state.MsgMode && kind == 2) {
      TJwwEntMsgText m;
      CopyHead(m, state);
      m.Frame = state.MsgFrame;
      m.Frame.PolylineNo = 0;
      // The body is built like any text: header from the state, colour from the style.
      FillText(m.Body, model, 2, f);
      model.AddEntity<ekMsgText>() = std::move(m);
    } else {
      TJwwEntText t;
      FillText(t, model, kind, f);
      model.AddEntity<ekText>() = std::move(t);
    }
  } else if (f1 == "pt" && n == 3) {
    auto& p = model.AddEntity<ekPoint>();
    CopyHead(p, state);
    p.Color = state.CurPointColor;
    p.X = StrToFloatDef0(f[2]);
    p.Y = StrToFloatDef0(f[3]);
  } else if (f1 == "pt" && n >= 6) {
    auto& p = model.AddEntity<ekPointEx>();
    CopyHead(p, state);
    p.Color = state.CurPointColor;
    p.X = StrToFloatDef0(f[2]);
    p.Y = StrToFloatDef0(f[3]);
    p.MarkScale = StrToFloatDef0(f[4]);
    p.MarkAngle = StrToFloatDef0(f[5]);
    p.MarkCode = StrToIntDef0(f[6]);
  } else if (f1 == "BL" && n >= 4) {
    TJwwEntBlk b;
    CopyHead(b, state);
    b.X = StrToFloatDef0(f[2]);
    b.Y = StrToFloatDef0(f[3]);
    b.BlockName = std::string(f[4]);
    model.AddEntity<ekBlock>() = std::move(b);
  } else if (f1 == "sl" && n == 5) {
    AddSolid2(model, CornerOf(f, 2), CornerOf(f, 4));
  } else if (f1 == "sl" && n == 7) {
    AddThreeCornerSolid(model, f);
  } else if (f1 == "sl" && n >= 9) {
    AddFourCornerSolid(model, f);
  } else if (f1 == "sc" && n >= 9) {
    AddArcSolid<ekSolidSc>(model, f);
  } else if (f1 == "se" && n >= 9) {
    AddArcSolid<ekSolidSe>(model, f);
  } else if (f1 == "so" && n >= 9) {
    AddArcSolid<ekSolidSo>(model, f);
  } else if (f1 == "sg" && n >= 9) {
    AddArcSolid<ekSolidSg>(model, f);
  } else {
    return false;
  }
  state.PolylineMode = false;
  state.MsgMode = false;
  return true;
}

// The header keys and the attribute keys. True when one of them took the line.
bool ApplyKeyRule(TJwwGaibu& model, std::string_view f1, const TTransferFields& f) {
  const int32_t n = f.Count;
  TJwwState& state = model.JwwState;
  if (f1 == "hk" && n >= 2) return true;
  if (f1 == "hs" && n >= 17) {
    for (int32_t g = 0; g < 16; ++g) model.LayerGroupScale[g] = StrToFloatDef0(f[g + 2]);
    return true;
  }
  if (f1 == "hzs" && n >= 3) return true;
  if ((f1 == "hcw" || f1 == "hch" || f1 == "hcd" || f1 == "hcc") && n >= 11) {
    for (int32_t s = 1; s <= 10; ++s) {
      TJwwTextStyle& style = model.TextStyle(s);
      const std::string_view v = f[s + 1];
      switch (f1[2]) {
        case 'w':
          style.CharWidth = StrToFloatDef0(v);
          break;
        case 'h':
          style.CharHeight = StrToFloatDef0(v);
          break;
        case 'd':
          style.CharSpacing = StrToFloatDef0(v);
          break;
        default:
          style.Color = StrToIntDef0(v);
          break;
      }
    }
    return true;
  }
  if (f1 == "bz") {
    model.NoScale = true;
    return true;
  }
  if (f1 == "hn" && n >= 5) return true;
  if (f1.starts_with("lgn") || f1.starts_with("lyn")) return true;

  // Layer, colour, line, text and point attributes also end polyline mode.
  if (f1.starts_with("lg")) {
    state.CurLayerGroup = HexDigit(f1, 2);
  } else if (f1.starts_with("ly")) {
    state.CurLayer = HexDigit(f1, 2);
  } else if (f1.starts_with("lc")) {
    state.CurColor = StrToIntDef0(f1.substr(2));
    if (state.CurColor == 10 && n >= 2) state.CurExtColor = StrToIntDef0(f[2]);
  } else if (f1.starts_with("lt")) {
    state.CurLineType = StrToIntDef0(f1.substr(2));
  } else if (f1.starts_with("lw")) {
    state.CurLineWidth = StrToIntDef0(f1.substr(2));
  } else if (f1.starts_with("cn$")) {
    state.CurFontName = std::string(f1.substr(3));
  } else if (f1.starts_with("cn")) {
    state.CurTextStyleNo = StrToIntDef0(f1.substr(2));
    if (state.CurTextStyleNo == 0 && n >= 5)
      state.FreeTextStyle = {StrToFloatDef0(f[2]), StrToFloatDef0(f[3]), StrToFloatDef0(f[4]),
                             StrToIntDef0(f[5])};
  } else if (f1.starts_with("cc")) {
    const int32_t anchor = StrToIntDef0(f1.substr(2, 1));
    state.CurTextAnchor = anchor >= 0 && anchor <= 8 ? anchor : 0;
  } else if (f1.size() == 2 && f1[0] == 'z' && f1[1] >= '1' && f1[1] <= '5') {
    return true;
  } else if (f1.starts_with("pn")) {
    state.CurPointColor = StrToIntDef0(f1.substr(2));
  } else if (f1 == "pl") {
    ++state.PolylineCount;
    state.PolylineMode = true;
    state.MsgMode = false;
    return true;
  } else if (f1 == "msg") {
    state.MsgMode = true;
    state.PolylineMode = false;
    return true;
  } else if (f1 == "#") {
    state.PolylineMode = false;
    state.MsgMode = false;
    return true;
  } else if ((f1.starts_with("hp") && n >= 3) || f1.starts_with("hhp")) {
    return true;
  } else {
    return false;
  }
  state.PolylineMode = false;
  return true;
}

// Any line of exactly four fields that no key took: a line, or the frame of framed texts.
void ApplyFourNumbers(TJwwGaibu& model, const std::array<double, 4>& numbers) {
  TJwwState& state = model.JwwState;
  TJwwEntLine* line = &state.MsgFrame;
  if (!state.MsgMode) line = &model.AddEntity<ekLine>();
  CopyHead(*line, state);
  line->PolylineNo = state.PolylineMode && !state.MsgMode ? state.PolylineCount : 0;
  line->X1 = numbers[0];
  line->Y1 = numbers[1];
  line->X2 = numbers[2];
  line->Y2 = numbers[3];
}

std::array<double, 4> FourNumbersOf(const TTransferFields& f) {
  return {StrToFloatDef0(f[1]), StrToFloatDef0(f[2]), StrToFloatDef0(f[3]), StrToFloatDef0(f[4])};
}

bool CanBeKey(std::string_view f1) {
  const char c = f1.empty() ? '\0' : f1[0];
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '#';
}

// Whether a plain line's fields make a four-number line whatever the reader's state: the
// keys are the only other rules that take four fields ("file=" needs a byte no plain line has).
bool IsFourNumberLine(const TTransferFields& f) {
  return f.Count == 4 && !CanBeKey(f[1]);
}

void ApplyTransferFields(TJwwGaibu& model, const TTransferFields& f) {
  const std::string_view f1 = f[1];
  if (f.Count == 1 && f1.empty()) return;
  if (f1.find("file=") != std::string_view::npos) {
    model.JwwFileName = std::string(f1.substr(5));
    return;
  }
  // Every key begins with a letter or "#"; numbers go straight to the four-number line.
  if (CanBeKey(f1) && (ApplyKeyRule(model, f1, f) || ApplyEntityRule(model, f1, f))) return;
  if (f.Count == 4) ApplyFourNumbers(model, FourNumbersOf(f));
}

// The lines of a chunk that end in it, each without its line end, up to the end-of-file byte.
template <class OnLine>
void ForEachEndedLine(std::string_view chunk, OnLine&& onLine) {
  if (chunk.empty()) return;  // an empty view may have no data pointer to search
  chunk = chunk.substr(0, chunk.find('\x1A'));
  size_t start = 0;
  while (const void* lf = std::memchr(chunk.data() + start, '\n', chunk.size() - start)) {
    const size_t end = static_cast<size_t>(static_cast<const char*>(lf) - chunk.data());
    onLine(chunk.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace

std::vector<TLineAhead> ReadLinesAhead(std::string_view chunk) {
  std::vector<TLineAhead> lines;
  lines.reserve(chunk.size() / 32);
  ForEachEndedLine(chunk, [&](std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    TLineAhead& ahead = lines.emplace_back();
    if (!IsPlainLine(line)) return;
    TTransferFields fields;
    SplitPlainLine(line, fields, kTransferFieldCountLimit);
    if (!IsFourNumberLine(fields)) return;
    ahead.FourNumbers = true;
    ahead.Numbers = FourNumbersOf(fields);
  });
  return lines;
}

void ParseTransferLine(TJwwGaibu& model, std::string_view line) {
  // Typical lines fit the stack buffer; a longer one gets a buffer of its own.
  char local[1024];
  std::string large;
  char* scratch = local;
  if (line.size() > sizeof local) {
    large.resize(line.size());
    scratch = large.data();
  }
  TTransferFields fields;
  SplitTransferLine(line, scratch, fields);
  ApplyTransferFields(model, fields);
}

void TTransferLineFeeder::FeedLinePart(std::string_view piece, bool lineEnds) {
  if (HeldCR) {
    HeldCR = false;
    // A CR that ended the last chunk is the line end when LF comes right after it.
    if (!(lineEnds && piece.empty())) Splitter.Feed("\r");
  }
  if (!piece.empty() && piece.back() == '\r') {
    piece.remove_suffix(1);
    HeldCR = !lineEnds;
  }
  Splitter.Feed(piece);
  InLine = true;
}

void TTransferLineFeeder::EndLine() {
  TTransferFields fields;
  Splitter.Finish(fields);
  ApplyTransferFields(Model, fields);
  Splitter.Clear();
  InLine = false;
}

bool TTransferLineFeeder::Feed(std::string_view chunk, const std::vector<TLineAhead>* ahead) {
  if (Ended) return false;
  if (chunk.empty()) return true;  // an empty view may have no data pointer to search
  if (const size_t eof = chunk.find('\x1A'); eof != std::string_view::npos) {
    chunk = chunk.substr(0, eof);
    Ended = true;
  }
  size_t start = 0, index = 0;
  ForEachEndedLine(chunk, [&](std::string_view piece) {
    start = static_cast<size_t>(piece.data() - chunk.data()) + piece.size() + 1;
    const size_t line = index++;
    if (InLine) {
      FeedLinePart(piece, true);
      EndLine();
    } else if (ahead != nullptr && line < ahead->size() && (*ahead)[line].FourNumbers) {
      ApplyFourNumbers(Model, (*ahead)[line].Numbers);
    } else {
      if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
      ParseTransferLine(Model, piece);
    }
  });
  if (start < chunk.size()) FeedLinePart(chunk.substr(start), false);
  if (Ended) Finish();
  return !Ended;
}

void TTransferLineFeeder::Finish() {
  if (!InLine) return;
  HeldCR = false;  // a CR at the very end of the input ends the line like CR LF
  EndLine();
}

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Bytes at the end of text that begin a UTF-8 character not yet complete.
size_t IncompleteUtf8Tail(std::string_view text) {
  for (size_t back = 1; back <= std::min<size_t>(3, text.size()); ++back) {
    const auto b = static_cast<unsigned char>(text[text.size() - back]);
    if ((b & 0xC0) != 0x80) {  // the lead byte of the last character
      const size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
      return length > back ? back : 0;
    }
  }
  return 0;
}

// Chunks shorter than this are applied at once: a thread would cost more than it saves.
constexpr size_t kReadAheadBytes = size_t{64} << 10;

std::future<std::vector<TLineAhead>> ReadAheadOf(std::string_view chunk) {
  try {
    return std::async(std::launch::async, ReadLinesAhead, chunk);
  } catch (const std::system_error&) {
    return std::async(std::launch::deferred, ReadLinesAhead, chunk);  // no thread to be had
  }
}

}  // namespace

bool ReadTransferFile(TJwwGaibu& model, TInputFile& file, const TTextConverter* utf8,
                      const std::function<bool(int64_t bytesRead)>& progress) {
  // Running out of memory is a read failure like any other: reading stops and the lines
  // read before stay applied (every table stays consistent, see AddEntity).
  try {
    TTransferLineFeeder feeder(model);
    std::vector<char> chunk(size_t{1} << 20);
    std::string cut;  // UTF-8 bytes of a character that the end of a read cut off
    auto feedUtf8 = [&](std::string_view bytes, bool last) {
      cut.append(bytes);
      const size_t tail = last ? 0 : IncompleteUtf8Tail(cut);
      const std::string sjis = utf8->Utf8ToSjis(std::string_view(cut).substr(0, cut.size() - tail));
      cut.erase(0, cut.size() - tail);
      return feeder.Feed(sjis);
    };
    // The first bytes wait until it is known whether they are the byte-order mark.
    bool deciding = utf8 != nullptr, converting = false;
    std::string pending;  // the first bytes, undecided
    auto feed = [&](std::string_view bytes, bool last) {
      if (deciding) {
        pending.append(bytes);
        if (pending.size() < kUtf8Mark.size() && !last) return true;
        deciding = false;
        converting = pending.starts_with(kUtf8Mark);
        if (converting) pending.erase(0, kUtf8Mark.size());
        std::string head;
        head.swap(pending);
        return converting ? feedUtf8(head, last) : feeder.Feed(head);
      }
      return converting ? feedUtf8(bytes, last) : feeder.Feed(bytes);
    };
    // A large chunk's four-number lines are read ahead on another thread while the chunk
    // before is applied; each chunk then stays until it has been applied.
    std::vector<char> other(chunk.size());
    std::string_view held;  // read, not yet applied
    std::future<std::vector<TLineAhead>> heldAhead;
    auto applyHeld = [&] {
      if (held.empty()) return true;
      const std::vector<TLineAhead> ahead = heldAhead.get();
      return feeder.Feed(std::exchange(held, {}), &ahead);
    };
    int64_t bytesRead = 0;
    for (;;) {
      const int64_t got = file.Read(chunk.data(), chunk.size());
      if (got < 0) {
        applyHeld();
        return false;  // an input error: what was read stays applied
      }
      if (got == 0) break;
      const std::string_view bytes(chunk.data(), static_cast<size_t>(got));
      if (deciding || converting || bytes.size() < kReadAheadBytes) {
        if (!applyHeld() || !feed(bytes, false)) return true;
      } else {
        std::future<std::vector<TLineAhead>> ahead = ReadAheadOf(bytes);
        if (!applyHeld()) return true;
        held = bytes;
        heldAhead = std::move(ahead);
        chunk.swap(other);
      }
      bytesRead += got;
      if (progress && !progress(bytesRead)) {
        applyHeld();
        return false;
      }
    }
    if (!applyHeld() || !feed({}, true)) return true;
    feeder.Finish();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool ReadTransferFile(TJwwGaibu& model, const THostServices& host, const std::string& path) {
  const std::unique_ptr<TInputFile> file = host.OpenForReading(path);
  return file && ReadTransferFile(model, *file, &host);
}

}  // namespace pikrotta
