#include "testing/ChildProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

TChild::TChild(std::function<int(TChild&)> body) {
  if (::pipe(ToParent) != 0 || ::pipe(ToChild) != 0)
    throw std::runtime_error("no pipe");
  Pid = ::fork();
  if (Pid < 0)
    throw std::runtime_error("no fork");
  if (Pid == 0) {
    ::close(ToParent[0]);
    ::close(ToChild[1]);
    int result = 1;
    try {
      result = body(*this);
    } catch (...) {
      result = 125;
    }
    ::_exit(result);
  }
  ::close(ToParent[1]);
  ::close(ToChild[0]);
}

TChild::~TChild() {
  if (!Waited) {
    Kill();
    Wait();
  }
  ::close(ToParent[0]);
  ::close(ToChild[1]);
}

void TChild::Tell(char letter) {
  if (::write(ToParent[1], &letter, 1) != 1)
    ::_exit(124);
}

char TChild::AwaitParent() {
  char letter = 0;
  return ::read(ToChild[0], &letter, 1) == 1 ? letter : 0;
}

char TChild::AwaitChild() {
  char letter = 0;
  return ::read(ToParent[0], &letter, 1) == 1 ? letter : 0;
}

void TChild::Answer(char letter) {
  if (::write(ToChild[1], &letter, 1) != 1)
    ADD_FAILURE() << "the child is gone";
}

int TChild::Wait() {
  if (Waited)
    return Status;
  int status = 0;
  while (::waitpid(Pid, &status, 0) < 0 && errno == EINTR) {
  }
  Waited = true;
  Status = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? -WTERMSIG(status) : -1;
  return Status;
}

void TChild::Kill() {
  if (!Waited)
    ::kill(Pid, SIGKILL);
}
