// Point entities drawn as dots and as the marker symbols of codes -7..11.
#include <cmath>
#include <numbers>

#include "gra.h"
#include "my_func.h"

namespace pikrotta {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kArm = 1.25;
constexpr double kArrowLength = 7.5;

struct TLocal {
  double U, V;
};

TLocal Polar(double radius, double degrees) {
  return {radius * std::cos(degrees * kDegree), radius * std::sin(degrees * kDegree)};
}

}  // namespace

void TGra::DrawPointEntity(TCanvas& canvas, const TJwwEntPoint& point) {
  const double d = CoordDivisor(Model, point);
  DrawPointMarker(canvas, 0, point.X / d, point.Y / d, 0.0, 1.0, point.Color, point.LineWidth);
}

void TGra::DrawPointExEntity(TCanvas& canvas, const TJwwEntPointEx& point) {
  const double d = CoordDivisor(Model, point);
  DrawPointMarker(canvas, point.MarkCode, point.X / d, point.Y / d, point.MarkAngle * kDegree,
                  point.MarkScale, point.Color, point.LineWidth);
}

void TGra::DrawPointMarker(TCanvas& canvas, int32_t code, double x, double y, double angle,
                           double size, int32_t color, int32_t lineWidth) {
  const double w = EntityWidth(GraAttribute, color, lineWidth);
  SetEntityPen(canvas, color, 1);
  const double s = size <= 1e-8 ? 1.0 : size;
  const double onePixel = 1.0 / View.ViewScale;

  // Local marker units are scaled by s, turned by the marker angle and moved to the point.
  auto place = [&](TLocal p) {
    return TWorldPoint{x + RotateX(p.U * s, p.V * s, 0, 0, angle),
                       y + RotateY(p.U * s, p.V * s, 0, 0, angle)};
  };
  auto line = [&](TLocal a, TLocal b) {
    const TWorldPoint pa = place(a), pb = place(b);
    DrawWorldLine(canvas, pa.X, pa.Y, pb.X, pb.Y);
  };
  auto circle = [&](double r) { DrawWorldEllipse(canvas, x, y, r, 1, 0); };
  auto polygon = [&](std::initializer_list<TLocal> points) {
    for (TLocal p : points) WorldPoints.push_back(place(p));
    DrawWorldPolygon(canvas);
    WorldPoints.clear();
  };
  auto arrowhead = [&] { polygon({{0, 0}, {-kArrowLength, kArm}, {-kArrowLength, -kArm}}); };
  auto square = [&] { polygon({{-kArm, -kArm}, {kArm, -kArm}, {kArm, kArm}, {-kArm, kArm}}); };
  // Brushes named by what they fill with: the background, or the entity's own colour.
  auto backgroundBrush = [&] { SetEntityBrush(canvas, -1, 1); };
  auto entityBrush = [&] { SetEntityBrush(canvas, color, 1); };

  switch (code) {
    case 0:
      entityBrush();
      circle(std::max(GraAttribute.PointRadius(color) + w / 2, onePixel));
      break;
    case -1:
      line({0, kArm}, {0, -kArm});
      line(Polar(kArm, 30), Polar(kArm, 210));
      line(Polar(kArm, 150), Polar(kArm, 330));
      break;
    case -2:
    case 4:
      circle(kArm * s);
      break;
    case -3:
      entityBrush();
      circle(std::max(GraAttribute.PenWidth(color) * s, onePixel));
      break;
    case -4:
      line({0, kArm}, {0, -kArm});
      line({-kArm, 0}, {kArm, 0});
      break;
    case -5:
      line({-kArm, -kArm}, {kArm, -kArm});
      line({kArm, -kArm}, {kArm, kArm});
      line({kArm, kArm}, {-kArm, kArm});
      line({-kArm, kArm}, {-kArm, -kArm});
      break;
    case -6: {
      constexpr double kRadius = 5.0 / 3.0;
      line(Polar(kRadius, 90), Polar(kRadius, 210));
      line(Polar(kRadius, 210), Polar(kRadius, 330));
      line(Polar(kRadius, 330), Polar(kRadius, 90));
      break;
    }
    case -7:
      line(Polar(kArm, 45), Polar(kArm, 225));
      line(Polar(kArm, 135), Polar(kArm, 315));
      break;
    case 1:
      backgroundBrush();
      arrowhead();
      break;
    case 2:
      backgroundBrush();
      square();
      break;
    case 3:
      backgroundBrush();
      circle(kArm * s);
      break;
    case 5:
      entityBrush();
      square();
      break;
    case 6:
      entityBrush();
      arrowhead();
      break;
    case 8: {
      // Two quarter arcs that run from (t, t) through the point to (-t, -t).
      const double t = kArm * std::numbers::sqrt2;
      const TWorldPoint right = place({t, 0}), left = place({-t, 0});
      DrawWorldArc(canvas, right.X, right.Y, t * s, 1, angle, std::numbers::pi / 2,
                   std::numbers::pi / 2);
      DrawWorldArc(canvas, left.X, left.Y, t * s, 1, angle, 3 * std::numbers::pi / 2,
                   std::numbers::pi / 2);
      break;
    }
    case 9:
      line({0, 0}, {-kArrowLength, kArm});
      line({0, 0}, {-kArrowLength, -kArm});
      break;
    case 10:
      line(Polar(2.5, 45), Polar(2.5, 225));
      break;
    case 11:
      arrowhead();  // with the clear brush the entity pen left: an outline
      break;
    default:  // 7 and every unknown code
      entityBrush();
      circle(kArm * s);
      break;
  }
}

}  // namespace pikrotta
