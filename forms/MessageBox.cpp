#include "forms/MessageBox.h"

namespace forms {

std::string_view ButtonsName(unsigned flags) {
  switch (flags & kMbButtonsMask) {
    case kMbOkCancel:
      return "OKCANCEL";
    case kMbAbortRetryIgnore:
      return "ABORTRETRYIGNORE";
    case kMbYesNoCancel:
      return "YESNOCANCEL";
    case kMbYesNo:
      return "YESNO";
    case kMbRetryCancel:
      return "RETRYCANCEL";
    default:
      return "OK";
  }
}

std::string_view IconName(unsigned flags) {
  switch (flags & kMbIconMask) {
    case kMbIconError:
      return "error";
    case kMbIconQuestion:
      return "question";
    case kMbIconWarning:
      return "warning";
    case kMbIconInformation:
      return "info";
    default:
      return "none";
  }
}

bool HasButton(unsigned flags, int answer) {
  switch (flags & kMbButtonsMask) {
    case kMbOkCancel:
      return answer == kIdOk || answer == kIdCancel;
    case kMbAbortRetryIgnore:
      return answer == kIdAbort || answer == kIdRetry || answer == kIdIgnore;
    case kMbYesNoCancel:
      return answer == kIdYes || answer == kIdNo || answer == kIdCancel;
    case kMbYesNo:
      return answer == kIdYes || answer == kIdNo;
    case kMbRetryCancel:
      return answer == kIdRetry || answer == kIdCancel;
    default:
      return answer == kIdOk;
  }
}

int CancelAnswer(unsigned flags) {
  if (HasButton(flags, kIdCancel)) return kIdCancel;
  if (HasButton(flags, kIdAbort)) return kIdAbort;
  if (HasButton(flags, kIdNo)) return kIdNo;
  return kIdOk;
}

int AnswerOfWord(std::string_view word) {
  struct Entry {
    std::string_view word;
    int answer;
  };
  static constexpr Entry kWords[] = {
      {"OK", kIdOk},         {"CANCEL", kIdCancel}, {"ABORT", kIdAbort}, {"RETRY", kIdRetry},
      {"IGNORE", kIdIgnore}, {"YES", kIdYes},       {"NO", kIdNo}};
  for (const Entry& entry : kWords)
    if (entry.word == word) return entry.answer;
  return 0;
}

}  // namespace forms
