#include "print_server_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace quillora::e2e {
namespace {

bool sendAll(int descriptor, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t sent = send(descriptor, data, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

int connectTo(const std::string& host, int port)
{
    const int descriptor = socket(AF_INET, SOCK_STREAM, 0);
    if (descriptor < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    if (connect(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(descriptor);
        return -1;
    }
    return descriptor;
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The framing of the HTTP requests a client sends, enough to find each IPP request's operation:
// the four bytes after the headers are the IPP version and the operation.
class RequestReader {
public:
    // Takes the next bytes; `found` is called with an operation as soon as its bytes are in,
    // before the bytes are returned for passing on. False from `found` stops the reading.
    template <typename Found>
    bool take(const char* data, std::size_t size, std::string& out, Found found)
    {
        for (std::size_t index = 0; index < size; ++index) {
            const char c = data[index];
            out += c;
            switch (state_) {
            case State::Headers:
                headers_ += c;
                if (headers_.size() >= 4 && headers_.compare(headers_.size() - 4, 4, "\r\n\r\n") == 0)
                    startBody();
                break;
            case State::Body:
                if (!bodyByte(c, found))
                    return false;
                if (--remaining_ == 0)
                    nextRequest();
                break;
            case State::ChunkSize:
                line_ += c;
                if (line_.size() >= 2 && line_.compare(line_.size() - 2, 2, "\r\n") == 0) {
                    remaining_ = std::strtoll(line_.c_str(), nullptr, 16);
                    line_.clear();
                    state_ = remaining_ > 0 ? State::ChunkData : State::Trailer;
                }
                break;
            case State::ChunkData:
                if (!bodyByte(c, found))
                    return false;
                if (--remaining_ == 0) {
                    state_ = State::ChunkEnd;
                    line_.clear();
                }
                break;
            case State::ChunkEnd:
                line_ += c;
                if (line_.size() == 2) {
                    line_.clear();
                    state_ = State::ChunkSize;
                }
                break;
            case State::Trailer:
                line_ += c;
                if (line_.size() >= 2 && line_.compare(line_.size() - 2, 2, "\r\n") == 0) {
                    const bool last = line_ == "\r\n";
                    line_.clear();
                    if (last)
                        nextRequest();
                }
                break;
            }
        }
        return true;
    }

private:
    enum class State { Headers, Body, ChunkSize, ChunkData, ChunkEnd, Trailer };

    void startBody()
    {
        const std::string headers = lowered(headers_);
        headers_.clear();
        bodySeen_ = 0;
        if (headers.find("\r\ntransfer-encoding: chunked") != std::string::npos) {
            state_ = State::ChunkSize;
            line_.clear();
            return;
        }
        remaining_ = 0;
        if (const auto at = headers.find("\r\ncontent-length:"); at != std::string::npos)
            remaining_ = std::strtoll(headers.c_str() + at + 17, nullptr, 10);
        if (remaining_ > 0)
            state_ = State::Body;
        else
            nextRequest();
    }

    void nextRequest()
    {
        state_ = State::Headers;
        headers_.clear();
        line_.clear();
    }

    template <typename Found>
    bool bodyByte(char c, Found& found)
    {
        if (bodySeen_ >= 4)
            return true;
        first_[bodySeen_++] = static_cast<unsigned char>(c);
        if (bodySeen_ < 4)
            return true;
        return found((first_[2] << 8) | first_[3]);
    }

    State state_ = State::Headers;
    std::string headers_;
    std::string line_;
    long long remaining_ = 0;
    int bodySeen_ = 0;
    unsigned char first_[4] = {};
};

}  // namespace

struct PrintServerProxy::Link {
    int client = -1;
    int upstream = -1;
    ~Link()
    {
        close(client);
        close(upstream);
    }
    void cut() const
    {
        shutdown(client, SHUT_RDWR);
        shutdown(upstream, SHUT_RDWR);
    }
};

PrintServerProxy::PrintServerProxy(const std::string& server)
{
    const auto colon = server.rfind(':');
    upstreamHost_ = server.substr(0, colon);
    upstreamPort_ = std::atoi(server.c_str() + colon + 1);
    listen();
}

PrintServerProxy::~PrintServerProxy()
{
    goAway();
    for (;;) {
        std::vector<std::thread> threads;
        {
            const std::lock_guard lock(mutex_);
            threads.swap(threads_);
        }
        if (threads.empty())
            break;
        for (std::thread& thread : threads)
            thread.join();
    }
}

bool PrintServerProxy::listen()
{
    const int descriptor = socket(AF_INET, SOCK_STREAM, 0);
    if (descriptor < 0)
        return false;
    const int yes = 1;
    setsockopt(descriptor, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port_));
    socklen_t length = sizeof address;
    if (bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(descriptor, 16) != 0
        || getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(descriptor);
        return false;
    }
    port_ = ntohs(address.sin_port);
    listener_ = descriptor;
    listening_ = true;
    const std::lock_guard lock(mutex_);
    threads_.emplace_back([this, descriptor] { acceptLoop(descriptor); });
    return true;
}

void PrintServerProxy::acceptLoop(int listener)
{
    for (;;) {
        const int client = accept(listener, nullptr, nullptr);
        if (client < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (connectionHook_)
            connectionHook_();
        auto link = std::make_shared<Link>();
        link->client = client;
        link->upstream = connectTo(upstreamHost_, upstreamPort_);
        const std::lock_guard lock(mutex_);
        if (link->upstream < 0 || listener_ != listener) {
            link->cut();
            continue;
        }
        links_.push_back(link);
        threads_.emplace_back([this, link] { relayRequests(link); });
        threads_.emplace_back([this, link] { relayAnswers(link); });
    }
    close(listener);
}

void PrintServerProxy::relayRequests(const std::shared_ptr<Link>& link)
{
    RequestReader reader;
    char buffer[16384];
    std::string out;
    for (;;) {
        const ssize_t got = recv(link->client, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        out.clear();
        const bool goOn = reader.take(buffer, static_cast<std::size_t>(got), out, [this](int operation) {
            {
                const std::lock_guard lock(mutex_);
                operations_.push_back(operation);
            }
            return !requestHook_ || requestHook_(operation);
        });
        if (!goOn) {
            goAway();
            break;
        }
        if (!sendAll(link->upstream, out.data(), out.size()))
            break;
    }
    link->cut();
}

void PrintServerProxy::relayAnswers(const std::shared_ptr<Link>& link)
{
    char buffer[16384];
    for (;;) {
        const ssize_t got = recv(link->upstream, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || !sendAll(link->client, buffer, static_cast<std::size_t>(got)))
            break;
    }
    link->cut();
}

void PrintServerProxy::goAway()
{
    const int listener = listener_.exchange(-1);
    listening_ = false;
    if (listener >= 0)
        shutdown(listener, SHUT_RDWR);
    const std::lock_guard lock(mutex_);
    for (const std::shared_ptr<Link>& link : links_)
        link->cut();
}

void PrintServerProxy::comeBack()
{
    if (!listening_)
        listen();
}

std::vector<int> PrintServerProxy::operations() const
{
    const std::lock_guard lock(mutex_);
    return operations_;
}

}  // namespace quillora::e2e
