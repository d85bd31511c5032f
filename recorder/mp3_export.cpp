#include "recorder/mp3_export.h"
#include "platform/code_page.h"
#include "platform/dynamic_library.h"
#include "platform/program_folder.h"

namespace
{
using init_fn = int (*)();
using set_fn = int (*)(int item, int, const char* path);
using get_fn = int (*)(int item, int* value);

juce::String hex8(uint64_t v)
{
    return juce::String::toHexString((int64_t)(uint32_t)v).toUpperCase().paddedLeft('0', 8);
}

// The path in the system's code page (UTF-8 here) in a zero-filled 2048-byte buffer, at most
// 2000 bytes, cut at a character boundary.
std::vector<char> code_page_path(const juce::String& path)
{
    std::vector<char> buffer(2048, 0);
    const auto bytes = platform::code_page_bytes(path, 2000);
    std::memcpy(buffer.data(), bytes.data(), bytes.size());
    return buffer;
}
} // namespace

juce::File mp3_encoder_file()
{
#if JUCE_WINDOWS
    return platform::program_file("\\mp3.dll");
#else
    return platform::program_file("\\mp3.so");
#endif
}

juce::File export_log_file()
{
    return platform::program_file("\\log.log");
}

int export_mp3(const juce::String& inputPath, const juce::String& outputPath)
{
    juce::FileOutputStream log(export_log_file()); // appends
    auto* library = platform::load_library(mp3_encoder_file());
    const auto lastError = platform::last_load_error();
    log << juce::String::repeatedString("=", 53) << "\r\n"
        << "load mp3.dll fail?lasterror:" << hex8(lastError) << "\r\n"
        << "loadlibrary return:" << hex8((uint64_t)(uintptr_t)library) << "\r\n";
    log.flush();
    if (library == nullptr) return -1;
    juce::Logger::outputDebugString("find mp3.dll is ok");

    auto find = [&](const char* name) { return platform::get_proc_address(library, name); };
    auto initializeWork = reinterpret_cast<init_fn>(find("MPGE_initializeWork"));
    auto setConfigure = reinterpret_cast<set_fn>(find("MPGE_setConfigure"));
    auto detectConfigure = reinterpret_cast<init_fn>(find("MPGE_detectConfigure"));
    auto getConfigure = reinterpret_cast<get_fn>(find("MPGE_getConfigure"));
    auto processFrame = reinterpret_cast<init_fn>(find("MPGE_processFrame"));
    auto closeCoder = reinterpret_cast<init_fn>(find("MPGE_closeCoder"));
    auto endCoder = reinterpret_cast<init_fn>(find("MPGE_endCoder"));
    // A library without all seven cannot be driven: a failure, not a call through null.
    if (!initializeWork || !setConfigure || !detectConfigure || !getConfigure || !processFrame ||
        !closeCoder || !endCoder)
    {
        platform::free_library(library);
        return -1;
    }

    initializeWork();
    juce::Logger::outputDebugString(inputPath);
    juce::Logger::outputDebugString(outputPath);
    auto in = code_page_path(inputPath), out = code_page_path(outputPath);
    setConfigure(1, 0, in.data());
    setConfigure(2, 0, out.data());
    const int r = detectConfigure();
    const auto now = juce::Time::getCurrentTime();
    log << "mp3,convert fail?,detect config return value:" << r << ",time is:" << now.getYear() << "-"
        << now.getMonth() << "-" << now.getDayOfMonth() << "," << now.getHours() << ":" << now.getMinutes()
        << ":" << now.getSeconds() << "\r\n"
        << "infile:\r\n"
        << inputPath << "\r\noutfile:\r\n"
        << outputPath;
    log.flush();
    if (r != 0) return -1; // the library stays loaded, as before

    int value = 0;
    getConfigure(15, &value);
    int step = 0;
    while ((step = processFrame()) == 0)
    {
    }
    // A write that failed (a full disk) leaves a cut file: a failure, not "the end".
    const bool complete = closeCoder() == 0 && step > 0;
    endCoder();
    platform::free_library(library);
    return complete ? 0 : -1;
}
