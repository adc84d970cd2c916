// oxel-prof: runs an Oxel program and reports where its time went (see
// command_line.h), started as oxelc is.
#include "driver/driver.h"
#include "prof/command_line.h"

int main(int argc, char** argv) { return oxel::run_main(argc, argv, oxel::prof::run_command_line); }
