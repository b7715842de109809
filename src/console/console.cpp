// Console output, the prompts that wait for Enter, and message formatting.
#include "console/console.hpp"

#include <cstdarg>

namespace kon2x {

namespace {

ConsoleStreams& process_console() {
    static ConsoleStreams streams;
    return streams;
}

thread_local ConsoleStreams* thread_console = nullptr;

void write_to(std::FILE* stream, std::string_view text) {
    if (std::string* transcript = console().transcript) {
        transcript->append(text);
        return;
    }
    if (stream == nullptr) {
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

// A prompt is shown and answered on a console, never kept in a transcript.
void prompt(std::string_view text) {
    if (console().transcript == nullptr) {
        write_out(text);
        wait_for_enter();
    }
}

}  // namespace

ConsoleStreams& console() {
    return thread_console != nullptr ? *thread_console : process_console();
}

ConsoleScope::ConsoleScope(ConsoleStreams& streams) : previous_(thread_console) {
    thread_console = &streams;
}

ConsoleScope::~ConsoleScope() {
    thread_console = previous_;
}

void write_out(std::string_view text) {
    write_to(console().out, text);
}

void write_err(std::string_view text) {
    write_to(console().err, text);
}

void wait_for_enter() {
    std::FILE* in = console().in;
    if (in == nullptr) {
        return;
    }
    for (int c = std::getc(in); c != EOF && c != '\n'; c = std::getc(in)) {
    }
}

void report_and_wait(std::string_view message) {
    write_out(message);
    prompt("Return->");
}

void complain_and_wait(std::string_view message) {
    write_err(message);
    prompt("--> ");
}

std::string format_message(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) {
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    }
    va_end(args);
    return text;
}

}  // namespace kon2x
