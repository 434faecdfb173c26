// sfcparse_mq_timeout SECONDS ARGS...: the parser, with the time-out of the queue
// link shortened to SECONDS, for the end-to-end test of a companion that never
// answers. The program itself always waits 20 seconds.
#include <cstdlib>

#include "driver/sfc_parse.h"
#include "ipc/ipc.h"

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  MQ_set_timeout(static_cast<unsigned>(std::atoi(argv[1])));
  argv[1] = argv[0];
  return SFC_main(argc - 1, argv + 1);
}
