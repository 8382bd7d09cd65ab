#pragma once
// Messages to the user. The model says what it has to say through the
// current sink: the program shows message boxes, the command line prints
// them, tests read them back. Texts and captions are Windows-1250.

#include <string>
#include <vector>

namespace platform {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct Message {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
};

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual MessageAnswer show(const Message& message) = 0;
};

// The current sink; without one set, messages go to the standard error
// stream and the first button is the answer.
MessageSink& messages();
// Installs `sink` (not owned); null goes back to the standard error stream.
void setMessageSink(MessageSink* sink);

// Shows a message with an OK button.
inline void tell(const std::string& text, const std::string& caption, MessageIcon icon = MessageIcon::None) {
  messages().show({text, caption, icon, MessageButtons::Ok});
}

// Keeps every message and answers with `answer`; installs itself for its lifetime.
class RecordingMessageSink : public MessageSink {
 public:
  RecordingMessageSink() { setMessageSink(this); }
  ~RecordingMessageSink() override { setMessageSink(nullptr); }
  MessageAnswer show(const Message& message) override {
    shown.push_back(message);
    return answer;
  }
  std::vector<Message> shown;
  MessageAnswer answer = MessageAnswer::Ok;
};

}  // namespace platform
