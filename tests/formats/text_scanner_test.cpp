#include "formats/text_scanner.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace tessarim {
namespace {

// Each case scans three floats with one format; unassigned values stay at the sentinel 7.
struct FloatCase {
  const char* input;
  const char* format;
  int expected;
  float a, b, c;
  const char* rest;  // what the next scan sees
};

class ScanFloats : public ::testing::TestWithParam<FloatCase> {};

TEST_P(ScanFloats, StoresUntilTheFirstMismatchAndStopsThere) {
  const FloatCase& t = GetParam();
  TextScanner in{t.input};
  float a = 7, b = 7, c = 7;
  EXPECT_EQ(in.scan(t.format, &a, &b, &c), t.expected);
  EXPECT_EQ(a, t.a);
  EXPECT_EQ(b, t.b);
  EXPECT_EQ(c, t.c);
  auto rest = in.readLine(1000);
  EXPECT_EQ(std::string{rest.value_or("<end>")}, t.rest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanFloats,
    ::testing::Values(
        FloatCase{" +1.5000 ,-2.2500 ,+0.0000 ,\r\nnext", "%f ,%f ,%f ,", 3, 1.5f, -2.25f, 0, ""},
        FloatCase{"1.5,2.5,3.5,", "%f ,%f ,%f ,", 3, 1.5f, 2.5f, 3.5f, "<end>"},
        FloatCase{"1.5 ;2.5 ,3.5 ,", "%f ,%f ,%f ,", 1, 1.5f, 7, 7, ";2.5 ,3.5 ,"},
        FloatCase{"1.5 , x ,3.5 ,", "%f ,%f ,%f ,", 1, 1.5f, 7, 7, "x ,3.5 ,"},
        FloatCase{"1e3 ,-2.5E-1 ,0x10 ,", "%f ,%f ,%f ,", 3, 1000, -0.25f, 16, "<end>"},
        FloatCase{"inf ,-INFINITY ,.5 ,", "%f ,%f ,%f ,", 3, INFINITY, -INFINITY, 0.5f, "<end>"},
        FloatCase{"1.5 ,2.", "%f ,%f ,%f ,", 2, 1.5f, 2, 7, "<end>"},
        FloatCase{"", "%f ,%f ,%f ,", -1, 7, 7, 7, "<end>"},
        FloatCase{"   \r\n ", "%f ,%f ,%f ,", -1, 7, 7, 7, "<end>"},
        FloatCase{"1.5 ", "%f ,%f ,%f ,", 1, 1.5f, 7, 7, "<end>"},
        FloatCase{"12345", "%3f%f%f", 2, 123, 45, 7, "<end>"}));

TEST(TextScanner, NaNKeepsItsQuietness) {
  TextScanner in{"-nan ,"};
  float a = 7;
  EXPECT_EQ(in.scan("%f ,", &a), 1);
  EXPECT_TRUE(std::isnan(a));
}

TEST(TextScanner, IntegersKeepTheLowBitsOfTheirDestination) {
  TextScanner in{"70000 , -1 , ff00ff00 , 0x1F , 300 , 4294967297 ,"};
  std::int16_t a = 0;
  std::uint16_t b = 0;
  std::uint32_t c = 0, d = 0;
  std::uint8_t e = 0;
  std::int32_t f = 0;
  EXPECT_EQ(in.scan(" %hd , %hd , %x , %x , %d , %d ,", &a, &b, &c, &d, &e, &f), 6);
  EXPECT_EQ(a, static_cast<std::int16_t>(70000));
  EXPECT_EQ(b, 0xFFFF);
  EXPECT_EQ(c, 0xFF00FF00u);
  EXPECT_EQ(d, 0x1Fu);
  EXPECT_EQ(e, 300 & 0xFF);
  EXPECT_EQ(f, 1);
}

TEST(TextScanner, WidthsLimitHexFieldsOfAGuid) {
  TextScanner in{"0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E5F ,"};
  std::uint32_t d1 = 0;
  std::uint32_t d2 = 0, d3 = 0;
  std::uint8_t b[8]{};
  EXPECT_EQ(in.scan("%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X ,", &d1, &d2, &d3, &b[0],
                    &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7]),
            11);
  EXPECT_EQ(d1, 0x0123ABCDu);
  EXPECT_EQ(d2, 0x1A2Bu);
  EXPECT_EQ(d3, 0x3C4Du);
  EXPECT_EQ(b[0], 0x5E);
  EXPECT_EQ(b[7], 0x5F);
  EXPECT_TRUE(in.atEnd());
}

TEST(TextScanner, LiteralsAfterAWhitespaceDirectiveMayBeAdjacent) {
  // " %d ," is the studio's separator form; it also takes "5,", "5 ,", "5\t\t," and "5\r\n,".
  for (const char* input : {"5,", "5 ,", "5\t\t,", "5\r\n,"}) {
    TextScanner in{input};
    std::int32_t v = 0;
    EXPECT_EQ(in.scan(" %d ,", &v), 1) << input;
    EXPECT_EQ(v, 5);
    EXPECT_TRUE(in.atEnd()) << input;
  }
}

TEST(TextScanner, ReadLineBehavesLikeFgets) {
  TextScanner in{"abcdef\r\nxy\n\nlast"};
  EXPECT_EQ(in.readLine(5).value(), "abcd");  // 4 characters fit a 5-byte buffer
  EXPECT_EQ(in.readLine(5).value(), "ef");    // the rest of the line, CR LF removed
  EXPECT_EQ(in.readLine(260).value(), "xy");
  EXPECT_EQ(in.readLine(260).value(), "");
  EXPECT_EQ(in.readLine(260).value(), "last");
  EXPECT_FALSE(in.readLine(260).has_value());
}

TEST(TextScanner, FloatsAreCorrectlyRoundedLikeStrtof) {
  std::mt19937 rng{42};
  std::uniform_real_distribution<double> dist{-100000, 100000};
  char buffer[64];
  for (int i = 0; i < 20000; ++i) {
    double v = dist(rng) / std::pow(10.0, rng() % 8);
    int precision = static_cast<int>(rng() % 12);
    std::snprintf(buffer, sizeof buffer, "%.*f", precision, v);
    float expected = std::strtof(buffer, nullptr);
    float got = 0;
    const char* end = parseFloat(buffer, buffer + std::strlen(buffer), got);
    ASSERT_EQ(end, buffer + std::strlen(buffer)) << buffer;
    ASSERT_EQ(got, expected) << buffer;
    ASSERT_EQ(std::signbit(got), std::signbit(expected)) << buffer;
  }
}

TEST(TextScanner, OutOfRangeFloatsSaturateLikeScanf) {
  for (auto [text, expected] : {std::pair{"1e60", INFINITY},
                                {"-1e60", -INFINITY},
                                {"1e-60", 0.0f},
                                // Many digits with a negative exponent are still far too large.
                                {"696179508665686609597141427458763262529002e-1", INFINITY},
                                {"-52003061068977939057726437075545020457724259e-3", -INFINITY},
                                {"0.000000000000000000000000000000000000000000000000001e5", 0.0f},
                                {"0x1p200", INFINITY},
                                {"0x1p-200", 0.0f}}) {
    float got = 7;
    parseFloat(text, text + std::strlen(text), got);
    EXPECT_EQ(got, expected) << text;
  }
}

// A number as a careless or hostile file may hold it: any sign, long runs of digits on either
// side of the point, exponents of any size, hexadecimal, infinity and NaN.
std::string randomNumber(std::mt19937& rng) {
  auto digits = [&](int most) {
    std::string d;
    for (int n = static_cast<int>(rng() % static_cast<unsigned>(most + 1)); n > 0; --n)
      d += static_cast<char>('0' + rng() % 10);
    return d;
  };
  std::string s;
  if (rng() % 3 == 0) s += rng() % 2 ? '-' : '+';
  switch (rng() % 16) {
    case 0:
      return s + (rng() % 2 ? "inf" : "nan");
    case 1:
      return s + "0x" + (rng() % 2 ? "1" : "f.8") + "p" +
             std::to_string(static_cast<int>(rng() % 2000) - 1000);
    default:
      break;
  }
  std::string integer = digits(rng() % 4 == 0 ? 60 : 8);
  std::string fraction = rng() % 2 ? "." + digits(rng() % 4 == 0 ? 60 : 8) : "";
  if (integer.empty() && fraction.size() < 2) integer = "0";
  s += integer + fraction;
  if (rng() % 2) {
    s += rng() % 2 ? 'e' : 'E';
    if (rng() % 2) s += rng() % 2 ? '-' : '+';
    s += rng() % 8 == 0 ? digits(25) + "1" : std::to_string(rng() % 400);
  }
  return s;
}

TEST(TextScanner, AgreesWithTheCLibraryOnRandomNumbers) {
  std::mt19937 rng{2026};
  for (int i = 0; i < 200000; ++i) {
    const std::string text = randomNumber(rng);
    const char* first = text.c_str();
    const char* last = first + text.size();
    float expectedFloat = 0, gotFloat = 0;
    double expectedDouble = 0, gotDouble = 0;
    int usedFloat = 0, usedDouble = 0;
    ASSERT_EQ(std::sscanf(first, "%f%n", &expectedFloat, &usedFloat), 1) << text;
    ASSERT_EQ(std::sscanf(first, "%lf%n", &expectedDouble, &usedDouble), 1) << text;
    ASSERT_EQ(parseFloat(first, last, gotFloat) - first, usedFloat) << text;
    ASSERT_EQ(parseFloat(first, last, gotDouble) - first, usedDouble) << text;
    // Bit for bit, so that the sign of a zero counts; NaNs need only agree in sign.
    if (std::isnan(expectedFloat)) {
      ASSERT_TRUE(std::isnan(gotFloat) && std::signbit(gotFloat) == std::signbit(expectedFloat))
          << text;
      ASSERT_TRUE(std::isnan(gotDouble) && std::signbit(gotDouble) == std::signbit(expectedDouble))
          << text;
      continue;
    }
    ASSERT_EQ(std::memcmp(&gotFloat, &expectedFloat, sizeof(float)), 0)
        << text << ": " << gotFloat << " " << expectedFloat;
    ASSERT_EQ(std::memcmp(&gotDouble, &expectedDouble, sizeof(double)), 0)
        << text << ": " << gotDouble << " " << expectedDouble;
  }
}

// A field is whole when what closes it was read: the comma of a number written with one,
// otherwise whatever follows it. One that reaches the end of the input may go on past a cut.
TEST(TextScanner, RunsOutWhereTheInputEndsBeforeAFieldIsClosed) {
  enum Read { scan, floatComma, integerComma, line };
  const struct {
    const char* input;
    Read read;
    const char* format;
    bool ranOut;
  } cases[] = {
      {"12 ,", scan, "%d ,", false},
      {"12 ,", scan, "%d ,%d ,", true},
      {"12", scan, "%d ,", true},
      {"12", scan, "%d \n", true},
      {"12 ", scan, "%d \n", false},
      {"-", scan, "%d ,", true},  // a number cut after its sign
      {"- ,", scan, "%d ,", false},
      {"abc\n", scan, "%d", false},
      {"name", scan, "%99[^\n]", true},
      {"name\n", scan, "%99[^\n]", false},
      {"1.5 ,", floatComma, nullptr, false},
      {"1.5", floatComma, nullptr, true},
      {"1e", floatComma, nullptr, true},
      {"", floatComma, nullptr, true},
      {"7 ,", integerComma, nullptr, false},
      {"7 ", integerComma, nullptr, true},
      {"name\n", line, nullptr, false},
      {"name\r", line, nullptr, true},
      {"", line, nullptr, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string{c.input} + " / " + (c.format ? c.format : ""));
    TextScanner in{c.input};
    std::int32_t i = 0, j = 0;
    float f = 0;
    std::string text;
    switch (c.read) {
      case scan:
        if (std::strchr(c.format, '['))
          in.scan(c.format, &text);
        else
          in.scan(c.format, &i, &j);
        break;
      case floatComma:
        in.floatComma(f);
        break;
      case integerComma:
        in.integerComma(i);
        break;
      case line:
        in.readLine(100);
        break;
    }
    EXPECT_EQ(in.ranOut(), c.ranOut);
  }
}

TEST(TextScanner, ScansetsReadTheRestOfALineWithoutSkippingBlanks) {
  TextScanner in{"  Pump, main (2)\n\nnext\n"};
  std::string name = "unchanged";
  EXPECT_EQ(in.scan("%[^\n]\n", &name), 1);
  EXPECT_EQ(name, "  Pump, main (2)");
  // The blank line was eaten by the "\n" directive; an empty line matches nothing.
  TextScanner empty{"\nrest"};
  EXPECT_EQ(empty.scan("%[^\n]\n", &name), 0);
  EXPECT_EQ(name, "  Pump, main (2)");
  EXPECT_EQ(in.scan("%3[a-z]", &name), 1);
  EXPECT_EQ(name, "nex");
  EXPECT_EQ(in.scan("%[-t]", &name), 1);  // a leading '-' is itself
  EXPECT_EQ(name, "t");
}

}  // namespace
}  // namespace tessarim
