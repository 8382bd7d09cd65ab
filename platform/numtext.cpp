#include "platform/numtext.h"

#include <charconv>
#include <cmath>

namespace platform {

double parseDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // from_chars would accept "inf" and "nan"; atof-style input here means digits.
  if (i >= text.size() || !(std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.')) return 0.0;
  double value = 0.0;
  auto r = std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    // Keep atof's answer for overflow; underflow is 0.
    bool big = false;
    for (const char* p = text.data() + i; p < r.ptr && *p != 'e' && *p != 'E'; ++p)
      if (*p >= '1' && *p <= '9') { big = true; break; }
    const char* e = text.data() + i;
    while (e < r.ptr && *e != 'e' && *e != 'E') ++e;
    bool negExp = e + 1 < r.ptr && e[1] == '-';
    value = big && !negExp ? HUGE_VAL : 0.0;
  } else if (r.ec != std::errc()) {
    return 0.0;
  }
  return negative ? -value : value;
}

double parseUserDecimal(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c == ',') { c = '.'; break; }
  return parseDecimal(s);
}

std::string formatG6(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
  return std::string(buf, r.ptr);
}

std::string formatFixedComma(double value, int decimals) {
  std::string s = formatFixed(value, decimals);
  for (char& c : s)
    if (c == '.') c = ',';
  return s;
}

std::string formatFixed(double value, int decimals) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (r.ec != std::errc()) return "0";
  return std::string(buf, r.ptr);
}

std::string formatShortest(float value) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

}  // namespace platform
