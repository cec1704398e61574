#include "report.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

#include "image_ref.h"
#include "report_pictures.h"
#include "sjis_utf8.h"
#include "svg_canvas.h"
#include "window_texts.h"

namespace pikrotta {

namespace {

// Styles and the page's behaviour: a click on a row centres the picture on its reference at
// four times the scale (the window's double-click keeps the scale, but a report has no wheel
// to zoom in with afterwards); the wheel zooms about the cursor, a drag pans, "Fit" and the
// Home key return to the whole drawing. "#ref=N" in the address opens at row N.
constexpr const char* kStyle = R"(body{margin:0;font-family:'IPAGothic','MS Gothic',sans-serif}
#view{display:block;border-bottom:1px solid #888;cursor:grab;background:#fff}
#panel{padding:8px 12px}
table{border-collapse:collapse;font-size:14px}
td,th{padding:2px 10px;border-bottom:1px solid #ddd;text-align:left;white-space:nowrap}
td.finding{white-space:normal;max-width:40em;font-weight:normal}
td.thumb img{display:block}
tr.ref{cursor:pointer}
tr.ref:hover{background:#eef}
tr.bad{background:#fdd;color:#900;font-weight:bold}
tr.selected{outline:2px solid #00f}
button{margin:4px 0})";

constexpr const char* kScript = R"(
(function () {
  var svg = document.querySelector('#view svg');
  var W = svg.viewBox.baseVal.width, H = svg.viewBox.baseVal.height;
  var box = {x: 0, y: 0, w: W, h: H};
  function show() { svg.setAttribute('viewBox', box.x + ' ' + box.y + ' ' + box.w + ' ' + box.h); }
  function fit() { box = {x: 0, y: 0, w: W, h: H}; show(); }
  function centre(px, py, zoom) {
    box.w = W / zoom; box.h = H / zoom; box.x = px - box.w / 2; box.y = py - box.h / 2; show();
  }
  function toPicture(e) {
    var r = svg.getBoundingClientRect();
    return {x: box.x + (e.clientX - r.left) / r.width * box.w,
            y: box.y + (e.clientY - r.top) / r.height * box.h};
  }
  var rows = document.querySelectorAll('tr.ref');
  rows.forEach(function (row) {
    row.addEventListener('click', function () {
      rows.forEach(function (r) { r.classList.remove('selected'); });
      row.classList.add('selected');
      centre(+row.dataset.px, +row.dataset.py, 4);
    });
  });
  svg.addEventListener('wheel', function (e) {
    e.preventDefault();
    var p = toPicture(e), f = e.deltaY < 0 ? 1 / 1.5 : 1.5;
    box.x = p.x - (p.x - box.x) * f; box.y = p.y - (p.y - box.y) * f;
    box.w *= f; box.h *= f; show();
  }, {passive: false});
  var drag = null;
  svg.addEventListener('mousedown', function (e) { drag = toPicture(e); });
  window.addEventListener('mouseup', function () { drag = null; });
  svg.addEventListener('mousemove', function (e) {
    if (!drag) return;
    var p = toPicture(e);
    box.x += drag.x - p.x; box.y += drag.y - p.y; show();
  });
  document.getElementById('fit').addEventListener('click', fit);
  window.addEventListener('keydown', function (e) { if (e.key === 'Home') fit(); });
  var m = /^#ref=(\d+)$/.exec(location.hash);
  if (m && rows[+m[1] - 1]) rows[+m[1] - 1].click();
})();
)";

std::string Cell(const std::string& sjis) {
  return "<td>" + XmlEscape(SjisToUtf8(sjis)) + "</td>";
}

// The pictures of the frames, by the texts the drawing pass draws the frames of.
class TReportFramePictures : public TFramePictures {
 public:
  const TBitmap* PictureOf(const TJwwEntText& text) const override {
    const auto it = Pictures.find(&text);
    return it == Pictures.end() ? nullptr : &it->second;
  }
  std::unordered_map<const TJwwEntText*, TSvgPicture> Pictures;
};

// What the report asks of the found files, one request per file however often it is linked:
// for each row, its file's request and the place of its frame among the request's sizes.
struct TPicturePlan {
  std::vector<TPictureRequest> Requests;
  std::vector<int32_t> RowRequest;  // -1 for a row without a file
  std::vector<int32_t> RowFrame;    // -1 for a row without a frame picture
};

TPicturePlan PlanPictures(const TForm1& form, bool images) {
  TPicturePlan plan;
  std::map<std::string, int32_t> byPath;
  for (const TImageRefRow& row : form.ImageRefRows) {
    int32_t request = -1, frame = -1;
    if (row.Found) {
      const auto [it, added] =
          byPath.try_emplace(row.ResolvedPath, static_cast<int32_t>(plan.Requests.size()));
      if (added) plan.Requests.push_back({row.ResolvedPath, {}});
      request = it->second;
      const TSearchStr& ref = form.ImageRefs[static_cast<size_t>(row.RefIndex)];
      // The pass draws the frames of the drawing's texts, not those of its block texts.
      if (images && ref.SourceKind == 0) {
        const TImageRef placed = ParseImageRef(ref.Text);
        const auto pixels = [&](double size) {
          const double v = std::abs(size) * form.View.ViewScale;
          return std::isfinite(v) ? static_cast<int32_t>(std::lround(std::clamp(v, 1.0, 1e6))) : 1;
        };
        std::vector<TPixelSize>& sizes = plan.Requests[static_cast<size_t>(request)].FrameSizes;
        frame = static_cast<int32_t>(sizes.size());
        sizes.push_back({pixels(placed.ImageWidth), pixels(placed.ImageHeight)});
      }
    }
    plan.RowRequest.push_back(request);
    plan.RowFrame.push_back(frame);
  }
  return plan;
}

std::string ThumbnailCell(const TImageRefRow& row, const TReportPicture* picture) {
  if (!row.Found || !picture)
    return std::string("<td class=\"thumb\">no thumbnail: ") +
           (row.ResolvedPath == texts::kFullWidthBlank ? "its path cannot be resolved"
                                                       : "not found") +
           "</td>";
  if (picture->Thumbnail.empty())
    return "<td class=\"thumb\">no thumbnail: " + XmlEscape(picture->Reason) + "</td>";
  return "<td class=\"thumb\"><img width=\"" + std::to_string(picture->ThumbnailSize.Width) +
         "\" height=\"" + std::to_string(picture->ThumbnailSize.Height) + "\" alt=\"" +
         std::to_string(picture->Source.Width) + " x " + std::to_string(picture->Source.Height) +
         "\" src=\"" + PngDataAddress(picture->Thumbnail) + "\"></td>";
}

}  // namespace

TReport MakeReport(const TReportOptions& options, const std::function<std::ostream*()>& open) {
  TSearchWindow<TSvgCanvas> window(options.List);
  TReport report;
  report.ReadComplete = window.Search({options.Width, options.Height});
  if (!report.ReadComplete) return report;
  const TForm1& form = window.Form;
  const TView& view = form.View;
  const std::string file = PathToUtf8(options.List.TransferFile);

  const std::vector<TImageRefDiagnosis> diagnoses = DiagnoseSearch(form, *window.Host);
  const TPicturePlan plan = PlanPictures(form, options.Images);
  const std::vector<TReportPicture> pictures = MakeReportPictures(plan.Requests, *window.Host);
  if (options.Images) {
    // The picture again, now with the pictures in their frames.
    TReportFramePictures frames;
    for (size_t i = 0; i < form.ImageRefRows.size(); ++i) {
      const int32_t request = plan.RowRequest[i], frame = plan.RowFrame[i];
      if (frame < 0) continue;
      const TReportPicture& picture = pictures[static_cast<size_t>(request)];
      const std::string& png = picture.Frames[static_cast<size_t>(frame)];
      if (png.empty()) continue;
      const TSearchStr& ref = form.ImageRefs[static_cast<size_t>(form.ImageRefRows[i].RefIndex)];
      frames.Pictures.try_emplace(&form.JwwGaibu.JwwTexts[static_cast<size_t>(ref.EntityIndex)],
                                  PngDataAddress(png), picture.Source.Width, picture.Source.Height);
    }
    window.Controls.Canvas = TSvgCanvas();
    window.Form.Gra->FramePictures = &frames;
    window.Form.RedrawView();
    window.Form.Gra->FramePictures = nullptr;
  }
  const std::string header = window.Controls.Rows.empty() ? "" : window.Controls.Rows[0];
  // The page needs the picture and the rows, not the drawing: the model goes first, and the
  // page is written as it is made, so that it is never held whole.
  window.Form.JwwGaibu.FreeModel();
  std::ostream* opened = open();
  if (!opened) return report;
  std::ostream& out = *opened;
  report.Written = true;
  out << "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n<title>"
      << XmlEscape("Pikrotta: " + file) << "</title>\n<style>\n"
      << kStyle << "\n</style>\n</head>\n<body>\n<div id=\"view\">\n";
  window.Controls.Canvas.WriteSvg(out, options.Width, options.Height);
  out << "</div>\n<div id=\"panel\">\n<p>" << XmlEscape(file) << "</p>\n<p>"
      << XmlEscape(SjisToUtf8(header))
      << " <button id=\"fit\">Fit</button></p>\n<table>\n<tr><th>#</th><th>"
         "path</th><th>resolved</th><th>mark</th><th>findings</th><th>candidates</th>"
         "<th>picture</th></tr>\n";
  int32_t number = 0;
  for (const TImageRefRow& row : form.ImageRefRows) {
    report.AllFound &= row.Found;
    const auto index = static_cast<size_t>(number);
    const TImageRefDiagnosis& d = diagnoses[index];
    const int32_t request = plan.RowRequest[index];
    std::string findings, candidates;
    for (const TFinding& f : d.Findings)
      findings += (findings.empty() ? "" : "<br>") + XmlEscape(SjisToUtf8(f.English));
    for (const TCandidate& c : d.Candidates)
      candidates += (candidates.empty() ? "" : "<br>") + XmlEscape(SjisToUtf8(c.File.Path));
    const TSearchStr& ref = form.ImageRefs[static_cast<size_t>(row.RefIndex)];
    // Where the reference's circle is in the picture, in its pixels.
    out << "<tr class=\"ref" << (row.Found ? "" : " bad") << "\" data-px=\""
        << view.WorldToScreenX(ref.X) << "\" data-py=\"" << view.WorldToScreenY(ref.Y) << "\"><td>"
        << ++number << "</td>" << Cell(row.RowText) << Cell(row.ResolvedPath) << Cell(row.Mark)
        << "<td class=\"finding\">" << findings << "</td><td>" << candidates << "</td>"
        << ThumbnailCell(row, request < 0 ? nullptr : &pictures[static_cast<size_t>(request)])
        << "</tr>\n";
  }
  out << "</table>\n</div>\n<script>" << kScript << "</script>\n</body>\n</html>\n";
  return report;
}

}  // namespace pikrotta
