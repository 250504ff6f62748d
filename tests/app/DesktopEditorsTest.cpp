// The desktop editors: the default command and the line switch added to a user's command.
#include <gtest/gtest.h>

#include "app/DesktopEditors.h"

namespace kestrix::app {
namespace {

TEST(DesktopEditors, DefaultIsTheFirstInstalled) {
  EXPECT_EQ(defaultEditorCommand([](const std::string& p) { return p == "kate" || p == "geany"; }),
            "kate --line \"%NumLine%\" \"%PrFullName%\"");
  EXPECT_EQ(defaultEditorCommand([](const std::string& p) { return p == "mousepad"; }),
            "mousepad \"%PrFullName%\"");
  EXPECT_EQ(defaultEditorCommand([](const std::string&) { return false; }),
            "xdg-open \"%PrFullName%\"");
}

TEST(DesktopEditors, EditorsOpenAtTheLine) {
  const struct {
    const char* command;
    const char* expected;
  } cases[] = {
      {"\"/usr/bin/gedit\" \"%PrFullName%\"", "\"/usr/bin/gedit\" \"+%NumLine%\" \"%PrFullName%\""},
      {"kate \"%PrFullName%\"", "kate --line \"%NumLine%\" \"%PrFullName%\""},
      {"  /opt/x/geany ", "/opt/x/geany \"+%NumLine%\""},
      {"gedit +%NumLine% %PrFullName%", "gedit +%NumLine% %PrFullName%"},
      {"\"/usr/bin/gnome-text-editor\" \"%PrFullName%\"",
       "\"/usr/bin/gnome-text-editor\" \"%PrFullName%\""},
      {"vim \"%PrFullName%\"", "vim \"%PrFullName%\""},
      {"\"/opt/my kate/kate", "\"/opt/my kate/kate --line \"%NumLine%\""},  // quote left open
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(withLineSwitch(c.command), c.expected) << c.command;
}

}  // namespace
}  // namespace kestrix::app
