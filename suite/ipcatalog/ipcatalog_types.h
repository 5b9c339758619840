//! @file ipcatalog_types.h
//! @brief Plain value types of the IP catalog, shared by its callers.
#pragma once

//! Filesets a catalog card can generate (the card's <fileset> numbers).
enum IPCATALOG_SUPPORTED_FILESET_ENUM : int {
    IPCATALOG_FILESET_SYNTHESIS = 0,
    IPCATALOG_FILESET_SIM_VERILOG = 1,
    IPCATALOG_FILESET_SIM_VHDL = 2,
    IPCATALOG_FILESET_BLOCK_SYMBOL = 3,
};

//! Card kinds (the card's type attribute).
enum IPCATALOG_IP_TYPE : int {
    IPCATALOG_IP_TYPE_STANDALONE = 0,
    IPCATALOG_IP_TYPE_LEGACY = 1,
};
