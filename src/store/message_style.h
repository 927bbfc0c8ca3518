#pragma once

namespace tomorine {

// Message-box styles, numbered as the platform's message boxes number them.
namespace MessageStyle {
inline constexpr int Ok = 0;
inline constexpr int OkCancel = 1;
inline constexpr int Critical = 16;
inline constexpr int Exclamation = 48;
inline constexpr int OkCancelExclamation = 49;
inline constexpr int Information = 64;
} // namespace MessageStyle

inline constexpr int AnswerOk = 1;
inline constexpr int AnswerCancel = 2;

} // namespace tomorine
