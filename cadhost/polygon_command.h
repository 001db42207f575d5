// The regular-polygon command of the command line.
#pragma once

#include "cadhost/command_line.h"

namespace cadhost {

// Asks for the number of sides, the centre, inscribed or circumscribed and the
// radius, then draws a closed lightweight polyline on the current layer with
// its bottom edge horizontal (as a typed radius gives it).
class PolygonCommand : public CommandLine::Command {
 public:
  std::string Prompt() const override;
  std::optional<std::string> Answer(Drawing& drawing, const std::string& word) override;
  bool Done() const override { return step_ == Step::Done; }

 private:
  enum class Step { Sides, Center, Kind, Radius, Done };
  Step step_ = Step::Sides;
  int sides_ = 4;
  Point center_;
  bool inscribed_ = true;
};

// Parses a typed point "X,Y" or "X,Y,Z" (plain decimal numbers).
std::optional<Point> ParseTypedPoint(const std::string& word);

}  // namespace cadhost
