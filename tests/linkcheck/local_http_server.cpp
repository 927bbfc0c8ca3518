#include "local_http_server.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace tomorine::test {

namespace {

// A TCP socket bound to 127.0.0.1 and a free port.
int BoundSocket(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot bind a loopback socket");
    }
    port = ntohs(address.sin_port);
    return fd;
}

bool SendAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t sent = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

std::string Reply(int status, const std::string& headers = {}, std::string_view body = "x") {
    return "HTTP/1.1 " + std::to_string(status) + " Status\r\n" + headers +
           "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
           std::string(body);
}

std::string Header(const std::string& request, const std::string& name) {
    const size_t found = request.find("\r\n" + name + ": ");
    if (found == std::string::npos) {
        return {};
    }
    const size_t start = found + name.size() + 4;
    return request.substr(start, request.find("\r\n", start) - start);
}

} // namespace

LocalHttpServer::LocalHttpServer() {
    listener_ = BoundSocket(port_);
    if (listen(listener_, 128) != 0) {
        throw std::runtime_error("listen");
    }
    acceptor_ = std::thread([this] { acceptLoop(); });
}

LocalHttpServer::~LocalHttpServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    shutdown(listener_, SHUT_RDWR);
    acceptor_.join();
    close(listener_);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return connections_ == 0; });
}

void LocalHttpServer::serve(const std::string& path, Response response) {
    std::lock_guard lock(mutex_);
    served_[path] = std::move(response);
}

std::string LocalHttpServer::url(std::string_view host, std::string_view path) const {
    return "http://" + std::string(host) + ":" + std::to_string(port_) + std::string(path);
}

std::string LocalHttpServer::resolveEntry(std::string_view host) const {
    return std::string(host) + ":" + std::to_string(port_) + ":127.0.0.1";
}

int LocalHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int LocalHttpServer::maxInFlight() const {
    std::lock_guard lock(mutex_);
    return maxInFlight_;
}

int LocalHttpServer::maxInFlightOfHost(const std::string& host) const {
    std::lock_guard lock(mutex_);
    const auto found = hosts_.find(host);
    return found == hosts_.end() ? 0 : found->second.second;
}

std::string LocalHttpServer::lastUserAgent() const {
    std::lock_guard lock(mutex_);
    return lastUserAgent_;
}

long long LocalHttpServer::bigBytesSent() const {
    std::lock_guard lock(mutex_);
    return bigBytes_;
}

void LocalHttpServer::acceptLoop() {
    for (;;) {
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        std::lock_guard lock(mutex_);
        if (stopping_) {
            if (client >= 0) {
                close(client);
            }
            return;
        }
        if (client < 0) {
            continue;
        }
        ++connections_;
        std::thread([this, client] {
            talk(client);
            close(client);
            std::lock_guard lock(mutex_);
            --connections_;
            changed_.notify_all();
        }).detach();
    }
}

void LocalHttpServer::talk(int client) {
    timeval wait{5, 0};
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        const ssize_t got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) {
            return;
        }
        request.append(buffer, static_cast<size_t>(got));
        if (request[0] == '\x16') { // a TLS handshake, which a plain answer fails at once
            SendAll(client, Reply(400));
            return;
        }
    }
    const size_t pathStart = request.find(' ') + 1;
    const std::string path = request.substr(pathStart, request.find(' ', pathStart) - pathStart);
    std::string host = Header(request, "Host");
    host = host.substr(0, host.rfind(':'));
    {
        std::lock_guard lock(mutex_);
        lastUserAgent_ = Header(request, "User-Agent");
        ++requests_;
        maxInFlight_ = std::max(maxInFlight_, ++inFlight_);
        auto& [now, most] = hosts_[host];
        most = std::max(most, ++now);
    }
    const std::string response = answer(client, path);
    {
        // Out of the count before the client can see the answer and start another request.
        std::lock_guard lock(mutex_);
        --inFlight_;
        --hosts_[host].first;
    }
    SendAll(client, response);
}

// The response to a path; empty for none. /big streams its own body.
std::string LocalHttpServer::answer(int client, const std::string& path) {
    std::unique_lock lock(mutex_);
    const auto served = served_.find(path);
    if (served != served_.end()) {
        const Response response = served->second;
        lock.unlock();
        if (response.silent) {
            pause(24 * 3600 * 1000);
            return {};
        }
        const std::string& type = response.contentType;
        return Reply(response.status, type.empty() ? "" : "Content-Type: " + type + "\r\n",
                     response.body);
    }
    lock.unlock();
    if (path == "/ok") {
        return Reply(200, {}, "ok");
    }
    if (path.starts_with("/status/")) {
        return Reply(std::stoi(path.substr(8)));
    }
    if (path.starts_with("/redirect/")) {
        const size_t slash = path.find('/', 10);
        const int left = std::stoi(path.substr(10, slash - 10));
        const std::string rest = path.substr(slash);
        return Reply(302, "Location: " +
                              (left <= 1 ? rest : "/redirect/" + std::to_string(left - 1) + rest) +
                              "\r\n");
    }
    if (path == "/loop") {
        return Reply(302, "Location: /loop\r\n");
    }
    if (path == "/to-ftp") {
        return Reply(302, "Location: ftp://127.0.0.1:" + std::to_string(port_) + "/file\r\n");
    }
    if (path.starts_with("/slow/")) {
        return pause(std::stoi(path.substr(6))) ? Reply(200, {}, "slow") : std::string();
    }
    if (path == "/hang") {
        pause(24 * 3600 * 1000);
        return {};
    }
    if (path == "/big") {
        streamBig(client);
        return {};
    }
    return Reply(404);
}

void LocalHttpServer::streamBig(int client) {
    constexpr long long size = 16LL << 20;
    SendAll(client, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) +
                        "\r\nConnection: close\r\n\r\n");
    const std::string block(64 * 1024, 'b');
    for (long long sent = 0; sent < size && SendAll(client, block); sent += 64 * 1024) {
        std::lock_guard lock(mutex_);
        bigBytes_ += 64 * 1024;
    }
}

bool LocalHttpServer::pause(int milliseconds) {
    std::unique_lock lock(mutex_);
    return !changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                              [this] { return stopping_; });
}

RefusingPort::RefusingPort() {
    socket_ = BoundSocket(port_);
}

RefusingPort::~RefusingPort() {
    close(socket_);
}

} // namespace tomorine::test
