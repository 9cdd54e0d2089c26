#include <cstdio>

int main() {
  std::puts("Halvetra: the program's windows are not built yet; the libraries and their tests are.");
  return 0;
}
