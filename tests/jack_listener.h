#pragma once
// A JACK client with two input ports that notes when sound first arrives on them: what a user
// would hear from an output connected there.
#include <atomic>
#include <chrono>
#include <cmath>
#include <jack/jack.h>
#include <string>

struct jack_listener
{
    using clock_type = std::chrono::steady_clock;
    jack_client_t* client = nullptr;
    jack_port_t* ports[2] = {};
    std::atomic<bool> armed{false}, heard{false};
    std::atomic<int64_t> heardAtNs{0};
    std::atomic<int> silentCycles{0};

    // Joins the running server (never starts one) as NAME with ports "in_1" and "in_2".
    bool open(const char* name)
    {
        client = jack_client_open(name, JackNoStartServer, nullptr);
        if (client == nullptr) return false;
        ports[0] = jack_port_register(client, "in_1", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        ports[1] = jack_port_register(client, "in_2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(client, process, this);
        return jack_activate(client) == 0;
    }
    void close()
    {
        if (client != nullptr) jack_client_close(client);
        client = nullptr;
    }
    ~jack_listener() { close(); }
    // "driver:ports" for the player to play into this listener.
    std::string player_output() const
    {
        const std::string me = jack_get_client_name(client);
        return "jack:" + me + ":in_1," + me + ":in_2";
    }

  private:
    static int process(jack_nframes_t frames, void* arg)
    {
        auto& self = *static_cast<jack_listener*>(arg);
        bool loud = false;
        for (auto* port : self.ports)
        {
            const auto* samples = static_cast<const float*>(jack_port_get_buffer(port, frames));
            for (jack_nframes_t i = 0; i < frames && !loud; ++i)
                loud = std::fabs(samples[i]) > 0.01f;
        }
        if (loud && self.armed && !self.heard)
        {
            self.heardAtNs = clock_type::now().time_since_epoch().count();
            self.heard = true;
        }
        self.silentCycles = loud ? 0 : self.silentCycles + 1;
        return 0;
    }
};
