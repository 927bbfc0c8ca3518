#pragma once

namespace tomorine::cli {

// A workbook of tens of thousands of entries fills a heap of a hundred
// megabytes as it is read, touched page by page; in huge pages the kernel
// takes one fault where it took hundreds (a search of 60,000 entries: 0.58 s
// down to 0.30 s). glibc asks for them only when GLIBC_TUNABLES says so at
// start, so the program starts itself again once with it set, unless the
// user set the variable. The variable is gone again before the command runs:
// the programs it starts never see it.
void RestartWithHugePageHeap(char** argv);

} // namespace tomorine::cli
