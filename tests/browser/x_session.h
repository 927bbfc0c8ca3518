#pragma once

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace tomorine::test {

inline bool OnPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// A program in a process group of its own, ended with the group.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& env,
          int keepFd = -1);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

private:
    int pid_ = -1;
};

// Xvfb on a display it picks, openbox managing its windows; name empty if it did not start.
struct XvfbSession {
    XvfbSession();
    std::unique_ptr<Child> xvfb, openbox;
    std::string name;
};

} // namespace tomorine::test
