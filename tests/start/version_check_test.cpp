// The new-version check of a running Tessaly.exe against a loopback HTTP
// server of the test: the offer of a newer version, the don't-remind
// choice across starts, the replies that must show nothing, the request's
// bytes, and a reply that comes while the program ends. Yes is never
// pressed: it would open a web browser.
#include <winsock2.h>  // before the windows.h of the helpers
#include "tessaly_process.h"
#include <gtest/gtest.h>
#include <atomic>
#include <thread>

namespace {

const int IDC_MESSAGE = 1046, IDC_DONT_REMIND = 1047;
const char kLocal[] = "1.4.10.91";

// One connection at a time on 127.0.0.1: each request is read to its end,
// kept, and answered with the reply (after `delay` ms), then closed.
class LoopbackServer {
public:
    explicit LoopbackServer(std::string reply, DWORD delay = 0) : m_reply(std::move(reply)), m_delay(delay)
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        int length = sizeof(address);
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        listen(m_listener, 4);
        m_thread = std::thread([this] { Serve(); });
        SetEnvironmentVariableA("TB_VERSION_CHECK_HOST", ("127.0.0.1:" + std::to_string(m_port)).c_str());
    }
    ~LoopbackServer()
    {
        SetEnvironmentVariableA("TB_VERSION_CHECK_HOST", "127.0.0.1:1");
        closesocket(m_listener);
        m_thread.join();
        WSACleanup();
    }
    void SetReply(const std::string& reply) { m_reply = reply; }
    int Served() const { return m_served; }
    std::string LastRequest() const { return m_request; }

private:
    void Serve()
    {
        for (;;) {
            SOCKET client = accept(m_listener, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            std::string request;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const int got = recv(client, buffer, sizeof(buffer), 0);
                if (got <= 0) break;
                request.append(buffer, got);
            }
            m_request = request;
            Sleep(m_delay);
            send(client, m_reply.data(), static_cast<int>(m_reply.size()), 0);
            shutdown(client, SD_SEND);
            Sleep(100);
            closesocket(client);
            ++m_served;
        }
    }

    std::string m_reply;
    DWORD m_delay;
    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_port = 0;
    std::thread m_thread;
    std::atomic<int> m_served{0};
    std::string m_request;
};

std::string Ok(const std::string& body) { return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body; }

class VersionCheck : public testing::Test {
protected:
    VersionCheck()
        : install("[Data]\r\nTitle=Check Test\r\nVersion=" + std::string(kLocal) +
                  "\r\nversionFilename=latest.txt\r\nShowExplorerInitially=0\r\n")
    {
        install.RegisterStandin();
    }

    // Starts the program and waits for its request to be answered.
    void Start(LoopbackServer& server)
    {
        const int before = server.Served();
        run = std::make_unique<TessalyRun>(install);
        ASSERT_TRUE(run->WaitForFrame());
        ASSERT_TRUE(WaitUntil([&] { return server.Served() > before; }, 15000)) << "no request came";
    }
    // The offer dialog of the program, waited for up to `ms`.
    HWND Offer(DWORD ms)
    {
        HWND found = nullptr;
        WaitUntil([&] {
            HWND box = run->WaitForWindow("#32770", nullptr, 0);
            if (box && GetDlgItem(box, IDC_MESSAGE) && IsWindowVisible(box)) found = box;
            return found != nullptr;
        }, ms);
        return found;
    }
    void Answer(HWND offer, bool dontRemind, int button = IDNO)
    {
        if (dontRemind) SendMessageA(GetDlgItem(offer, IDC_DONT_REMIND), BM_CLICK, 0, 0);
        DismissBox(offer, button);
        WaitUntil([&] { return !IsWindow(offer); }, 5000);
    }
    DWORD Close()
    {
        const DWORD code = run->Close();
        run.reset();
        return code;
    }

    TessalyInstall install;
    std::unique_ptr<TessalyRun> run;
};

