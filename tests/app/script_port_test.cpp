// The scripted user-interface port: answers and picks taken from the script
// lines after a gesture, dump and host lines let through while a box shows,
// defaults printed as such.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/script_port.h"
#include "cadhost/application.h"
#include "cadhost/document.h"

namespace app {
namespace {

std::vector<ScriptLine> Lines(const std::string& script) {
  std::istringstream in(script);
  return ReadScript(in);
}

forms::MessageBoxRequest Box(forms::MessageButtons buttons, int defaultButton) {
  forms::MessageBoxRequest box;
  box.icon = forms::MessageIcon::Question;
  box.buttons = buttons;
  box.defaultButton = defaultButton;
  box.title = "Cindral";
  box.text = "Erase?\rSure";
  return box;
}

struct PortFixture {
  explicit PortFixture(const std::string& script) : cursor(Lines(script)), port(out, cursor) {
    port.runAside = [this](const ScriptLine& line) { aside.push_back(line.verb + " " + line.args.at(0)); };
  }
  std::ostringstream out;
  ScriptCursor cursor;
  ScriptPort port;
  std::vector<std::string> aside;
};

TEST(ScriptPortTest, AnswersComeFromTheLinesAfterTheGestureWithDumpsAndHostWorkBetween) {
  PortFixture f("dump Frm__MDI\nhost close\nanswer No\nclick Frm__MDI\n");
  EXPECT_EQ(f.port.ShowMessage(Box(forms::MessageButtons::YesNo, 1)), forms::MessageAnswer::No);
  EXPECT_FALSE(f.port.LastAnswerWasDefault());
  EXPECT_EQ(f.aside, (std::vector<std::string>{"dump Frm__MDI", "host close"}));
  // The click is no answer: the next box takes its default button and the
  // click stays for the runner.
  EXPECT_EQ(f.port.ShowMessage(Box(forms::MessageButtons::YesNo, 2)), forms::MessageAnswer::No);
  EXPECT_TRUE(f.port.LastAnswerWasDefault());
  ASSERT_NE(f.cursor.Peek(), nullptr);
  EXPECT_EQ(f.cursor.Peek()->verb, "click");
  EXPECT_EQ(f.out.str(),
            "message title=\"Cindral\" icon=question buttons=yesno default=1 text=\"Erase?\\rSure\"\n"
            "answer No\n"
            "message title=\"Cindral\" icon=question buttons=yesno default=2 text=\"Erase?\\rSure\"\n"
            "answer No (default)\n");
}

TEST(ScriptPortTest, AnAnswerTheBoxDoesNotOfferStopsTheRunAtItsLine) {
  PortFixture f("\nanswer Yes\n");
  try {
    f.port.ShowMessage(Box(forms::MessageButtons::Ok, 1));
    FAIL() << "the OK box took Yes";
  } catch (const ScriptLineError& error) {
    EXPECT_EQ(error.line(), 2);
    EXPECT_STREQ(error.what(), "the message box has no button Yes");
  }
}

TEST(ScriptPortTest, ABoxComingBackWithoutEndWhileTheScriptStandsStillStopsTheRun) {
  PortFixture f("click Frm__MDI\n");
  f.cursor.Take();
  const auto box = Box(forms::MessageButtons::Ok, 1);
  try {
    for (int shown = 0; shown < 100000; ++shown) f.port.ShowMessage(box);
    FAIL() << "the box came back for ever";
  } catch (const ScriptLineError& error) {
    EXPECT_EQ(error.line(), 1);
    EXPECT_STREQ(error.what(), "the message box \"Cindral\" keeps coming back and the script has no answer for it");
  }
  // Different boxes one after another are no such wait.
  PortFixture g("");
  for (int shown = 0; shown < 3000; ++shown) {
    auto other = box;
    other.text = "Row " + std::to_string(shown);
    EXPECT_NO_THROW(g.port.ShowMessage(other));
  }
}

TEST(ScriptPortTest, PicksNameAnEntityByHandleOrCancel) {
  auto application = cadhost::HostApplication::Create();
  auto document = application->NewDocument();
  const auto line = document->ModelSpace()->AddLine({0, 0, 0}, {4, 2, 0});
  PortFixture f("pick " + line->Handle() + "\npick none\n");

  const auto picked = f.port.Pick(*document, "Select a closed polyline");
  ASSERT_TRUE(picked.has_value());
  EXPECT_EQ(picked->entity->Handle(), line->Handle());
  EXPECT_EQ(picked->point, (cad::Point3{2, 1, 0}));
  EXPECT_FALSE(f.port.Pick(*document, "Again").has_value());
  EXPECT_FALSE(f.port.Pick(*document, "Once more").has_value());
  EXPECT_EQ(f.out.str(), "prompt \"Select a closed polyline\"\npicked " + line->Handle() +
                             "\nprompt \"Again\"\npicked none\nprompt \"Once more\"\npicked none (default)\n");

  PortFixture unknown("pick FFFF\n");
  EXPECT_THROW(unknown.port.Pick(*document, "Select"), ScriptLineError);
}

}  // namespace
}  // namespace app
