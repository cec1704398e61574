#include "model_json.h"

#include "sjis_utf8.h"

namespace pikrotta {

using nlohmann::ordered_json;

namespace {

void PutHead(ordered_json& j, const TJwwEntHead& h) {
  j["LayerGroup"] = h.LayerGroup;
  j["Layer"] = h.Layer;
  j["Color"] = h.Color;
  j["LineType"] = h.LineType;
  j["LineWidth"] = h.LineWidth;
}

ordered_json ToJson(const TJwwEntLine& r) {
  ordered_json j;
  PutHead(j, r);
  j["PolylineNo"] = r.PolylineNo;
  j["X1"] = r.X1, j["Y1"] = r.Y1, j["X2"] = r.X2, j["Y2"] = r.Y2;
  return j;
}

ordered_json ToJson(const TJwwEntCircle& r) {
  ordered_json j;
  PutHead(j, r);
  j["Cx"] = r.Cx, j["Cy"] = r.Cy, j["Radius"] = r.Radius;
  return j;
}

ordered_json ToJson(const TJwwEntArc& r) {
  ordered_json j;
  PutHead(j, r);
  j["Cx"] = r.Cx, j["Cy"] = r.Cy, j["Radius"] = r.Radius;
  j["StartAngle"] = r.StartAngle, j["EndAngle"] = r.EndAngle;
  j["Flatness"] = r.Flatness, j["Tilt"] = r.Tilt;
  return j;
}

ordered_json ToJson(const TJwwEntText& r) {
  ordered_json j;
  PutHead(j, r);
  j["TextKind"] = r.TextKind, j["TextAnchor"] = r.TextAnchor, j["TextStyleNo"] = r.TextStyleNo;
  j["CharWidth"] = r.CharWidth, j["CharHeight"] = r.CharHeight, j["CharSpacing"] = r.CharSpacing;
  j["X"] = r.X, j["Y"] = r.Y, j["Dx"] = r.Dx, j["Dy"] = r.Dy;
  j["FontName"] = SjisToUtf8(r.FontName);
  j["Text"] = SjisToUtf8(r.Text);
  return j;
}

ordered_json ToJson(const TJwwEntPoint& r) {
  ordered_json j;
  PutHead(j, r);
  j["X"] = r.X, j["Y"] = r.Y;
  return j;
}

ordered_json ToJson(const TJwwEntPointEx& r) {
  ordered_json j;
  PutHead(j, r);
  j["X"] = r.X, j["Y"] = r.Y, j["MarkScale"] = r.MarkScale, j["MarkAngle"] = r.MarkAngle;
  j["MarkCode"] = r.MarkCode;
  return j;
}

ordered_json ToJson(const TJwwEntMsgText& r) {
  ordered_json j;
  PutHead(j, r);
  j["Frame"] = ToJson(r.Frame);
  j["Body"] = ToJson(r.Body);
  return j;
}

ordered_json ToJson(const TJwwEntBlk& r) {
  ordered_json j;
  PutHead(j, r);
  j["X"] = r.X, j["Y"] = r.Y;
  j["BlockName"] = SjisToUtf8(r.BlockName);
  return j;
}

ordered_json ToJson(const TJwwEntSolid2& r) {
  ordered_json j;
  PutHead(j, r);
  j["ExtColor"] = r.ExtColor;
  j["X1"] = r.X1, j["Y1"] = r.Y1, j["X2"] = r.X2, j["Y2"] = r.Y2;
  return j;
}

ordered_json ToJson(const TJwwEntSolid3& r) {
  ordered_json j;
  PutHead(j, r);
  j["ExtColor"] = r.ExtColor;
  j["X1"] = r.X1, j["Y1"] = r.Y1, j["X2"] = r.X2, j["Y2"] = r.Y2, j["X3"] = r.X3, j["Y3"] = r.Y3;
  return j;
}

ordered_json ToJson(const TJwwEntSolid4& r) {
  ordered_json j;
  PutHead(j, r);
  j["ExtColor"] = r.ExtColor;
  j["X1"] = r.X1, j["Y1"] = r.Y1, j["X2"] = r.X2, j["Y2"] = r.Y2;
  j["X3"] = r.X3, j["Y3"] = r.Y3, j["X4"] = r.X4, j["Y4"] = r.Y4;
  return j;
}

void PutArcSolid(ordered_json& j, const auto& r) {
  PutHead(j, r);
  j["ExtColor"] = r.ExtColor;
  j["Cx"] = r.Cx, j["Cy"] = r.Cy, j["Radius"] = r.Radius, j["Flatness"] = r.Flatness;
  j["Tilt"] = r.Tilt, j["Start"] = r.Start, j["Sweep"] = r.Sweep;
}

ordered_json ToJson(const TJwwEntSolidSc& r) {
  ordered_json j;
  PutArcSolid(j, r);
  j["ShapeParam"] = r.ShapeParam;
  return j;
}

ordered_json ToJson(const TJwwEntSolidSo& r) {
  ordered_json j;
  PutArcSolid(j, r);
  j["InnerRadius"] = r.InnerRadius;
  return j;
}

template <class T>
ordered_json TableToJson(const TJwwTable<T>& table, int32_t count) {
  ordered_json a = ordered_json::array();
  for (int32_t i = 0; i < count; ++i) a.push_back(ToJson(table[static_cast<size_t>(i)]));
  return a;
}

void PutHeader(ordered_json& j, const TJwwGaibu& m) {
  j["JwwFileName"] = SjisToUtf8(m.JwwFileName);
  j["NoScale"] = m.NoScale;
  j["LayerGroupScale"] = m.LayerGroupScale;
  ordered_json styles = ordered_json::array();
  for (const TJwwTextStyle& s : m.JwwTextStyles)
    styles.push_back({{"CharWidth", s.CharWidth},
                      {"CharHeight", s.CharHeight},
                      {"CharSpacing", s.CharSpacing},
                      {"Color", s.Color}});
  j["JwwTextStyles"] = styles;
}

}  // namespace

ordered_json ModelToJson(const TJwwGaibu& model) {
  ordered_json j;
  PutHeader(j, model);
  ordered_json order = ordered_json::array();
  for (int32_t i = 0; i < model.JwwOrderCount; ++i) {
    const TJwwOrderItem& item = model.JwwOrder[static_cast<size_t>(i)];
    order.push_back({item.EntityKind, item.EntityIndex});
  }
  j["JwwOrder"] = std::move(order);
  model.ForEachTable([&](auto kind, const auto& table, int32_t count) {
    j[std::string(kTableNames[kind])] = TableToJson(table, count);
  });
  return j;
}

namespace {

// A value as dump(1) writes it at a depth of nesting: each line after the first indented by
// the depth.
void WriteNested(std::ostream& out, const ordered_json& value, int depth) {
  const std::string text = value.dump(1);
  const std::string indent(static_cast<size_t>(depth), ' ');
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    out << std::string_view(text).substr(start, end + 1 - start) << indent;
  out << std::string_view(text).substr(start);
}

// One member of the top-level object, an array written element by element.
template <class F>
void WriteArrayMember(std::ostream& out, bool& first, std::string_view key, int32_t count,
                      F&& element) {
  out << (first ? "\n" : ",\n") << ' ' << ordered_json(key).dump() << ": ";
  first = false;
  if (count <= 0) {
    out << "[]";
    return;
  }
  out << "[\n";
  for (int32_t i = 0; i < count; ++i) {
    out << (i == 0 ? "  " : ",\n  ");
    WriteNested(out, element(i), 2);
  }
  out << "\n ]";
}

}  // namespace

void WriteModelJson(std::ostream& out, const TJwwGaibu& model) {
  ordered_json header;
  PutHeader(header, model);
  out << '{';
  bool first = true;
  for (const auto& [key, value] : header.items()) {
    out << (first ? "\n" : ",\n") << ' ' << ordered_json(key).dump() << ": ";
    first = false;
    WriteNested(out, value, 1);
  }
  WriteArrayMember(out, first, "JwwOrder", model.JwwOrderCount, [&](int32_t i) {
    const TJwwOrderItem& item = model.JwwOrder[static_cast<size_t>(i)];
    return ordered_json{item.EntityKind, item.EntityIndex};
  });
  model.ForEachTable([&](auto kind, const auto& table, int32_t count) {
    WriteArrayMember(out, first, kTableNames[kind], count,
                     [&](int32_t i) { return ToJson(table[static_cast<size_t>(i)]); });
  });
  out << "\n}";
}

ordered_json ModelSummaryToJson(const TJwwGaibu& model) {
  ordered_json j;
  PutHeader(j, model);
  j["JwwOrderCount"] = model.JwwOrderCount;
  model.ForEachTable([&](auto kind, const auto&, int32_t count) {
    // "JwwLines" -> "JwwLineCount": the count keeps the table's name without its plural "s".
    std::string key(kTableNames[kind]);
    key.pop_back();
    j[key + "Count"] = count;
  });
  return j;
}

}  // namespace pikrotta