TEST_F(VersionCheck, OffersANewerVersionUntilTheUserAsksNotToBeReminded)
{
    LoopbackServer server(Ok("2.0.0.0\r\n"));
    Start(server);
    HWND offer = Offer(10000);
    ASSERT_TRUE(offer);
    EXPECT_EQ(WindowText(GetDlgItem(offer, IDC_MESSAGE)),
              "There is a new version available, 2.0.0.0 (current is 1.4.10.91).\n Visit the program site?");
    EXPECT_EQ(WindowText(offer), install.Name());
    EXPECT_EQ(WindowText(GetDlgItem(offer, IDC_DONT_REMIND)), "Do not remind me of this version anymore");
    EXPECT_EQ(WindowText(GetDlgItem(offer, IDYES)), "Yes");
    EXPECT_EQ(WindowText(GetDlgItem(offer, IDNO)), "No");
    ScreenShot("version-offer");
    // The request as any server in the maker's place must take it.
    EXPECT_EQ(server.LastRequest(),
              "GET /latest.txt HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: */*\r\nUser-Agent: Check Test v.1.4.10.91\r\n\r\n");
    Answer(offer, true);
    EXPECT_EQ(Close(), 0u);

    // The same version again: silent.
    Start(server);
    EXPECT_FALSE(Offer(1500));
    EXPECT_EQ(Close(), 0u);

    // A still newer one is offered again, with its suffix.
    server.SetReply(Ok("2.0.0.1 beta\r\n"));
    Start(server);
    offer = Offer(10000);
    ASSERT_TRUE(offer);
    EXPECT_EQ(WindowText(GetDlgItem(offer, IDC_MESSAGE)),
              "There is a new version available, 2.0.0.1 beta (current is 1.4.10.91).\n Visit the program site?");
    Answer(offer, false);
    EXPECT_EQ(Close(), 0u);
}

TEST_F(VersionCheck, ShowsNothingForRepliesThatOfferNothing)
{
    struct Case {
        const char* name;
        std::string reply;
    };
    const Case cases[] = {
        {"the same version", Ok("1.4.10.91\r\n")},
        {"an older one", Ok("1.4.9.200\r\n")},
        {"an HTTP/1.0 reply", "HTTP/1.0 200 OK\r\n\r\n9.0.0.0\r\n"},
        {"a truncated body", Ok("1.4")},
        {"an empty body", Ok("")},
        {"4 KB without a header end", "HTTP/1.1 200 OK\r\n" + std::string(4096, 'x')},
        {"a refusal", "HTTP/1.1 404 Not Found\r\n\r\n9.0.0.0\r\n"},
    };
    LoopbackServer server("");
    for (const Case& c : cases) {
        server.SetReply(c.reply);
        Start(server);
        EXPECT_FALSE(Offer(1500)) << c.name;
        EXPECT_EQ(Close(), 0u) << c.name;
    }
}

TEST_F(VersionCheck, WithoutAServerShowsNothing)
{
    run = std::make_unique<TessalyRun>(install);  // the closed loopback port
    ASSERT_TRUE(run->WaitForFrame());
    EXPECT_FALSE(Offer(2000));
    EXPECT_EQ(Close(), 0u);
}

TEST_F(VersionCheck, AReplyWhileTheProgramEndsFindsNothingReleased)
{
    LoopbackServer server(Ok("3.0.0.0\r\n"), 1500);
    run = std::make_unique<TessalyRun>(install);
    HWND frame = run->WaitForFrame();
    ASSERT_TRUE(frame);
    ASSERT_TRUE(WaitUntil([&] { return !server.LastRequest().empty(); }, 15000));
    const DWORD start = GetTickCount();
    EXPECT_EQ(Close(), 0u);
    EXPECT_LT(GetTickCount() - start, 8000u) << "the end waits a bounded time for the check";
    // The session's settings were written at the end.
    const std::string settings = ReadFileBytes(install.DataFolder() + install.Name() + ".cfg");
    EXPECT_NE(settings.find("ApptypeData"), std::string::npos) << settings;
    EXPECT_EQ(settings.find("dontRemindOfNewVersion"), std::string::npos);
}

}  // namespace
