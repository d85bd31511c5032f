#pragma once
#include "platform/single_instance.h"
#include <juce_core/juce_core.h>
#include <string>

// How a later start and the running copy talk: the start sends its arguments, the running copy
// answers with an exit status and one text (standard output for status 0, else standard error).
// A request is a 4-byte little-endian length and that many bytes of UTF-8, each argument ended by
// a NUL; an answer is one status byte, a 4-byte length and the text.
namespace command_channel
{
constexpr int max_request = 4096;
constexpr int request_timeout_ms = 2000; // for the whole request: a silent client is dropped
constexpr int max_answer = 1 << 20;

struct answer
{
    int status = 0;
    juce::String text;
};

std::string encode_request(const juce::StringArray& args);
std::string encode_answer(const answer& a);

// Reads one request into ARGS; false with REFUSAL set when it must be refused (too large, not
// UTF-8, cut short or too slow).
bool read_request(platform::local_connection& connection, juce::StringArray& args, answer& refusal);
// Reads the running copy's answer; false when none came within timeoutMs.
bool read_answer(platform::local_connection& connection, answer& result, int timeoutMs);

// The running copy's side of one connection: reads the request, runs RUN on the message thread
// and sends back what it returns. Gives up when the running copy ends.
void serve(platform::local_connection& connection, std::function<answer(const juce::StringArray& args)> run);
} // namespace command_channel
