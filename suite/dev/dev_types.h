//! @file dev_types.h
//! @brief Plain value types of the device database, shared by its callers.
#pragma once

//! Family numbers are those of devices/devices.xml; any listed id is a valid value.
enum DEV_FAMILY_ENUM : int {
    DEV_FAMILY_NONE = 0,              //!< no family (reserved)
    DEV_FAMILY_DEVICE_AGNOSTIC = 78,  //!< "Device Agnostic": no particular family (reserved)
};

//! Part numbers are those of devices/devices.xml; 0 means unset.
using DEV_PART_ENUM = int;
