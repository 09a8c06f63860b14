#include "formats/text_writer.hpp"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

namespace tessarim {
namespace {

std::string cPrintf(const char* format, double v) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, v);
  return buffer;
}

TEST(TextWriter, FloatsMatchPrintfExactlyIncludingTiesAndSigns) {
  const char* formats[] = {"%f ,", "%+.4f", "%.2f", "%f"};
  std::vector<double> values = {0.0,
                                -0.0,
                                0.5,
                                -0.5,
                                0.125,
                                2.5,
                                1e-7,
                                -1e-7,
                                0.00005,
                                -0.00005,
                                123456.5,
                                1e20,
                                -3.4e38,
                                1.17549435e-38,
                                2.32,
                                0.0000005,
                                0.0000015,
                                2147483647.0,
                                4294967296.5,
                                std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity()};
  std::mt19937 rng{7};
  std::uniform_real_distribution<float> wide{-1e6f, 1e6f};
  std::uniform_int_distribution<int> ticks{-2000000, 2000000};
  for (int i = 0; i < 20000; ++i) {
    values.push_back(wide(rng));
    values.push_back(static_cast<float>(ticks(rng)) / 1024.0f);  // exact binary ties
    values.push_back(static_cast<float>(ticks(rng)) * 0.0001f);
  }
  for (const char* format : formats) {
    for (double v : values) {
      ASSERT_EQ(formatText(format, v), cPrintf(format, v)) << format << " " << v;
      float f = static_cast<float>(v);
      ASSERT_EQ(formatText(format, f), cPrintf(format, f)) << format << " " << f;
    }
  }
}

TEST(TextWriter, IntegerAndTextConversionsMatchPrintf) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, "%i ,%x ,%X|%08lX-%04hX-%02hhX|%5d|%-5d|%05i|%s|%u", -42,
                0xff00ff00u, 0xabcu, 0x1234ABCDul, static_cast<unsigned short>(0xBEEF),
                static_cast<unsigned char>(7), 42, 42, -42, "name", 4000000000u);
  EXPECT_EQ(formatText("%i ,%x ,%X|%08lX-%04hX-%02hhX|%5d|%-5d|%05i|%s|%u", -42, 0xff00ff00u,
                       0xabcu, 0x1234ABCDu, 0xBEEF, 7, 42, 42, -42, "name", 4000000000u),
            buffer);
}

TEST(TextWriter, LineFeedsBecomeCrLfOnRequest) {
  TextWriter w{true};
  w.print("%i ,\n", 3).text("unused\n");
  EXPECT_EQ(w.str(), "3 ,\r\nunused\r\n");
}

TEST(TextWriter, CommaDecimalLocaleChangesNothing) {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", 2.5);
  EXPECT_STREQ(buffer, "2,50");  // the locale really is in force
  std::string written = formatText("%.2f %f %+.4f", 2.5, 0.25, -1.5);
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(written, "2.50 0.250000 -1.5000");
}

}  // namespace
}  // namespace tessarim
