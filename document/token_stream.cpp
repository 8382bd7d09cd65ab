#include "document/token_stream.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "platform/numtext.h"

std::string escapeText(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '_')
      c = '|';
    else if (c == ' ' || (c >= '\t' && c <= '\r'))
      c = '_';  // a line break or tab (of a multi-line text) would split the token: it reads back as a space
  }
  return out;
}

std::string unescapeText(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '_')
      c = ' ';
    else if (c == '|')
      c = '_';
  }
  return out;
}

void TokenWriter::line(std::string_view s) {
  out_.append(s);
  out_.append("\r\n");
}

void TokenWriter::writeInt(int64_t v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  line(std::string_view(buf, static_cast<size_t>(r.ptr - buf)));
}

void TokenWriter::writeDouble(double v) { line(platform::formatG6(v)); }

void TokenWriter::writeText(std::string_view text) { line(text.empty() ? std::string("_") : escapeText(text)); }

void TokenWriter::writeTextOrEmptyLine(std::string_view text) { line(escapeText(text)); }

void TokenWriter::writeToken(std::string_view token) { line(token); }

namespace {
bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
}  // namespace

bool TokenReader::atEnd() {
  while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
  return pos_ >= text_.size();
}

std::string_view TokenReader::next() {
  if (atEnd()) return {};
  const size_t start = pos_;
  while (pos_ < text_.size() && !isBlank(text_[pos_])) ++pos_;
  return text_.substr(start, pos_ - start);
}

int32_t TokenReader::readInt() {
  std::string_view t = next();
  // A decimal integer as the stream reads it; the writer writes uints as
  // unsigned text, which is taken modulo 2^32.
  int64_t v = 0;
  const char* b = t.data();
  const char* e = t.data() + t.size();
  if (b != e && *b == '+') ++b;
  auto r = std::from_chars(b, e, v);
  // Beyond what an int or a uint holds: no number of this format.
  if (r.ec == std::errc::result_out_of_range || v < INT32_MIN || v > static_cast<int64_t>(UINT32_MAX)) return 0;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

double TokenReader::bounded(double d) const {
  if (!std::isfinite(d)) return 0.0;
  return std::clamp(d, -limit_, limit_);
}

float TokenReader::readFloat() { return static_cast<float>(bounded(platform::parseDecimal(next()))); }

double TokenReader::readDoubleFull() { return bounded(platform::parseDecimal(next())); }

std::string TokenReader::readText() {
  std::string t = unescapeText(next());
  if (t == " ") t.clear();
  return t;
}

int TokenReader::readCount(int capacity, bool* overflow) {
  const int32_t v = readInt();
  if (overflow) *overflow = v > capacity;
  if (v < 0) return 0;
  return v;
}
