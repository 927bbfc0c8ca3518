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
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        throw std::runtime_error("socket");
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd);
        throw std::runtime_error("bind");
    }
    port = ntohs(address.sin_port);
    return fd;
}

bool SendAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t sent = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

std::string Response(int status, std::string_view location = {}, std::string_view body = "x") {
    std::string text = "HTTP/1.1 " + std::to_string(status) + " Status\r\n";
    if (!location.empty()) {
        text += "Location: " + std::string(location) + "\r\n";
    }
    text += "Content-Length: " + std::to_string(body.size()) +
            "\r\nConnection: close\r\nContent-Type: text/plain\r\n\r\n";
    return text + std::string(body);
}

// The value of a header line (case-insensitive name), empty when missing.
std::string Header(const std::string& request, std::string_view name) {
    size_t start = 0;
    while ((start = request.find("\r\n", start)) != std::string::npos) {
        start += 2;
        size_t colon = request.find(':', start);
        size_t end = request.find("\r\n", start);
        if (colon == std::string::npos || end == std::string::npos || colon > end) {
            continue;
        }
        std::string key = request.substr(start, colon - start);
        if (key.size() == name.size() &&
            std::equal(key.begin(), key.end(), name.begin(),
                       [](char a, char b) { return std::tolower(a) == std::tolower(b); })) {
            size_t value = request.find_first_not_of(' ', colon + 1);
            return request.substr(value, end - value);
        }
    }
    return {};
}

} // namespace

LocalHttpServer::LocalHttpServer() {
    listener_ = BoundSocket(port_);
    if (listen(listener_, 128) != 0) {
        close(listener_);
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

std::string LocalHttpServer::url(std::string_view path) const {
    return url("127.0.0.1", path);
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
    auto found = hosts_.find(host);
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
        int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                return;
            }
            continue;
        }
        {
            std::lock_guard lock(mutex_);
            ++connections_;
        }
        std::thread([this, client] {
            serve(client);
            close(client);
            std::lock_guard lock(mutex_);
            --connections_;
            changed_.notify_all();
        }).detach();
    }
}

void LocalHttpServer::serve(int client) {
    timeval wait{5, 0};
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        ssize_t got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) {
            return;
        }
        request.append(buffer, static_cast<size_t>(got));
        if (request[0] == '\x16') {
            // A TLS handshake: an HTTP answer makes the client's TLS fail at once.
            SendAll(client, Response(400));
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
    }
    enter(host);
    const std::string response = answer(client, path);
    // Out of the count before the client can see the answer and start
    // another request.
    leave(host);
    SendAll(client, response);
}

// The response to a path; empty for none. /big streams its own body.
std::string LocalHttpServer::answer(int client, const std::string& path) {
    if (path == "/ok") {
        return Response(200, {}, "ok");
    }
    if (path.starts_with("/status/")) {
        return Response(std::stoi(path.substr(8)));
    }
    if (path.starts_with("/redirect/")) {
        const size_t slash = path.find('/', 10);
        const int left = std::stoi(path.substr(10, slash - 10));
        const std::string rest = path.substr(slash);
        return Response(302, left <= 1 ? rest : "/redirect/" + std::to_string(left - 1) + rest);
    }
    if (path == "/loop") {
        return Response(302, "/loop");
    }
    if (path == "/to-ftp") {
        return Response(302, "ftp://127.0.0.1:" + std::to_string(port_) + "/file");
    }
    if (path.starts_with("/slow/")) {
        return pause(std::stoi(path.substr(6))) ? Response(200, {}, "slow") : std::string();
    }
    if (path == "/hang") {
        pause(24 * 3600 * 1000);
        return {};
    }
    if (path == "/big") {
        streamBig(client);
        return {};
    }
    return Response(404);
}

void LocalHttpServer::streamBig(int client) {
    constexpr long long size = 16LL << 20;
    SendAll(client, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) +
                        "\r\nConnection: close\r\n\r\n");
    const std::string block(64 * 1024, 'b');
    for (long long sent = 0; sent < size; sent += static_cast<long long>(block.size())) {
        if (!SendAll(client, block)) {
            break;
        }
        std::lock_guard lock(mutex_);
        bigBytes_ += static_cast<long long>(block.size());
    }
}

void LocalHttpServer::enter(const std::string& host) {
    std::lock_guard lock(mutex_);
    ++requests_;
    maxInFlight_ = std::max(maxInFlight_, ++inFlight_);
    auto& [now, most] = hosts_[host];
    most = std::max(most, ++now);
}

void LocalHttpServer::leave(const std::string& host) {
    std::lock_guard lock(mutex_);
    --inFlight_;
    --hosts_[host].first;
}

bool LocalHttpServer::pause(int milliseconds) {
    std::unique_lock lock(mutex_);
    return !changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                              [this] { return stopping_; });
}

SilentListener::SilentListener() {
    socket_ = BoundSocket(port_);
    listen(socket_, 1);
}

SilentListener::~SilentListener() {
    close(socket_);
}

RefusingPort::RefusingPort() {
    socket_ = BoundSocket(port_);
}

RefusingPort::~RefusingPort() {
    close(socket_);
}

} // namespace tomorine::test
