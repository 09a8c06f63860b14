#include "formats/file_io.hpp"

#include <gtest/gtest.h>

#include <string>

#include "formats/text_scanner.hpp"

namespace tessarim {
namespace {

// Everything the window gives, window after window.
std::string readAll(FileWindow& window) {
  std::string text{window.start()};
  while (!window.exhausted()) text += window.advance({});
  return text;
}

TEST(FileWindow, LinesEndAsATextModeReadGivesThem) {
  FileWindow window{"a\r\nb\rc\r\n\r\r\nd\r"};
  EXPECT_EQ(readAll(window), "a\nb\rc\n\r\nd\r");  // a CR alone stays
}

TEST(FileWindow, ACarriageReturnAtTheEdgeOfAWindowWaitsForItsLineFeed) {
  std::string text;
  while (text.size() < FileWindow::windowSize - 10) text += "line\n";
  text.append(FileWindow::windowSize - 1 - text.size(), 'x');
  text += "\r\nlast\r\n";
  FileWindow window{text};
  const std::string read = readAll(window);
  EXPECT_EQ(read.substr(read.size() - 8), "xx\nlast\n");  // the CR LF read in two pieces is one LF
  EXPECT_EQ(window.rejection(), "");
}

TEST(FileWindow, TextNoStudioFileHoldsStopsTheReading) {
  const std::string longest(FileWindow::longestLine, 'x');
  struct Case {
    std::string text;
    const char* rejection;
  } cases[] = {
      {"2.32 \n" + std::string(255, '\0') + "\n", ""},
      {"2.32 \n" + std::string(256, '\0') + "\n", "a run of 256 zero bytes on line 2"},
      {"2.32 \n" + longest + "\n", ""},
      {"2.32 \n" + longest + "x\n", "a line longer than 65536 characters (line 2)"},
      {"2.32 \r\n\r\n" + longest + "\r\n", ""},  // line ends are not part of a line
  };
  for (const Case& c : cases) {
    FileWindow window{c.text};
    const std::string read = readAll(window);
    EXPECT_EQ(window.rejection(), c.rejection) << c.text.size();
    if (*c.rejection) {
      EXPECT_LT(read.size(), c.text.size());  // what follows is never given
    }
  }
}

TEST(FileWindow, ARunOfZeroBytesIsFoundAcrossWindows) {
  std::string text;
  while (text.size() < FileWindow::windowSize - 150) text += "line\n";
  text += std::string(300, '\0');  // about half in the first window, the rest in the next
  while (text.size() < 2 * FileWindow::windowSize) text += "line\n";
  FileWindow window{text};
  readAll(window);
  EXPECT_EQ(window.rejection().substr(0, 29), "a run of 256 zero bytes on li");
}

TEST(TextScanner, FieldsReadAcrossTheEdgeOfAWindow) {
  // Numbers placed so that one of them straddles the end of the first window.
  std::string text;
  int count = 0;
  while (text.size() < FileWindow::windowSize + 1000) {
    text += std::to_string(count++) + ".5 ,\n";
  }
  FileWindow window{text};
  TextScanner in{window};
  for (int i = 0; i < count; ++i) {
    float value = 0;
    ASSERT_EQ(in.floatComma(value), 2) << i;
    ASSERT_EQ(value, static_cast<float>(i) + 0.5f) << i;
  }
  in.skipWhitespace();
  EXPECT_TRUE(in.atEnd());
}

}  // namespace
}  // namespace tessarim
