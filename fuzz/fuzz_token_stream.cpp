// The token text under "wnd.ini" and project files: the input drives a
// sequence of reads of every kind, as the readers would ask for them.

#include <cmath>
#include <cstdint>
#include <string_view>

#include "document/token_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first bytes choose the reads; the rest is the text.
  const size_t plan = std::min<size_t>(data[0], size - 1);
  const uint8_t* ops = data + 1;
  TokenReader in(std::string_view(reinterpret_cast<const char*>(data + 1 + plan), size - 1 - plan));
  for (size_t i = 0; i < plan; ++i) {
    switch (ops[i] % 8) {
      case 0: (void)in.readInt(); break;
      case 1: (void)in.readUint(); break;
      case 2: if (!std::isfinite(in.readFloat())) __builtin_trap(); break;  // damaged numbers read as 0
      case 3: (void)in.readDoubleFull(); break;
      case 4: {
        // A text read back from its own escaped form is the same text.
        const std::string text = in.readText();
        TokenWriter w;
        w.writeText(text);
        TokenReader back(w.text());
        if (!text.empty() && back.readText() != text) __builtin_trap();
        break;
      }
      case 5: {
        bool overflow = false;
        // Never negative; a count past the capacity is reported.
        const int n = in.readCount(ops[i], &overflow);
        if (n < 0 || overflow != (n > ops[i])) __builtin_trap();
        break;
      }
      case 6: in.setMagnitudeLimit(ops[i] * 1.0e5); break;
      default: (void)in.next(); break;
    }
    if (in.atEnd()) break;
  }
  return 0;
}
