//! @file ipman_constants.h
//! @brief The module's exported vocabulary: tool, vendor and display names, labels, suffixes.
#pragma once

extern const char* const IPMAN_NA_STR;                  //!< "N/A": identity not known
extern const char* const IPMAN_UNKNOWN_STR;             //!< "Unknown"
extern const char* const IPMAN_TESSEL_STR;              //!< "Tessel"
extern const char* const IPMAN_TESSEL_CP_STR;           //!< "TesselCrestPro"
extern const char* const IPMAN_TESSEL_PRO_STR;          //!< "TesselPro"
extern const char* const IPMAN_TESSEL_SA_STR;           //!< "TesselSA"
extern const char* const IPMAN_TESSEL_CP_SA_STR;        //!< "TesselCrestProSA"
extern const char* const IPMAN_GRIDWRIGHT_STR;          //!< "Gridwright"
extern const char* const IPMAN_GRIDWRIGHT_SA_STR;       //!< "GridwrightSA"
extern const char* const IPMAN_TESSEL_SYS_STR;          //!< "<Plandor>": display name of a system
extern const char* const IPMAN_GRIDWRIGHT_SYS_STR;      //!< "<System>": display name of a platform
extern const char* const IPMAN_KVX_STR;                 //!< "kvx"
extern const char* const IPMAN_LAUNCH_TESSEL_STR;       //!< "Open Tessel"
extern const char* const IPMAN_LAUNCH_KVX_STR;          //!< "Open Kelvane"
extern const char* const IPMAN_AUTO_STR;                //!< "Upgrade"
extern const char* const IPMAN_MANUAL_STR;              //!< "Manual"
extern const char* const IPMAN_PASSED_STR;              //!< "Passed"
extern const char* const IPMAN_FAILED_STR;              //!< "Failed"
extern const char* const IPMAN_BAK_STR;                 //!< ".BAK": backup suffix
extern const char* const IPMAN_KORS_VERSION_SHORT_STR;  //!< "__KORS_VERSION_SHORT__"
extern const char* const IPMAN_OLTRAN_STR;              //!< "Oltran"
extern const char* const IPMAN_OLTRAN_CORP_STR;         //!< "Oltran Corporation"
extern const char* const IPMAN_NODRIN_STR;              //!< "Nodrin Corporation"
