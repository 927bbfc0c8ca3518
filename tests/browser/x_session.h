#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tomorine::test {

bool OnPath(const std::string& program);

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

// Xvfb on a display it picks, openbox managing its windows; name() empty if it did not start.
class XvfbSession {
public:
    XvfbSession();
    const std::string& name() const { return name_; }

private:
    std::unique_ptr<Child> xvfb_;
    std::unique_ptr<Child> openbox_;
    std::string name_;
};

} // namespace tomorine::test
