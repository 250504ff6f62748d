// What `kestrix` does before its window exists: help, version and the display check.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "app/StartAction.h"

namespace kestrix::app {
namespace {

TEST(StartAction, OnlyALoneHelpOrVersionPrints) {
  using Args = std::vector<std::string>;
  const struct {
    Args args;
    StartAction action;
  } cases[] = {
      {{}, StartAction::OpenWindow},
      {{"--help"}, StartAction::PrintHelp},
      {{"-h"}, StartAction::PrintHelp},
      {{"--version"}, StartAction::PrintVersion},
      // A window switch or a project file is never taken for help.
      {{"-path=/tmp", "--help"}, StartAction::OpenWindow},
      {{"--help", "--version"}, StartAction::OpenWindow},
      {{"project.ksr"}, StartAction::OpenWindow},
  };
  for (const auto& c : cases)
    EXPECT_EQ(startActionOf(c.args), c.action) << (c.args.empty() ? "(none)" : c.args[0]);
  EXPECT_EQ(std::string(startHelpText()).rfind("Usage: kestrix", 0), 0u);
  EXPECT_EQ(startVersionText().rfind("kestrix (Kestrix Search & Replace) ", 0), 0u);
}

TEST(StartAction, ADisplayIsAnyNonEmptyDisplayVariable) {
  const char* const names[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
  for (const char* name : names) unsetenv(name);
  EXPECT_FALSE(hasDisplay());
  for (const char* name : names) {
    setenv(name, "", 1);
    EXPECT_FALSE(hasDisplay()) << name << " empty";
    setenv(name, ":0", 1);
    EXPECT_TRUE(hasDisplay()) << name;
    unsetenv(name);
  }
  EXPECT_EQ(std::string(noDisplayText()).rfind("kestrix: the window needs a graphical display", 0),
            0u);
}

}  // namespace
}  // namespace kestrix::app
