#include "device/connected_model.h"
#include "pages/left_panel.h"
#include "platform/program_settings.h"
#include "presets/list_file.h"
#include "tests/alert_watch.h"
#include "tests/fake_devbridge.h"
#include "tests/preset_fixtures.h"
#include "tests/tls_test_server.h"
#include <chrono>
#include <cstring>
#include <gtest/gtest.h>

using namespace preset_fixtures;

namespace
{
const std::string certs = RX40_TEST_CERTS;

// The library page inside a main page, on a connected KQ3.
struct library_page : testing::Test
{
    fake_devbridge& fake = (fake_devbridge::reset(), fake_devbridge::instance());
    std::unique_ptr<left_panel> page;
    std::unique_ptr<tls_test_server> server;

    void SetUp() override
    {
        platform::settings_file().getParentDirectory().createDirectory();
        platform::settings_file().deleteFile();
        list_file_path().deleteFile();
        set_connected_model("KQ");
        setenv("SSL_CERT_FILE", (certs + "/ca.pem").c_str(), 1);
    }
    void TearDown() override
    {
        page.reset();
        server.reset();
        unsetenv("RX40_LIST_HOSTS");
        list_file_path().deleteFile();
    }

    void open()
    {
        page = std::make_unique<left_panel>(fake.api());
        std::memset(fake.info.data(), 0, 250);
        std::memcpy(fake.info.data(), "Tavri", 5);
        std::memcpy(fake.info.data() + 50, "KQ3", 3);
        fake.device = {0, 8, 8, 4, 5, 6, 7, 0, 0,   0x5a, 0, 1, 0, 1,
                       0, 1, 1, 3, 7, 5, 0, 0, 190, 0xa5, 1, 1, 1};
        for (int code : {7, 2, 3})
            fake.callback(code);
        pump_messages();
        fake.sent.clear();
    }
    tavri_zdy_set& zdy() { return page->library(); }

    // A list file of three presets: full, mic-only, full.
    static preset_list three_presets()
    {
        const auto cn = online_suffix(false);
        auto root = juce::XmlDocument::parse(
            document(category("hall", valid_items(67, false)) + category("voice", valid_items(17, false)) +
                     category("room", valid_items(67, true)) /* numbered: not an online preset */ +
                     category("stage", valid_items(67, false))));
        preset_list list;
        read_online_list(*root, list, false);
        return list;
    }

    // Serves DOCUMENT over TLS and points the list hosts at it (the fallback refuses).
    void serve_list(const std::string& document)
    {
        serve([document](tls_connection& c)
              { c.send(tls_test_server::response("Content-Type: text/xml", document)); });
    }
    void serve(tls_test_server::handler h)
    {
        server =
            std::make_unique<tls_test_server>(certs + "/server.pem", certs + "/server.key", std::move(h));
        const auto hosts =
            "127.0.0.1:" + std::to_string(server->port()) + ",127.0.0.1:" + std::to_string(refused_port());
        setenv("RX40_LIST_HOSTS", hosts.c_str(), 1);
    }
    void download()
    {
        zdy().refresh_button().triggerClick();
        pump_messages();
        while (zdy().downloading())
            pump_messages(20);
        pump_messages();
    }
    // The text of the alert on screen, closing it; empty when there is none.
    static juce::String take_alert()
    {
        auto* alert = dynamic_cast<juce::AlertWindow*>(juce::Component::getCurrentlyModalComponent());
        if (alert == nullptr) return {};
        const auto text = alert->getDescription(); // "title. message"
        alert->exitModalState(0);
        pump_messages();
        return text;
    }
    juce::StringArray selector_items()
    {
        juce::StringArray items;
        for (int i = 0; i < zdy().selector().getNumItems(); ++i)
            items.add(zdy().selector().getItemText(i));
        return items;
    }
};
} // namespace

TEST_F(library_page, choosing_a_preset_sends_it_once)
{
    const auto list = three_presets();
    ASSERT_EQ(list.count(), 3);
    ASSERT_TRUE(write_list_file(list));
    open();
    // The stored list is shown with the first entry chosen, and nothing sent for that.
    EXPECT_EQ(zdy().selector().getNumItems(), 3);
    EXPECT_EQ(zdy().selector().getSelectedId(), 1);
    EXPECT_TRUE(fake.blocks.empty());

    zdy().selector().setSelectedId(1, juce::sendNotificationSync); // the same entry: no change
    EXPECT_TRUE(fake.blocks.empty());

    // A mic-only preset goes as its first 26 bytes, a full one as all 98.
    zdy().selector().setSelectedId(2, juce::sendNotificationSync);
    ASSERT_EQ(fake.blocks.size(), 1u);
    EXPECT_EQ(fake.blocks[0].first, "P12MIC");
    EXPECT_EQ(fake.blocks[0].second,
              std::vector<uint8_t>(list.record(1).bytes.begin(), list.record(1).bytes.begin() + 26));

    zdy().selector().setSelectedId(3, juce::sendNotificationSync);
    ASSERT_EQ(fake.blocks.size(), 2u);
    EXPECT_EQ(fake.blocks[1].first, "P12Setting");
    EXPECT_EQ(fake.blocks[1].second,
              std::vector<uint8_t>(list.record(2).bytes.begin(), list.record(2).bytes.end()));
    EXPECT_TRUE(fake.sent.empty()); // the record is not touched
}

