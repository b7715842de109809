// The console of the run: where messages go and where the Enter key is awaited.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace kon2x {

// The three streams of the console. Tests point them at files; a null `in`
// means "never wait" (the fuzz targets have no one to press Enter). With a
// `transcript`, the messages of both streams are appended to it in the
// order they come, without the prompts, and nothing waits: a conversion of
// kon2batch collects what its single program would show.
struct ConsoleStreams {
    std::FILE* in = stdin;
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    std::string* transcript = nullptr;
};

// The console of the calling thread: the process's own, unless a
// ConsoleScope gave the thread another.
ConsoleStreams& console();

// While it lives, the calling thread's console is `streams` (one conversion
// among several running at once); then the one it had before.
class ConsoleScope {
public:
    explicit ConsoleScope(ConsoleStreams& streams);
    ~ConsoleScope();
    ConsoleScope(const ConsoleScope&) = delete;
    ConsoleScope& operator=(const ConsoleScope&) = delete;

private:
    ConsoleStreams* previous_;
};

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
