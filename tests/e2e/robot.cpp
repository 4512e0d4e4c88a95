// The robot: plays the user of a running setup.exe from an answers file (the format that
// setup-sim reads) and writes what it sees in setup-sim's transcript format. It finds the
// program's forms by their window class and its controls by the ids computed from their
// names, presses buttons and types into edits with window messages, and reads message
// boxes (a "#32770" window whose text is the static control 0xFFFF). Page codes are not
// visible from outside, so a form's caption change is written as `caption "..."`.
//
// usage: robot --answers FILE --transcript FILE [--timeout SECONDS] [--snap-dir DIR]
//              [--clock FILE] [--changer DIR] [--ink FILE --ink-seen FILE]
// With --snap-dir, each event line is followed by DIR\request-N and a wait (at most 30 s)
// for DIR\done-N, so that a screenshot can be taken of what the line describes.
// With --clock, every event line and every action ("do " and the answers line) is also
// written to FILE after the milliseconds since the robot started and a tab, so that a
// benchmark can time a stretch of the run from outside the program.
// With --changer, a `disk N` answer (taken while a message box shows, as setup-sim takes it)
// writes DIR\change-K holding N, K counting the changes from 1, and waits (at most 60 s)
// for DIR\changed-K: "ok" when the host put disk N into the drive, otherwise why not. A
// Windows program cannot relink a drive of its Wine prefix; the host can.
// With --ink, each line of FILE names a form by its caption, a tab, and a rectangle of its
// client area as LEFT,TOP,RIGHT,BOTTOM (a label's place); whenever the form is on the
// screen the robot counts the dark pixels there (text drawn in black on the face colour).
// At the end --ink-seen gets each line of FILE followed by a tab and the most it counted,
// or -1 when the form never showed.
//
// Exit codes as setup-sim's: 0 the program ended after the answers; 1 bad command line;
// 2 an answer did not fit what was open; 3 the answers ran out while the program waited.
#include "forms/win32/WindowsUi.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "forms/Component.h"
#include "forms/MessageBox.h"
#include "forms/Quote.h"
#include "forms/headless/Answers.h"
#include "forms/win32/ControlIds.h"

