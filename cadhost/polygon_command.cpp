#include "cadhost/polygon_command.h"

#include <charconv>
#include <cmath>
#include <numbers>

namespace cadhost {

namespace {
std::optional<double> ParseNumber(const std::string& text) {
  double value = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  auto [ptr, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}
}  // namespace

std::optional<Point> ParseTypedPoint(const std::string& word) {
  std::vector<double> values;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = word.find(',', start);
    auto value = ParseNumber(word.substr(start, comma == std::string::npos ? comma : comma - start));
    if (!value) return std::nullopt;
    values.push_back(*value);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (values.size() < 2 || values.size() > 3) return std::nullopt;
  return Point{values[0], values[1], values.size() == 3 ? values[2] : 0.0};
}

std::string PolygonCommand::Prompt() const {
  switch (step_) {
    case Step::Sides: return "Enter number of sides <" + std::to_string(sides_) + ">: ";
    case Step::Center: return "Specify center of polygon: ";
    case Step::Kind: return "Enter an option [Inscribed in circle/Circumscribed about circle] <I>: ";
    case Step::Radius: return "Specify radius of circle: ";
    case Step::Done: break;
  }
  return {};
}

std::optional<std::string> PolygonCommand::Answer(Drawing& drawing, const std::string& word) {
  switch (step_) {
    case Step::Sides: {
      if (word.empty()) {
        step_ = Step::Center;
        return std::nullopt;
      }
      auto value = ParseNumber(word);
      if (!value || *value != std::floor(*value) || *value < 3 || *value > 1024)
        return "Requires an integer between 3 and 1024.";
      sides_ = static_cast<int>(*value);
      step_ = Step::Center;
      return std::nullopt;
    }
    case Step::Center: {
      auto point = ParseTypedPoint(word);
      if (!point) return "Point or option keyword required.";
      center_ = *point;
      step_ = Step::Kind;
      return std::nullopt;
    }
    case Step::Kind: {
      if (word.empty() || word == "I" || word == "i") {
        inscribed_ = true;
      } else if (word == "C" || word == "c") {
        inscribed_ = false;
      } else {
        return "Invalid option keyword.";
      }
      step_ = Step::Radius;
      return std::nullopt;
    }
    case Step::Radius: {
      auto radius = ParseNumber(word);
      if (!radius || *radius <= 0) return "Requires a positive number.";
      const double pi = std::numbers::pi;
      // Vertices lie on the circle (inscribed) or the edges touch it
      // (circumscribed); either way the bottom edge is horizontal.
      double vertexRadius = inscribed_ ? *radius : *radius / std::cos(pi / sides_);
      LwPolylineData polyline;
      polyline.flags = 1;
      polyline.elevation = center_.z;
      for (int k = 0; k < sides_; ++k) {
        double angle = 1.5 * pi - pi / sides_ + 2 * pi * k / sides_;
        polyline.vertices.push_back(
            {center_.x + vertexRadius * std::cos(angle), center_.y + vertexRadius * std::sin(angle)});
      }
      Entity entity;
      entity.layer = drawing.CurrentLayer();
      entity.data = std::move(polyline);
      drawing.AddEntity(drawing.db().ModelSpace(), std::move(entity));
      step_ = Step::Done;
      return std::nullopt;
    }
    case Step::Done: break;
  }
  return std::nullopt;
}

}  // namespace cadhost
