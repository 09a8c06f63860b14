#include "batch_ui.hpp"

#include <algorithm>
#include <ostream>

namespace tessarim {
namespace {

std::vector<MessageAnswer> offered(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::ok:
      return {MessageAnswer::ok};
    case MessageButtons::okCancel:
      return {MessageAnswer::ok, MessageAnswer::cancel};
    case MessageButtons::yesNo:
      return {MessageAnswer::yes, MessageAnswer::no};
    case MessageButtons::yesNoCancel:
      return {MessageAnswer::yes, MessageAnswer::no, MessageAnswer::cancel};
    case MessageButtons::retryCancel:
      return {MessageAnswer::cancel};
  }
  return {MessageAnswer::ok};
}

}  // namespace

MessageAnswer BatchUi::messageBox(std::string_view text, std::string_view caption, MessageIcon,
                                  MessageButtons buttons) {
  shown_.push_back({std::string{caption}, std::string{text}});
  err_ << caption << ": " << text << '\n';
  auto choices = offered(buttons);
  if (answer_ && std::find(choices.begin(), choices.end(), *answer_) != choices.end())
    return *answer_;
  // Unanswered, a box takes the button that writes and drops nothing.
  for (MessageAnswer safe : {MessageAnswer::cancel, MessageAnswer::no}) {
    if (std::find(choices.begin(), choices.end(), safe) != choices.end()) return safe;
  }
  return choices.front();
}

}  // namespace tessarim
