#pragma once

namespace tomorine {

// Message-box styles as numbers that add up: buttons (0 OK, 1 OK/Cancel)
// plus an icon (16 critical, 32 question, 48 exclamation, 64 information).
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
