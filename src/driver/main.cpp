#include "driver/driver.h"

int main(int argc, char** argv) { return oxel::run_main(argc, argv, oxel::run_command_line); }
