#include "app/command_channel.h"
#include "platform/utf8_text.h"
#include <juce_events/juce_events.h>

namespace command_channel
{
namespace
{
void put_length(std::string& out, size_t n)
{
    for (int i = 0; i < 4; ++i)
        out += (char)((n >> (8 * i)) & 0xff);
}

uint32_t get_length(const unsigned char* at)
{
    return (uint32_t)at[0] | (uint32_t)at[1] << 8 | (uint32_t)at[2] << 16 | (uint32_t)at[3] << 24;
}

// Reads exactly SIZE bytes before the deadline (a millisecond counter).
bool read_exactly(platform::local_connection& connection, void* buffer, int size, juce::uint32 deadline)
{
    auto* at = static_cast<char*>(buffer);
    while (size > 0)
    {
        const auto now = juce::Time::getMillisecondCounter();
        if (now >= deadline) return false;
        const int n = connection.read(at, size, (int)(deadline - now));
        if (n <= 0) return false;
        at += n;
        size -= n;
    }
    return true;
}
} // namespace

std::string encode_request(const juce::StringArray& args)
{
    std::string payload;
    for (const auto& a : args)
    {
        payload += a.toStdString();
        payload += '\0';
    }
    std::string out;
    put_length(out, payload.size());
    return out + payload;
}

std::string encode_answer(const answer& a)
{
    const auto text = a.text.toStdString();
    std::string out(1, (char)juce::jlimit(0, 255, a.status));
    put_length(out, text.size());
    return out + text;
}

bool read_request(platform::local_connection& connection, juce::StringArray& args, answer& refusal)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32)request_timeout_ms;
    refusal = {2, "the request was cut short or came too slowly"};
    unsigned char header[4];
    if (!read_exactly(connection, header, 4, deadline)) return false;
    const auto size = get_length(header);
    if (size > (uint32_t)max_request)
    {
        refusal.text = "the request is larger than " + juce::String(max_request) + " bytes";
        return false;
    }
    juce::HeapBlock<char> payload(size + 1, true);
    if (!read_exactly(connection, payload.get(), (int)size, deadline)) return false;
    if (size > 0 && payload[size - 1] != 0) return false;
    args.clear();
    for (uint32_t start = 0; start < size;)
    {
        // Each argument on its own: the framework's check stops at the first NUL.
        const auto length = std::strlen(payload.get() + start);
        if (platform::repaired_utf8(payload.get() + start, length) !=
            std::string(payload.get() + start, length))
        {
            refusal.text = "the request is not valid UTF-8";
            return false;
        }
        args.add(juce::String::fromUTF8(payload.get() + start, (int)length));
        start += (uint32_t)length + 1;
    }
    return true;
}

bool read_answer(platform::local_connection& connection, answer& result, int timeoutMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32)juce::jmax(0, timeoutMs);
    unsigned char header[5];
    if (!read_exactly(connection, header, 5, deadline)) return false;
    const auto size = get_length(header + 1);
    if (size > (uint32_t)max_answer) return false;
    juce::HeapBlock<char> text(size + 1, true);
    if (!read_exactly(connection, text.get(), (int)size, deadline)) return false;
    result.status = header[0];
    result.text = juce::String::fromUTF8(text.get(), (int)size);
    return true;
}

void serve(platform::local_connection& connection, std::function<answer(const juce::StringArray& args)> run)
{
    juce::StringArray args;
    answer reply;
    if (read_request(connection, args, reply))
    {
        // The work runs on the message thread; this thread waits for it, and gives up when the
        // program ends first (the message thread may be the one waiting for this thread then).
        struct pending
        {
            juce::WaitableEvent done;
            answer result;
        };
        auto job = std::make_shared<pending>();
        juce::MessageManager::callAsync(
            [job, args, run = std::move(run)]
            {
                job->result = run(args);
                job->done.signal();
            });
        while (!job->done.wait(50))
            if (connection.stopping()) return;
        reply = job->result;
    }
    const auto bytes = encode_answer(reply);
    connection.write(bytes.data(), (int)bytes.size());
}
} // namespace command_channel