namespace {

using forms::headless::Action;
using forms::headless::Verb;

constexpr const char* kFormClass = "TavrinSetupForm";
constexpr DWORD kPollMs = 50;

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

// The text of a window of another process (WM_GETTEXT is carried across processes).
std::string TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
    return {};
  std::string text(length + 1, '\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &got);
  text.resize(got);
  return text;
}

bool Usable(HWND window) {
  return window && IsWindowVisible(window) && IsWindowEnabled(window);
}

BOOL CALLBACK AddVisible(HWND window, LPARAM list) {
  if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

// The visible top-level windows, front first.
std::vector<HWND> TopWindows() {
  std::vector<HWND> out;
  EnumWindows(AddVisible, reinterpret_cast<LPARAM>(&out));
  return out;
}

HWND FindMessageBox() {
  for (HWND window : TopWindows())
    if (ClassOf(window) == "#32770" && GetDlgItem(window, 0xFFFF)) return window;
  return nullptr;
}

// The front form that takes input (and has the control, when one is named).
HWND FindForm(const std::string& controlName) {
  const int id = forms::win32::ControlIdOf(controlName);
  for (HWND window : TopWindows()) {
    if (ClassOf(window) != kFormClass || !IsWindowEnabled(window)) continue;
    if (controlName.empty() || Usable(GetDlgItem(window, id))) return window;
  }
  return nullptr;
}

// The front form with a title bar (the wizard and the dialogs; the borderless main window
// and notice have no caption a user reads).
HWND FindCaptionedForm() {
  for (HWND window : TopWindows())
    if (ClassOf(window) == kFormClass && IsWindowEnabled(window) &&
        (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
      return window;
  return nullptr;
}

// The buttons of a message box, as the transcript names the set.
std::string ButtonsOf(HWND box) {
  const auto has = [box](int id) { return GetDlgItem(box, id) != nullptr; };
  unsigned flags = forms::kMbOk;
  if (has(IDABORT))
    flags = forms::kMbAbortRetryIgnore;
  else if (has(IDYES))
    flags = has(IDCANCEL) ? forms::kMbYesNoCancel : forms::kMbYesNo;
  else if (has(IDRETRY))
    flags = forms::kMbRetryCancel;
  else if (has(IDCANCEL))
    flags = forms::kMbOkCancel;
  return std::string(forms::ButtonsName(flags));
}

// A 32 x 32 picture: what the screen shows at (x, y), or an icon drawn on a background.
std::vector<COLORREF> Picture(HDC source, int x, int y, HICON icon, COLORREF background) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
  HGDIOBJ old = SelectObject(memory, bitmap);
  if (icon) {
    RECT all{0, 0, 32, 32};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
  } else {
    BitBlt(memory, 0, 0, 32, 32, source, x, y, SRCCOPY);
  }
  std::vector<COLORREF> pixels;
  for (int py = 0; py < 32; ++py)
    for (int px = 0; px < 32; ++px) pixels.push_back(GetPixel(memory, px, py));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// A part of a form's client area and the most dark pixels seen there.
struct InkCheck {
  std::string line;  // as given: caption, tab, rectangle
  std::string caption;
  RECT area{};
  long most = -1;
};

std::vector<InkCheck> ReadInkChecks(const std::string& path) {
  std::vector<InkCheck> checks;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    InkCheck check{line, line.substr(0, tab), {}, -1};
    if (std::sscanf(line.c_str() + tab + 1, "%ld,%ld,%ld,%ld", &check.area.left, &check.area.top,
                    &check.area.right, &check.area.bottom) == 4)
      checks.push_back(check);
  }
  return checks;
}

// The dark pixels (text in black) on the screen in `area` of the client area of `form`.
long InkIn(HWND form, const RECT& area) {
  POINT origin{area.left, area.top};
  ClientToScreen(form, &origin);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return 0;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  long dark = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF c = GetPixel(memory, x, y);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 96) ++dark;
    }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return dark;
}

long Distance(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
  long sum = 0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
    sum += std::labs(long(GetRValue(a[i])) - GetRValue(b[i])) +
           std::labs(long(GetGValue(a[i])) - GetGValue(b[i])) +
           std::labs(long(GetBValue(a[i])) - GetBValue(b[i]));
  return sum;
}

// The standard icon a message box shows: icon handles do not cross processes, so the
// icon on the screen is compared with each standard icon drawn here on the same
// background, and the closest one names it.
std::string IconOf(HWND box) {
  HWND control = nullptr;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (ClassOf(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        IsWindowVisible(child))
      control = child;
  if (!control) return "none";
  RECT place{};
  GetWindowRect(control, &place);
  HDC screen = GetDC(nullptr);
  const std::vector<COLORREF> shown = Picture(screen, place.left, place.top, nullptr, 0);
  ReleaseDC(nullptr, screen);
  const std::pair<LPCSTR, const char*> standard[] = {{IDI_HAND, "error"},
                                                     {IDI_QUESTION, "question"},
                                                     {IDI_EXCLAMATION, "warning"},
                                                     {IDI_ASTERISK, "info"}};
  std::string best = "unknown";
  long bestDistance = -1;
  for (const auto& [resource, name] : standard) {
    const long d = Distance(shown, Picture(nullptr, 0, 0, LoadIconA(nullptr, resource), shown[0]));
    if (bestDistance < 0 || d < bestDistance) {
      bestDistance = d;
      best = name;
    }
  }
  return best;
}

class Robot {
 public:
  Robot(std::vector<Action> actions, std::ofstream& out, std::string snapDir, DWORD timeoutMs,
        std::ofstream* clock, std::string changerDir, std::vector<InkCheck> inkChecks)
      : actions_(std::move(actions)),
        out_(out),
        snapDir_(std::move(snapDir)),
        timeoutMs_(timeoutMs),
        clock_(clock),
        changerDir_(std::move(changerDir)),
        inkChecks_(std::move(inkChecks)) {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
  }

  int Run() {
    for (const Action& action : actions_) {
      if (int code = Apply(action)) return code;
    }
    // The answers are done: the program must end without asking anything more. Forms
    // that come to the front while it closes are not events of the run.
    watchCaptions_ = false;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs_) {
      Observe();
      if (FindMessageBox()) return Stop(3, "the answers ran out while a message box was showing");
      if (Ended()) {
        Write("exit");
        return 0;
      }
      Sleep(kPollMs);
    }
    return Stop(3, "the answers ran out while the program was still running");
  }

  const std::vector<InkCheck>& InkChecks() const { return inkChecks_; }

 private:
  // Writes events seen since the last look: a new message box, a new form caption.
  void Observe() {
    LookForInk();
    HWND box = FindMessageBox();
    if (box && box != lastBox_) {
      lastBox_ = box;
      Remember(box);
      Write("message " + forms::Quote(TextOf(box)) + " " + IconOf(box) + " " + ButtonsOf(box) +
            " " + forms::Quote(TextOf(GetDlgItem(box, 0xFFFF))));
    }
    HWND form = FindCaptionedForm();
    if (HWND any = FindForm({})) Remember(any);
    if (form && !box && watchCaptions_) {
      Remember(form);
      const std::string caption = TextOf(form);
      if (caption != lastCaption_) {
        lastCaption_ = caption;
        Write("caption " + forms::Quote(caption));
      }
    }
  }

  // Counts the dark pixels of each checked area whose form is on the screen now.
  void LookForInk() {
    if (inkChecks_.empty()) return;
    for (HWND window : TopWindows()) {
      if (ClassOf(window) != kFormClass) continue;
      const std::string caption = TextOf(window);
      for (InkCheck& check : inkChecks_)
        if (check.caption == caption) check.most = std::max(check.most, InkIn(window, check.area));
    }
  }

  void Remember(HWND window) {
    if (process_) return;
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    process_ = OpenProcess(SYNCHRONIZE, FALSE, id);
  }

  bool Ended() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }

