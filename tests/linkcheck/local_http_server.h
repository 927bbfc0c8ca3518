#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace tomorine::test {

// An HTTP/1.1 server on 127.0.0.1 and a free port, one thread a connection,
// for the link check's tests and benchmarks. Paths:
//   /ok                 200
//   /status/N           status N
//   /redirect/K/PATH    K redirects (302), then PATH (/redirect/2/ok, /redirect/1/status/404)
//   /loop               302 to itself
//   /to-ftp             302 to an ftp: URL
//   /slow/MS            200 after MS milliseconds
//   /hang               no answer until the server stops
//   /big                200 with a 16 MiB body
// A TLS handshake gets a plain HTTP answer, so https: requests fail their TLS.
// It counts the requests in flight at once, in all and by the Host header's
// name, so that tests can see the limits kept.
class LocalHttpServer {
public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:PORT" + path, or with the given host name.
    std::string url(std::string_view path) const;
    std::string url(std::string_view host, std::string_view path) const;
    // "host:PORT:127.0.0.1", the CURLOPT_RESOLVE entry that sends `host` here.
    std::string resolveEntry(std::string_view host) const;

    int requests() const;
    int maxInFlight() const;
    int maxInFlightOfHost(const std::string& host) const;
    std::string lastUserAgent() const;
    // Bytes of /big bodies sent, all told.
    long long bigBytesSent() const;

private:
    void acceptLoop();
    void serve(int client);
    std::string answer(int client, const std::string& path);
    void streamBig(int client);
    void enter(const std::string& host);
    void leave(const std::string& host);
    bool pause(int milliseconds); // false when the server stops meanwhile

    int listener_ = -1;
    int port_ = 0;
    std::thread acceptor_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    int connections_ = 0;
    int requests_ = 0;
    int inFlight_ = 0;
    int maxInFlight_ = 0;
    std::map<std::string, std::pair<int, int>> hosts_; // name -> (in flight, most at once)
    std::string lastUserAgent_;
    long long bigBytes_ = 0;
};

// A port on 127.0.0.1 that takes connections into its backlog and never
// answers: requests to it run into their time-outs.
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    int port() const { return port_; }

private:
    int socket_ = -1;
    int port_ = 0;
};

// A port on 127.0.0.1 that is bound but not listening: connections are refused.
class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    int port() const { return port_; }

private:
    int socket_ = -1;
    int port_ = 0;
};

} // namespace tomorine::test
