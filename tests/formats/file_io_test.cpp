#include "formats/file_io.hpp"

#include <gtest/gtest.h>

#include <random>
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

// What a text-mode read gives of text, and where the reading is refused: byte by byte.
std::pair<std::string, bool> referenceRead(const std::string& text) {
  std::string out;
  std::size_t lineLength = 0, zeros = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lineLength = c == '\n' ? 0 : lineLength + 1;
    zeros = c == '\0' ? zeros + 1 : 0;
    if (lineLength > FileWindow::longestLine || zeros >= FileWindow::longestZeroRun)
      return {out, true};
    out += c;
  }
  return {out, false};
}

TEST(FileWindow, GivesWhatAByteWiseTextModeReadGives) {
  std::mt19937 rng{7};
  int refusals = 0;
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const std::size_t size = 1000 + rng() % 200000;
    while (text.size() < size) {
      switch (rng() % 60) {
        case 0:
          text += "\r\n";
          break;
        case 1:
          text += '\r';
          break;
        case 2:
          text += '\n';
          break;
        case 3:
          text += std::string(rng() % 300, '\0');
          break;
        case 4:
          text += std::string(rng() % 70000, 'x');
          break;
        default:
          text += "12 ,";
          break;
      }
    }
    const auto [expected, refused] = referenceRead(text);
    refusals += refused ? 1 : 0;
    FileWindow window{text};
    const std::string read = readAll(window);
    ASSERT_EQ(!window.rejection().empty(), refused) << round;
    if (refused) {
      ASSERT_EQ(read.substr(0, std::min(read.size(), expected.size())),
                expected.substr(0, read.size()))
          << round;
    } else {
      ASSERT_EQ(read, expected) << round;
    }
  }
  EXPECT_GT(refusals, 30);  // both kinds of text were tried
  EXPECT_LT(refusals, 270);
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
