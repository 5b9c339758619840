//! @file fuzz_scratch.h
//! @brief What every fuzz target shares: a scratch directory of its own, the bundled
//! installation, and the libFuzzer entry point of the fuzz build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

//! This process's scratch directory, ending with "/"; made on first use, removed at exit.
const std::string& fuzz_scratch_dir();

//! Writes the input to the scratch file name (rewritten on every call) and answers its path.
std::string fuzz_write_scratch(const std::string& name, const std::uint8_t* data, std::size_t size);

//! Points VORLIN_ROOTDIR at the bundled installation unless the caller chose one.
void fuzz_use_bundled_installation();

//! Readers that take text in memory get it as a string.
inline std::string fuzz_text(const std::uint8_t* data, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

//! A promise of the reader that holds for every input. A broken one ends the run like a crash:
//! libFuzzer keeps the input, and the regression test fails on it.
#define FUZZ_CHECK(condition) ((condition) ? (void)0 : fuzz_check_failed(#condition, __FILE__, __LINE__))
[[noreturn]] void fuzz_check_failed(const char* condition, const char* file, int line);

// The bodies are also run by the regression tests, which have no libFuzzer.
#ifdef VORLIN_FUZZ_TARGET
#define VORLIN_FUZZ_ENTRY(body)                                                                              \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)                        \
    {                                                                                                        \
        return body(data, size);                                                                             \
    }
#else
#define VORLIN_FUZZ_ENTRY(body)
#endif
