#pragma once

#include "linkcheck/link_check.h"
#include "local_http_server.h"
#include "store/entry.h"
#include "support/entry_rows.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace tomorine::test {

// Options that keep every request on this machine: only 127.0.0.1 and the given names
// (each resolved to 127.0.0.1 on the server's port) are reached, the proxy of the
// environment is ignored, and requests give up after `timeout`.
LinkCheckOptions LoopbackOptions(const LocalHttpServer& server,
                                 const std::vector<std::string>& names = {},
                                 std::chrono::milliseconds timeout = std::chrono::seconds(2));

// Waits for the check to finish and returns every verdict it hands on.
std::vector<RowVerdict> RunToEnd(LinkCheck& check);

Entry UrlEntry(std::int32_t serial, const std::string& url, std::u16string title);

// The serials of the entry rows as xlrd reads the file.
std::vector<int> SerialsByXlrd(const std::filesystem::path& file);

} // namespace tomorine::test
