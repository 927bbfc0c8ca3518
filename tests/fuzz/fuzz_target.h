#pragma once
// FUZZ_TARGET(data, bytes) { ... } is the libFuzzer entry, the input as a span
// and as text. A WorkbookError out of it is a clean refusal; a crash or an
// abort is a fault.
#include "store/workbook/workbook_error.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#define FUZZ_TARGET(data, bytes)                                                                   \
    static void FuzzBody(std::span<const std::uint8_t> data, std::string_view bytes);              \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {           \
        try {                                                                                      \
            FuzzBody({input, size}, {reinterpret_cast<const char*>(input), size});                 \
        } catch (const tomorine::WorkbookError&) {                                                 \
        }                                                                                          \
        return 0;                                                                                  \
    }                                                                                              \
    static void FuzzBody([[maybe_unused]] std::span<const std::uint8_t> data,                      \
                         [[maybe_unused]] std::string_view bytes)

// A property of every input; its breach is a fault to stop at.
#define FUZZ_EXPECT(condition) ((condition) ? void() : std::abort())
