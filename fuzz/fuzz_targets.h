//! @file fuzz_targets.h
//! @brief One function per reader of outside input: feeds it the input and answers 0.
//! A reader may refuse an input; it must neither crash, hang nor leak on any.
#pragma once

#include <cstddef>
#include <cstdint>

int fuzz_project_file(const std::uint8_t* data, std::size_t size);
int fuzz_settings_file(const std::uint8_t* data, std::size_t size);
int fuzz_ip_list(const std::uint8_t* data, std::size_t size);
int fuzz_csv_table(const std::uint8_t* data, std::size_t size);
int fuzz_ipxact(const std::uint8_t* data, std::size_t size);
int fuzz_system_file(const std::uint8_t* data, std::size_t size);
int fuzz_wizard_lines(const std::uint8_t* data, std::size_t size);
int fuzz_retrieval_lines(const std::uint8_t* data, std::size_t size);
int fuzz_catalog(const std::uint8_t* data, std::size_t size);
int fuzz_device_list(const std::uint8_t* data, std::size_t size);
int fuzz_netlist(const std::uint8_t* data, std::size_t size);
