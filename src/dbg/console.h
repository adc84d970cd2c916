// oxel-dbg PROGRAM: the command-line debugger. Commands come one per line
// from `commands` (the debugger's standard input); the program's own
// standard input is the file given with `run < FILE`, or empty, and its
// standard output and error pass through untouched. The debugger's messages
// go to standard output, its complaints to standard error. No prompt is
// written, so a session's output is the program's and the answers alone.
//
//   break LINE | FILE:LINE | FUNCTION    delete [ID]    run [< FILE]
//   continue   next   step   finish      backtrace     print NAME
//   info locals    list [LINE]    watch NAME    quit
//
// The program stops on a run-time error before its report; continuing
// writes the report. Returns the program's exit status once it has ended
// (as oxelc's), 0 when it is quit before it ends, 2 on a bad command line.
#pragma once

#include <string_view>

#include "protocol/message_stream.h"

namespace oxel::dbg {

int run_console(std::string_view path, protocol::ByteSource& commands);

}  // namespace oxel::dbg
