#pragma once

#include "store/workbook/workbook_error.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace tomorine::test {

// Whether `act` ends in a WorkbookError of `fault` whose description holds every phrase.
inline ::testing::AssertionResult FailsWith(const std::function<void()>& act, WorkbookFault fault,
                                            std::initializer_list<std::string> phrases = {}) {
    try {
        act();
        return ::testing::AssertionFailure() << "no error";
    } catch (const WorkbookError& e) {
        bool said = e.fault() == fault;
        for (const std::string& phrase : phrases) {
            said = said && std::string(e.description()).find(phrase) != std::string::npos;
        }
        return (said ? ::testing::AssertionSuccess() : ::testing::AssertionFailure())
               << "fault " << static_cast<int>(e.fault()) << ": " << e.description();
    }
}

} // namespace tomorine::test
