#pragma once

namespace tomorine {

// Gives the pages of freed heap memory back to the system. A large buffer
// (a save's bytes) takes pages of its own, so freed memory the heap keeps
// would otherwise count on top of it; called where much was just freed and
// a save comes next.
void ReturnFreedMemory();

} // namespace tomorine
