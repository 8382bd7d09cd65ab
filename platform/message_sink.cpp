#include "platform/message_sink.h"

#include <cstdio>

#include "platform/textcodec.h"

namespace platform {
namespace {

class StderrSink : public MessageSink {
 public:
  MessageAnswer show(const Message& m) override {
    std::fprintf(stderr, "%s: %s\n", cp1250ToUtf8(m.caption).c_str(), cp1250ToUtf8(m.text).c_str());
    switch (m.buttons) {
      case MessageButtons::YesNo:
      case MessageButtons::YesNoCancel: return MessageAnswer::Yes;
      default: return MessageAnswer::Ok;
    }
  }
};

MessageSink* gSink = nullptr;

}  // namespace

MessageSink& messages() {
  static StderrSink fallback;
  return gSink ? *gSink : fallback;
}

void setMessageSink(MessageSink* sink) { gSink = sink; }

}  // namespace platform
