#include "forms/Threads.h"

namespace forms {

bool Thread::Start() {
  return system_ || Launch();
}

void Thread::Run() {
  try {
    Execute();
  } catch (...) {
    // Nobody in this thread could show the error: the body ends, the program goes on.
  }
  finished_ = true;
}

}  // namespace forms
