// The answers file of a scripted user: one action per line, applied in order to whatever
// form is open or message box is showing. Blank lines and lines whose first non-blank
// character is `#` are ignored; words are separated by blanks. Actions:
//   click NAME         a click on the control of that name
//   type NAME TEXT     the edit's whole text becomes TEXT: everything after the one blank
//                      that follows NAME, blanks included (may be empty)
//   pick NAME INDEX    selects entry INDEX (0-based) of a list or combo box
//   check NAME         checks a radio button (or check box)
//   dblclick NAME      a double click on a list box (its selected entry) or an edit
//   close              the title-bar close button of the open form
//   key esc | key enter
//   reply BUTTON       answers the message box: OK CANCEL YES NO RETRY ABORT IGNORE
//   disk N             puts disk N of the set into the drive, as a user does when a message
//                      box (the installer's disk prompt) asks for it: taken while a message
//                      box is showing, before the reply that closes it
// The native runner and the Win32 robot share this format.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace forms::headless {

enum class Verb { Click, Type, Pick, Check, DblClick, Close, Key, Reply, Disk };

// One action of the scripted user.
struct Action {
  Verb verb = Verb::Click;
  std::string name;  // the control's name (click, type, pick, check, dblclick)
  std::string text;  // the text to type
  int index = 0;     // the entry to pick
  int key = 0;       // the virtual-key code (key): kVkEscape or kVkReturn
  int answer = 0;    // the message-box answer (reply): kIdOk...
  int disk = 0;      // the disk put into the drive (disk), from 1
  int line = 0;      // the line of the answers file, from 1
  friend bool operator==(const Action&, const Action&) = default;
};

// A line of the answers file that is not an action.
class AnswersError : public std::runtime_error {
 public:
  AnswersError(int line, const std::string& message);
  int Line() const { return line_; }

 private:
  int line_;
};

// Reads an answers file's text (LF or CR LF line ends). Throws AnswersError naming the
// first bad line.
std::vector<Action> ParseAnswers(std::string_view text);

// The action as it is written in an answers file (for messages).
std::string DescribeAction(const Action& action);

}  // namespace forms::headless
