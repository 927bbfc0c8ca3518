#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>

namespace tomorine::test {

// An HTTP/1.1 server on 127.0.0.1 and a free port, one thread a connection.
// A path given to serve() answers as given; of the others
//   /ok 200, /status/N status N, /redirect/K/PATH K redirects then PATH,
//   /slow/MS 200 after MS milliseconds, /hang never answers, /reset a reset,
//   /empty a close with no answer, /drip a 200 whose body comes a byte every
//   100 ms, /reset-once/PATH a reset the first time and PATH after, anything else 404.
// A TLS handshake gets a plain HTTP answer, so https: requests fail their TLS.
// It counts the requests in flight at once, in all and by Host name.
class LocalHttpServer {
public:
    struct Response {
        std::string contentType = "text/html"; // no header when empty
        std::string body = {};
        int status = 200;
        std::string location = {}; // of a redirect
    };

    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    void serve(const std::string& path, Response response);
    int port() const { return port_; }
    std::string url(std::string_view path) const { return url("127.0.0.1", path); }
    std::string url(std::string_view host, std::string_view path) const;
    // A port bound but not listening: connections to it are refused.
    std::string refusedUrl() const { return "http://127.0.0.1:" + std::to_string(refused_) + "/"; }

    int requests() const { return locked(requests_); }
    int maxInFlight() const { return locked(maxInFlight_); }
    int maxInFlightOfHost(const std::string& host) const { return locked(hosts_)[host].second; }
    long long bytesSent() const { return locked(bytesSent_); } // of all bodies and heads

private:
    template <class T>
    T locked(const T& value) const {
        std::lock_guard lock(mutex_);
        return value;
    }
    void talk(int client);
    Response answer(const std::string& path);
    bool sendAll(int client, std::string_view data);
    bool pause(int milliseconds); // false when the server stops meanwhile

    int listener_ = -1, port_ = 0, refusing_ = -1, refused_ = 0;
    std::thread acceptor_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    int connections_ = 0, requests_ = 0, inFlight_ = 0, maxInFlight_ = 0;
    std::map<std::string, std::pair<int, int>> hosts_; // name -> (in flight, most at once)
    std::map<std::string, Response> served_;
    std::set<std::string> seen_; // paths requested
    long long bytesSent_ = 0;
};

} // namespace tomorine::test
