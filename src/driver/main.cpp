#include "driver/sfc_parse.h"

int main(int argc, char **argv) { return SFC_main(argc, argv); }
