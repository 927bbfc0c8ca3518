#pragma once

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tomorine::test {

// An HTTP server on 127.0.0.1 for the capture's tests: each path answers
// with its fixed response; a silent path accepts the request and never
// answers.
class LocalHttpServer {
public:
    struct Response {
        std::string contentType = "text/html";
        std::string body;
        int status = 200;
        bool silent = false;
    };

    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    void serve(const std::string& path, Response response);
    std::string url(const std::string& path) const;

private:
    void run();
    void answer(int client);

    int listener_ = -1;
    int stopPipe_[2] = {-1, -1};
    int port_ = 0;
    std::mutex mutex_;
    std::map<std::string, Response> responses_;
    std::vector<int> silentClients_;
    std::thread thread_;
};

} // namespace tomorine::test
