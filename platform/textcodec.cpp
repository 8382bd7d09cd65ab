#include "platform/textcodec.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace platform {
namespace {

// One conversion descriptor per direction and thread, opened on first use.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("text conversion ") + from + " -> " + to + " is not available");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; on a byte sequence that cannot be converted, appends
  // `replacement`, skips `skip(in)` input bytes and goes on.
  template <typename Skip>
  std::string convert(std::string_view in, std::string_view replacement, Skip skip, bool* lossless) {
    std::string out;
    out.resize(in.size() * 3 + 8);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      if (r != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        size_t used = static_cast<size_t>(dst - out.data());
        out.resize(out.size() * 2);
        dst = out.data() + used;
        dstLeft = out.size() - used;
        continue;
      }
      // EILSEQ or EINVAL (truncated sequence at the end): replace and go on.
      if (lossless) *lossless = false;
      size_t used = static_cast<size_t>(dst - out.data());
      if (dstLeft < replacement.size()) {
        out.resize(out.size() * 2 + replacement.size());
        dst = out.data() + used;
        dstLeft = out.size() - used;
      }
      for (char c : replacement) *dst++ = c;
      dstLeft -= replacement.size();
      size_t n = skip(std::string_view(src, srcLeft));
      src += n;
      srcLeft -= n;
    }
    out.resize(static_cast<size_t>(dst - out.data()));
    return out;
  }

 private:
  iconv_t cd_;
};

// Length of the (possibly malformed) UTF-8 sequence at the start of `s`.
size_t utf8SequenceLength(std::string_view s) {
  unsigned char c = static_cast<unsigned char>(s[0]);
  size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
  if (n > s.size()) return 1;
  for (size_t i = 1; i < n; ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return i;
  return n;
}

}  // namespace

std::string cp1250ToUtf8(std::string_view cp1250) {
  bool ascii = true;
  for (char c : cp1250)
    if (static_cast<unsigned char>(c) >= 0x80) { ascii = false; break; }
  if (ascii) return std::string(cp1250);
  thread_local Converter conv("UTF-8", "CP1250");
  return conv.convert(cp1250, "\xEF\xBF\xBD", [](std::string_view) { return size_t{1}; }, nullptr);
}

std::string utf8ToCp1250(std::string_view utf8, bool* lossless) {
  if (lossless) *lossless = true;
  bool ascii = true;
  for (char c : utf8)
    if (static_cast<unsigned char>(c) >= 0x80) { ascii = false; break; }
  if (ascii) return std::string(utf8);
  thread_local Converter conv("CP1250", "UTF-8");
  return conv.convert(utf8, "?", utf8SequenceLength, lossless);
}

}  // namespace platform
