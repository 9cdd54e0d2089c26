#pragma once

// A child process for tests that need a second program: locks and files
// that another process holds are seen as another workstation sees them.

#include <functional>
#include <sys/types.h>

// A child process running a function (after a fork), with one pipe each
// way for handshakes. The child ends with the function's result and never
// runs the parent's destructors or test code.
class TChild {
public:
  explicit TChild(std::function<int(TChild&)> body);
  ~TChild();
  TChild(const TChild&) = delete;
  TChild& operator=(const TChild&) = delete;

  // Child side: tell the parent a letter; wait for the parent's letter.
  void Tell(char letter);
  char AwaitParent();
  // Parent side: wait for the child's letter (0 when it ended without one);
  // tell the child to go on.
  char AwaitChild();
  void Answer(char letter);

  // The exit status, or minus the signal that ended it.
  int Wait();
  void Kill();

private:
  pid_t Pid = -1;
  int ToParent[2] = {-1, -1};
  int ToChild[2] = {-1, -1};
  bool Waited = false;
  int Status = 0;
};
