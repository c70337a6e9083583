// The main window's form file stays as Qt Designer writes it: one element a
// line, indented one space a nesting level. A hand edit in another layout
// would turn the next Designer save into a diff of every line.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

TEST(GuiFormFile, IsLaidOutAsDesignerWritesIt) {
  std::ifstream in(KORVEX_GUI_FORM);
  ASSERT_TRUE(in) << KORVEX_GUI_FORM;
  std::string line;
  ASSERT_TRUE(std::getline(in, line));
  EXPECT_EQ(line, R"(<?xml version="1.0" encoding="UTF-8"?>)");
  int depth = 0, number = 1;
  while (std::getline(in, line)) {
    ++number;
    const size_t indent = line.find_first_not_of(' ');
    ASSERT_NE(indent, std::string::npos) << "blank line " << number;
    ASSERT_EQ(line[indent], '<') << "line " << number << " is not one element: " << line;
    const bool closes = line.compare(indent, 2, "</") == 0;
    if (closes) --depth;
    ASSERT_EQ(int(indent), depth) << "line " << number << ": " << line;
    // An element opened and left open: neither <x/> nor <x>text</x>.
    if (!closes && line.back() == '>' && !line.ends_with("/>") &&
        line.find("</", indent) == std::string::npos)
      ++depth;
  }
  EXPECT_EQ(depth, 0) << "every element is closed";
}

}  // namespace
