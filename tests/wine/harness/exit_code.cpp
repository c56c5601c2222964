// Exits with the code given as its argument, after saying so: lets the harness test see
// that an exit code travels through Wine and CTest unchanged.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const int code = argc > 1 ? std::atoi(argv[1]) : 0;
  std::printf("exit_code: leaving with %d\n", code);
  return code;
}
