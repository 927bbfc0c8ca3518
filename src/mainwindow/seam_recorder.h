#pragma once

#include <deque>
#include <utility>
#include <vector>

namespace tomorine {

// Stands in for a modal window in tests: while recording, every question is
// kept and answered from a queue instead of being shown.
template <typename Question, typename Answer>
class SeamRecorder {
public:
    bool recording() const { return recording_; }
    void start() {
        *this = SeamRecorder{};
        recording_ = true;
    }
    void stop() { *this = SeamRecorder{}; }
    void queue(std::deque<Answer> answers) { answers_ = std::move(answers); }

    // Keeps the question; the next queued answer, or `otherwise` when none is left.
    Answer answer(Question question, Answer otherwise) {
        asked_.push_back(std::move(question));
        if (answers_.empty()) {
            return otherwise;
        }
        Answer next = std::move(answers_.front());
        answers_.pop_front();
        return next;
    }

    const std::vector<Question>& asked() const { return asked_; }
    void clearAsked() { asked_.clear(); }

private:
    bool recording_ = false;
    std::deque<Answer> answers_;
    std::vector<Question> asked_;
};

} // namespace tomorine
