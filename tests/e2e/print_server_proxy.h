// A stand-in for the network between the program and the private print server: it listens on a
// loopback port of its own and passes every connection on to the server, reading the IPP
// operation of every request on its way. A test acts at exact points of the program's talk with
// the server — when a job is being created, when the next connection after a finished job
// arrives — and can make the server go away for the program (every connection closed, new ones
// refused, as when the scheduler stops) and come back, without touching the server itself.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quillora::e2e {

// IPP operation codes.
inline constexpr int kIppPrintJob = 0x0002;
inline constexpr int kIppCreateJob = 0x0005;
inline constexpr int kIppSendDocument = 0x0006;

class PrintServerProxy {
public:
    // Passes connections on to the server at "127.0.0.1:port"; started() says whether it listens.
    explicit PrintServerProxy(const std::string& server);
    ~PrintServerProxy();
    PrintServerProxy(const PrintServerProxy&) = delete;
    PrintServerProxy& operator=(const PrintServerProxy&) = delete;

    bool started() const { return listening_; }
    // The value of CUPS_SERVER that points a client at the proxy.
    std::string server() const { return "127.0.0.1:" + std::to_string(port_); }

    // Called with the operation of every request before its body goes on; the client waits
    // meanwhile. Returning false makes the server go away at that moment (goAway()), so the
    // request never arrives. Set before the program runs.
    void onRequest(std::function<bool(int operation)> hook) { requestHook_ = std::move(hook); }
    // Called for every new connection before anything of it goes on. Set before the program runs.
    void onConnection(std::function<void()> hook) { connectionHook_ = std::move(hook); }

    // The server is gone for the program: open connections are closed, new ones refused.
    void goAway();
    // The server answers again, on the same port.
    void comeBack();

    // The operations of the requests passed on (or cut) so far, in order.
    std::vector<int> operations() const;

private:
    struct Link;
    bool listen();
    void acceptLoop(int listener);
    void relayRequests(const std::shared_ptr<Link>& link);
    void relayAnswers(const std::shared_ptr<Link>& link);

    std::string upstreamHost_;
    int upstreamPort_ = 0;
    int port_ = 0;
    std::atomic<int> listener_{-1};
    std::atomic<bool> listening_{false};
    std::function<bool(int)> requestHook_;
    std::function<void()> connectionHook_;
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Link>> links_;
    std::vector<std::thread> threads_;
    std::vector<int> operations_;
};

}  // namespace quillora::e2e
