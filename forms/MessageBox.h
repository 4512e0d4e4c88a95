// The flags and answers of message boxes, with their Windows values (MB_*, ID*). Our own
// names: the <windows.h> macros would clash with them.
#pragma once

#include <string_view>

namespace forms {

// Button sets (low four bits of the flags).
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbOkCancel = 0x1;
constexpr unsigned kMbAbortRetryIgnore = 0x2;
constexpr unsigned kMbYesNoCancel = 0x3;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbRetryCancel = 0x5;
constexpr unsigned kMbButtonsMask = 0xF;

// Icons (bits 4 to 7).
constexpr unsigned kMbIconError = 0x10;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconWarning = 0x30;
constexpr unsigned kMbIconInformation = 0x40;
constexpr unsigned kMbIconMask = 0xF0;

// Answers: the identifier of the pressed button.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// The transcript name of the button set: "OK", "OKCANCEL", "ABORTRETRYIGNORE",
// "YESNOCANCEL", "YESNO", "RETRYCANCEL" (unknown sets read "OK", as Windows shows them).
std::string_view ButtonsName(unsigned flags);

// The transcript name of the icon: "error", "question", "warning", "info" or "none".
std::string_view IconName(unsigned flags);

// True when the box of these flags has the button of this answer.
bool HasButton(unsigned flags, int answer);

// The answer of a box that is closed without a choice (a quit request): Cancel where the
// box has one, otherwise Abort, No or OK.
int CancelAnswer(unsigned flags);

// The answer for a button word: "OK", "CANCEL", "YES", "NO", "RETRY", "ABORT", "IGNORE";
// 0 for any other word.
int AnswerOfWord(std::string_view word);

}  // namespace forms
