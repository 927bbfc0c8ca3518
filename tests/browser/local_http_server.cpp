#include "local_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace tomorine::test {

LocalHttpServer::LocalHttpServer() {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener_, 16) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        pipe(stopPipe_) != 0) {
        throw std::runtime_error("cannot start the test HTTP server");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

LocalHttpServer::~LocalHttpServer() {
    (void)!write(stopPipe_[1], "x", 1);
    thread_.join();
    for (int client : silentClients_) {
        close(client);
    }
    close(listener_);
    close(stopPipe_[0]);
    close(stopPipe_[1]);
}

void LocalHttpServer::serve(const std::string& path, Response response) {
    std::lock_guard lock(mutex_);
    responses_[path] = std::move(response);
}

std::string LocalHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LocalHttpServer::run() {
    while (true) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 || fds[1].revents) {
            return;
        }
        const int client = accept(listener_, nullptr, nullptr);
        if (client >= 0) {
            answer(client);
        }
    }
}

void LocalHttpServer::answer(int client) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t got = read(client, buffer, sizeof buffer);
        if (got <= 0) {
            close(client);
            return;
        }
        request.append(buffer, static_cast<std::size_t>(got));
    }
    const std::size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    Response response;
    {
        std::lock_guard lock(mutex_);
        const auto found = responses_.find(path);
        response = found != responses_.end() ? found->second : Response{"text/plain", "", 404};
    }
    if (response.silent) {
        silentClients_.push_back(client);
        return;
    }
    std::string head = "HTTP/1.1 " + std::to_string(response.status) + " X\r\n";
    if (!response.contentType.empty()) {
        head += "Content-Type: " + response.contentType + "\r\n";
    }
    head +=
        "Content-Length: " + std::to_string(response.body.size()) + "\r\nConnection: close\r\n\r\n";
    const std::string whole = head + response.body;
    std::size_t sent = 0;
    while (sent < whole.size()) {
        const ssize_t done = send(client, whole.data() + sent, whole.size() - sent, MSG_NOSIGNAL);
        if (done <= 0) {
            break;
        }
        sent += static_cast<std::size_t>(done);
    }
    close(client);
}

} // namespace tomorine::test