TEST_F(library_page, switches_and_save)
{
    open();
    // Pair A on byte 20, pair B on byte 10; clicking the lit one sends nothing.
    EXPECT_TRUE(zdy().switch_a_off().getToggleState());
    zdy().switch_a_off().triggerClick();
    pump_messages();
    EXPECT_TRUE(fake.sent.empty());
    zdy().switch_a_on().triggerClick();
    pump_messages();
    ASSERT_EQ(fake.sent.size(), 1u);
    EXPECT_EQ(fake.sent.back()[20], 1);
    EXPECT_TRUE(zdy().switch_a_on().getToggleState());
    EXPECT_FALSE(zdy().switch_a_off().getToggleState());
    zdy().switch_b_on().triggerClick();
    pump_messages();
    ASSERT_EQ(fake.sent.size(), 2u);
    EXPECT_EQ(fake.sent.back()[10], 1);

    // A value other than 0 or 1 in byte 10 leaves pair B as it is shown.
    fake.device[10] = 2;
    fake.device[20] = 0;
    fake.callback(3);
    pump_messages();
    EXPECT_TRUE(zdy().switch_b_on().getToggleState());
    EXPECT_TRUE(zdy().switch_a_off().getToggleState());

    zdy().save_button().triggerClick();
    pump_messages();
    EXPECT_EQ(fake.envCalls, (std::vector<std::pair<int, int>>{{0, 0}}));
}

TEST_F(library_page, a_download_replaces_the_library_and_keeps_it)
{
    ASSERT_TRUE(write_list_file(three_presets()));
    open();
    serve_list(
        document(category("new one", valid_items(67, false)) + category("new two", valid_items(17, false)))
            .toStdString());
    download();
    const auto cn = online_suffix(false);
    EXPECT_EQ(selector_items(), juce::StringArray("new one" + cn, "new two" + cn));
    EXPECT_EQ(zdy().selector().getSelectedId(), 1);
    EXPECT_TRUE(zdy().refresh_button().isEnabled());
    EXPECT_EQ(take_alert(), "");
    EXPECT_TRUE(server->last_request().rfind("GET /TavriUploadFile/VK2Max/list_kq3.xml HTTP/1.1\r\n", 0) ==
                0);
    // The file holds the new list for the next start.
    preset_list stored;
    EXPECT_EQ(load_list_file(stored), 2);
    EXPECT_EQ(stored.name(1), "new two" + cn);
    EXPECT_TRUE(fake.blocks.empty());
}

TEST_F(library_page, downloads_that_bring_nothing_usable)
{
    ASSERT_TRUE(write_list_file(three_presets()));
    const auto before = list_file_path().loadFileAsString();
    open();
    const auto shown = selector_items();
    const juce::String failure(juce::CharPointer_UTF8("提示. 获取网络音效列表失败!"));
    struct
    {
        const char* what;
        std::string response; // empty: the server refuses TLS
        juce::String alert;
    } cases[] = {
        {"every preset invalid",
         tls_test_server::response("", document(category("bad", valid_items(66, false))).toStdString()), ""},
        {"an error page",
         tls_test_server::response("", "<html><body>404</body></html>", "HTTP/1.1 404 Not Found"), ""},
        {"not a document", tls_test_server::response("", "oops"), failure},
    };
    for (auto& c : cases)
    {
        serve([r = c.response](tls_connection& conn) { conn.send(r); });
        download();
        EXPECT_EQ(take_alert(), c.alert) << c.what;
        EXPECT_EQ(selector_items(), shown) << c.what;
        EXPECT_EQ(list_file_path().loadFileAsString(), before) << c.what;
        EXPECT_TRUE(zdy().refresh_button().isEnabled()) << c.what;
    }
}

TEST_F(library_page, a_second_click_while_downloading_and_closing_during_a_download)
{
    open();
    std::atomic<int> stalled{0};
    serve(
        [&](tls_connection& c)
        {
            stalled++;
            c.stall();
        });
    zdy().refresh_button().triggerClick();
    while (stalled == 0)
        pump_messages(20);
    EXPECT_FALSE(zdy().refresh_button().isEnabled());

    // The button is disabled; a reconnection enables the device controls again, and a click
    // then shows the tip and starts nothing.
    fake.callback(2);
    pump_messages();
    ASSERT_TRUE(zdy().refresh_button().isEnabled());
    juce::String shown;
    int alerts = 0;
    juce::Timer::callAfterDelay(100,
                                [&]
                                {
                                    alerts++;
                                    shown = take_alert();
                                });
    zdy().refresh_button().triggerClick();
    pump_messages(200);
    EXPECT_EQ(alerts, 1);
    EXPECT_TRUE(shown == juce::String(juce::CharPointer_UTF8("提示. 正在下载音效,^_^ "))) << shown;
    EXPECT_EQ(server->connections(), 1);
    EXPECT_TRUE(zdy().downloading());

    // Closing the panel now neither waits for the server (its read time-out is 15 s) nor leaves
    // a thread behind that reports a failure afterwards.
    alert_watch late;
    late.answer();
    const auto start = std::chrono::steady_clock::now();
    page.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    pump_messages(500);
    EXPECT_EQ(late.seen, "");
}