  // Waits for what the action needs; returns the window, or null after the timeout.
  HWND WaitFor(const Action& action) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs_) {
      Observe();
      HWND box = FindMessageBox();
      HWND found = nullptr;
      if (action.verb == Verb::Reply || action.verb == Verb::Disk) {
        found = box;
      } else if (!box) {
        const bool named = action.verb != Verb::Close && action.verb != Verb::Key;
        found = FindForm(named ? action.name : std::string());
      }
      if (found) {
        Observe();  // what came up since the last look is written before the action
        return found;
      }
      if (Ended()) return nullptr;
      Sleep(kPollMs);
    }
    return nullptr;
  }

  int Apply(const Action& action) {
    HWND target = WaitFor(action);
    if (!target) {
      std::string what = Ended() ? "the program ended" : "nothing it fits showed";
      return Stop(2, "answers line " + std::to_string(action.line) + ": " +
                         forms::headless::DescribeAction(action) + " does not fit: " + what);
    }
    const int id = forms::win32::ControlIdOf(action.name);
    HWND control = action.name.empty() ? nullptr : GetDlgItem(target, id);
    Stamp("do " + forms::headless::DescribeAction(action));
    switch (action.verb) {
      case Verb::Reply: {
        HWND button = GetDlgItem(target, action.answer);
        if (!button)
          return Stop(2, "answers line " + std::to_string(action.line) +
                             ": the message box has no such button");
        Press(button);
        WaitGone(target);
        break;
      }
      case Verb::Click:
      case Verb::Check:
        Press(control);
        break;
      case Verb::Type:
        SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(action.text.c_str()),
                            SMTO_ABORTIFHUNG, 5000, nullptr);
        break;
      case Verb::Pick: {
        const bool combo = ClassOf(control) == "ComboBox";
        SendMessageTimeoutA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, action.index, 0,
                            SMTO_ABORTIFHUNG, 5000, nullptr);
        const WPARAM code = combo ? CBN_SELCHANGE : LBN_SELCHANGE;
        SendMessageTimeoutA(target, WM_COMMAND, MAKEWPARAM(id, code),
                            reinterpret_cast<LPARAM>(control), SMTO_ABORTIFHUNG, 500, nullptr);
        break;
      }
      case Verb::DblClick:
        SendMessageTimeoutA(target, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK),
                            reinterpret_cast<LPARAM>(control), SMTO_ABORTIFHUNG, 500, nullptr);
        break;
      case Verb::Close:
        SendMessageTimeoutA(target, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 500, nullptr);
        break;
      case Verb::Key:
        PostMessageA(target, WM_KEYDOWN, static_cast<WPARAM>(action.key), 0);
        SendMessageTimeoutA(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, nullptr);
        break;
      case Verb::Disk:
        if (const std::string refused = ChangeDisk(action.disk); !refused.empty())
          return Stop(2, "answers line " + std::to_string(action.line) + ": " +
                             forms::headless::DescribeAction(action) + " does not fit: " + refused);
        break;
    }
    return 0;
  }

  // Asks the host to put disk `disk` into the drive; empty when it did, otherwise why not.
  std::string ChangeDisk(int disk) {
    if (changerDir_.empty()) return "the robot was started without --changer";
    const std::string k = std::to_string(++changes_);
    const std::string request = changerDir_ + "\\change-" + k;
    std::ofstream(request + ".tmp") << disk << '\n';
    MoveFileA((request + ".tmp").c_str(), request.c_str());  // whole, or not there
    const std::string answer = changerDir_ + "\\changed-" + k;
    for (DWORD waited = 0; waited < 60000; waited += kPollMs) {
      if (GetFileAttributesA(answer.c_str()) != INVALID_FILE_ATTRIBUTES) {
        std::string reply;
        std::getline(std::ifstream(answer), reply);
        if (!reply.empty() && reply.back() == '\r') reply.pop_back();
        return reply == "ok" ? std::string() : "the host did not change the disk: " + reply;
      }
      Sleep(kPollMs);
    }
    return "the host did not answer within 60 s";
  }

  // A click that returns once the program has handled it, or has opened a modal window
  // inside its handler (then the click goes on in there and the robot goes on here).
  void Press(HWND button) {
    SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 500, nullptr);
  }

  void WaitGone(HWND window) {
    const DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window) && GetTickCount() - start < timeoutMs_)
      Sleep(kPollMs);
    lastBox_ = nullptr;
  }

  // A line of the clock file: the time since the start, a tab and `what`.
  void Stamp(const std::string& what) {
    if (!clock_) return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.1f\t",
                  1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) /
                      static_cast<double>(frequency_.QuadPart));
    *clock_ << ms << what << '\n';
    clock_->flush();
  }

  void Write(const std::string& line) {
    Stamp(line);
    out_ << line << '\n';
    out_.flush();
    if (snapDir_.empty()) return;
    const std::string n = std::to_string(++events_);
    std::ofstream(snapDir_ + "\\request-" + n) << line << '\n';
    const std::string done = snapDir_ + "\\done-" + n;
    for (DWORD waited = 0; waited < 30000; waited += kPollMs) {
      if (GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES) break;
      Sleep(kPollMs);
    }
  }

  int Stop(int code, const std::string& message) {
    std::fprintf(stderr, "robot: %s\n", message.c_str());
    for (HWND window : TopWindows())
      std::fprintf(stderr, "  window %s \"%s\"%s\n", ClassOf(window).c_str(),
                   TextOf(window).c_str(), IsWindowEnabled(window) ? "" : " (disabled)");
    return code;
  }

  std::vector<Action> actions_;
  std::ofstream& out_;
  std::string snapDir_;
  DWORD timeoutMs_;
  HANDLE process_ = nullptr;
  HWND lastBox_ = nullptr;
  std::string lastCaption_;
  int events_ = 0;
  bool watchCaptions_ = true;
  std::ofstream* clock_;
  LARGE_INTEGER frequency_{};
  LARGE_INTEGER start_{};
  std::string changerDir_;
  int changes_ = 0;
  std::vector<InkCheck> inkChecks_;
};

}  // namespace

