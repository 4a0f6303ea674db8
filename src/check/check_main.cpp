// mosaiq-check: tells an author where a WVE file goes wrong.
#include "check/check_command.h"
#include "startup.h"

int main(int argc, char** argv) {
  return mosaiq::check::run_check(mosaiq::startup_arguments(argc, argv));
}
