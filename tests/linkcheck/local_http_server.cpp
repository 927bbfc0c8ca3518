#include "local_http_server.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace tomorine::test {

// A TCP socket bound to 127.0.0.1 and a free port.
static int BoundSocket(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot bind a loopback socket");
    }
    port = ntohs(address.sin_port);
    return fd;
}

LocalHttpServer::LocalHttpServer() {
    listener_ = BoundSocket(port_);
    refusing_ = BoundSocket(refused_);
    if (listen(listener_, 128) != 0) {
        throw std::runtime_error("listen");
    }
    acceptor_ = std::thread([this] {
        for (;;) {
            const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            std::lock_guard lock(mutex_);
            if (stopping_) {
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
    });
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
    close(refusing_);
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
            sendAll(client, "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
            return;
        }
    }
    const size_t pathStart = request.find(' ') + 1;
    std::string path = request.substr(pathStart, request.find(' ', pathStart) - pathStart);
    const size_t hostAt = std::min(request.find("\r\nHost: ") + 8, request.size());
    const std::string host = request.substr(hostAt, request.find_first_of(":\r", hostAt) - hostAt);
    {
        std::lock_guard lock(mutex_);
        ++requests_;
        maxInFlight_ = std::max(maxInFlight_, ++inFlight_);
        auto& [now, most] = hosts_[host];
        most = std::max(most, ++now);
        if (path.starts_with("/reset-once/")) {
            path = seen_.insert(path).second ? "/reset" : path.substr(11);
        }
    }
    const Response response = answer(path);
    {
        // Out of the count before the client can see the answer and start another request.
        std::lock_guard lock(mutex_);
        --inFlight_;
        --hosts_[host].first;
    }
    if (path == "/reset") {
        const linger abort{1, 0}; // the close sends a reset
        setsockopt(client, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        return;
    }
    if (path == "/drip" && sendAll(client, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n")) {
        while (pause(100) && sendAll(client, "x")) {
        }
    }
    if (path == "/drip" || path == "/empty" || path == "/hang") {
        return;
    }
    const auto header = [](const char* name, const std::string& value) {
        return value.empty() ? "" : name + value + "\r\n";
    };
    const std::string head =
        "HTTP/1.1 " + std::to_string(response.status) + " Status\r\n" +
        header("Content-Type: ", response.contentType) + header("Location: ", response.location) +
        "Content-Length: " + std::to_string(response.body.size()) + "\r\nConnection: close\r\n\r\n";
    sendAll(client, head + response.body); // in one piece, as Nagle's rule would hold a second
}

LocalHttpServer::Response LocalHttpServer::answer(const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        if (const auto found = served_.find(path); found != served_.end()) {
            return found->second;
        }
    }
    const auto number = [&](size_t from) { return std::stoi(path.substr(from)); };
    if (path == "/ok" || path.starts_with("/slow/")) {
        pause(path == "/ok" ? 0 : number(6));
        return {"text/plain", "ok"};
    }
    if (path.starts_with("/status/")) {
        return {"", "x", number(8)};
    }
    if (path.starts_with("/redirect/")) {
        const size_t slash = path.find('/', 10);
        const int left = number(10);
        const std::string rest = path.substr(slash);
        return {.status = 302,
                .location = left <= 1 ? rest : "/redirect/" + std::to_string(left - 1) + rest};
    }
    if (path == "/hang") {
        pause(24 * 3600 * 1000);
    }
    return {"", "x", 404};
}

bool LocalHttpServer::sendAll(int client, std::string_view data) {
    while (!data.empty()) {
        const ssize_t sent =
            send(client, data.data(), std::min<size_t>(data.size(), 65536), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<size_t>(sent));
        std::lock_guard lock(mutex_);
        bytesSent_ += sent;
    }
    return true;
}

bool LocalHttpServer::pause(int milliseconds) {
    std::unique_lock lock(mutex_);
    return !changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                              [this] { return stopping_; });
}

} // namespace tomorine::test