int main(int argc, char** argv) {
  std::string answersPath, transcriptPath, snapDir, clockPath, changerDir, inkPath, inkSeenPath;
  DWORD timeoutMs = 60000;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--answers")
      answersPath = argv[i + 1];
    else if (option == "--transcript")
      transcriptPath = argv[i + 1];
    else if (option == "--snap-dir")
      snapDir = argv[i + 1];
    else if (option == "--clock")
      clockPath = argv[i + 1];
    else if (option == "--changer")
      changerDir = argv[i + 1];
    else if (option == "--ink")
      inkPath = argv[i + 1];
    else if (option == "--ink-seen")
      inkSeenPath = argv[i + 1];
    else if (option == "--timeout")
      timeoutMs = static_cast<DWORD>(std::stoul(argv[i + 1]) * 1000);
  }
  if (transcriptPath.empty()) {
    std::fprintf(stderr,
                 "usage: robot --answers FILE --transcript FILE [--timeout S] [--snap-dir DIR] "
                 "[--clock FILE] [--changer DIR] [--ink FILE --ink-seen FILE]\n");
    return 1;
  }
  std::vector<Action> actions;
  if (!answersPath.empty()) {
    std::ifstream in(answersPath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    try {
      actions = forms::headless::ParseAnswers(text.str());
    } catch (const forms::headless::AnswersError& bad) {
      std::fprintf(stderr, "robot: %s:%d: %s\n", answersPath.c_str(), bad.Line(), bad.what());
      return 1;
    }
  }
  std::ofstream out(transcriptPath, std::ios::binary);
  std::ofstream clock;
  if (!clockPath.empty()) clock.open(clockPath, std::ios::binary);
  Robot robot(std::move(actions), out, snapDir, timeoutMs, clockPath.empty() ? nullptr : &clock,
              changerDir, inkPath.empty() ? std::vector<InkCheck>() : ReadInkChecks(inkPath));
  const int code = robot.Run();
  if (!inkSeenPath.empty()) {
    std::ofstream seen(inkSeenPath, std::ios::binary);
    for (const InkCheck& check : robot.InkChecks())
      seen << check.line << '\t' << check.most << '\n';
  }
  return code;
}
