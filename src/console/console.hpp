// The console of the run: where messages go and where the Enter key is awaited.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace kon2x {

// The three streams of the console. Tests point them at files; a null `in`
// means "never wait" (the fuzz targets have no one to press Enter).
struct ConsoleStreams {
    std::FILE* in = stdin;
    std::FILE* out = stdout;
    std::FILE* err = stderr;
};

// The process-wide console.
ConsoleStreams& console();

// Writes text to standard output or standard error, flushed at once so that
// the two streams interleave on a terminal as they were written.
void write_out(std::string_view text);
void write_err(std::string_view text);

// Reads one line of any length from standard input, up to and including its
// line feed or the end of input, and discards it.
void wait_for_enter();

// Shows a reader's message verbatim on standard output, then "Return->", then
// waits for Enter.
void report_and_wait(std::string_view message);

// Shows a driver's message on standard error, then "--> " on standard output,
// then waits for Enter.
void complain_and_wait(std::string_view message);

// printf-style formatting into a string, for messages.
std::string format_message(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace kon2x
