#include "forms/headless/Answers.h"

#include <optional>

#include "forms/Component.h"
#include "forms/MessageBox.h"

namespace forms::headless {
namespace {

bool IsBlank(char ch) {
  return ch == ' ' || ch == '\t';
}

// Reads the word at `pos` after any blanks; `pos` ends just after it.
std::string_view NextWord(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  std::size_t start = pos;
  while (pos < line.size() && !IsBlank(line[pos])) ++pos;
  return line.substr(start, pos - start);
}

struct LineReader {
  std::string_view line;
  int number;
  std::size_t pos = 0;

  [[noreturn]] void Fail(const std::string& message) const { throw AnswersError(number, message); }

  std::string_view Word(const char* what) {
    std::string_view word = NextWord(line, pos);
    if (word.empty()) Fail(std::string("missing ") + what);
    return word;
  }

  void End() {
    std::string_view rest = NextWord(line, pos);
    if (!rest.empty()) Fail("unexpected \"" + std::string(rest) + "\" at the end");
  }
};

int WholeNumber(const LineReader& reader, std::string_view word, const char* what) {
  if (word.size() > 9 || word.find_first_not_of("0123456789") != std::string_view::npos)
    reader.Fail("the " + std::string(what) + " \"" + std::string(word) + "\" is not a number");
  return std::stoi(std::string(word));
}

std::optional<Action> ParseLine(std::string_view line, int number) {
  LineReader reader{line, number};
  std::string_view verb = NextWord(line, reader.pos);
  if (verb.empty() || verb.front() == '#') return std::nullopt;
  Action action;
  action.line = number;
  if (verb == "click" || verb == "check" || verb == "dblclick") {
    action.verb = verb == "click" ? Verb::Click : verb == "check" ? Verb::Check : Verb::DblClick;
    action.name = reader.Word("control name");
    reader.End();
  } else if (verb == "type") {
    action.verb = Verb::Type;
    action.name = reader.Word("control name");
    // The text starts after the one blank that follows the name and is kept as it is.
    if (reader.pos < line.size()) action.text = line.substr(reader.pos + 1);
  } else if (verb == "pick") {
    action.verb = Verb::Pick;
    action.name = reader.Word("control name");
    std::string_view index = reader.Word("entry index");
    action.index = WholeNumber(reader, index, "entry index");
    reader.End();
  } else if (verb == "close") {
    action.verb = Verb::Close;
    reader.End();
  } else if (verb == "key") {
    action.verb = Verb::Key;
    std::string_view key = reader.Word("key");
    if (key == "esc")
      action.key = kVkEscape;
    else if (key == "enter")
      action.key = kVkReturn;
    else
      reader.Fail("unknown key \"" + std::string(key) + "\" (esc or enter)");
    reader.End();
  } else if (verb == "reply") {
    action.verb = Verb::Reply;
    std::string_view button = reader.Word("button");
    action.answer = AnswerOfWord(button);
    if (action.answer == 0) reader.Fail("unknown button \"" + std::string(button) + "\"");
    reader.End();
  } else if (verb == "disk") {
    action.verb = Verb::Disk;
    action.disk = WholeNumber(reader, reader.Word("disk number"), "disk number");
    if (action.disk == 0) reader.Fail("the disks of a set count from 1");
    reader.End();
  } else {
    reader.Fail("unknown action \"" + std::string(verb) + "\"");
  }
  return action;
}

std::string_view AnswerWord(int answer) {
  switch (answer) {
    case kIdOk:
      return "OK";
    case kIdCancel:
      return "CANCEL";
    case kIdAbort:
      return "ABORT";
    case kIdRetry:
      return "RETRY";
    case kIdIgnore:
      return "IGNORE";
    case kIdYes:
      return "YES";
    case kIdNo:
      return "NO";
    default:
      return "?";
  }
}

}  // namespace

AnswersError::AnswersError(int line, const std::string& message)
    : std::runtime_error("answers line " + std::to_string(line) + ": " + message), line_(line) {}

std::vector<Action> ParseAnswers(std::string_view text) {
  std::vector<Action> actions;
  int number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::string_view line =
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    start = end == std::string_view::npos ? text.size() : end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (std::optional<Action> action = ParseLine(line, number)) actions.push_back(*action);
  }
  return actions;
}

std::string DescribeAction(const Action& action) {
  switch (action.verb) {
    case Verb::Click:
      return "click " + action.name;
    case Verb::Type:
      return "type " + action.name + " " + action.text;
    case Verb::Pick:
      return "pick " + action.name + " " + std::to_string(action.index);
    case Verb::Check:
      return "check " + action.name;
    case Verb::DblClick:
      return "dblclick " + action.name;
    case Verb::Close:
      return "close";
    case Verb::Key:
      return action.key == kVkEscape ? "key esc" : "key enter";
    case Verb::Disk:
      return "disk " + std::to_string(action.disk);
    case Verb::Reply:
    default:
      return "reply " + std::string(AnswerWord(action.answer));
  }
}

}  // namespace forms::headless
