//! @file status_notification_test.cpp
//! @brief The status notification composer: each note's exact text, its conditions and order.
#include "analysis/ipman_status_notification.h"

#include <dev/dev.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string BR = "<br />";
const std::string INCOMPATIBLE_FAMILY =
    "<font color=red>Device Family targeted by IP variant incompatible with project Device Family. </font>";
const std::string MIGRATE_FAMILY =
    "IP variant will be migrated to the project device family when performing automatic upgrade. ";
const std::string INCOMPATIBLE_DEVICE =
    "<font color=red>Device targeted by IP variant incompatible with project device. </font>";
const std::string SELECT_DEVICE = "Select a device from the 'Available Devices' list before upgrading. ";
const std::string MIGRATE_DEVICE =
    "IP variant will be migrated to the project device when performing automatic upgrade. ";
const std::string CANNOT_UPGRADE =
    "IP variant cannot be upgraded and is not supported for selected project device family. Either select a "
    "device family supported by this IP or remove the IP from the project and parameterize a supported IP "
    "core "
    "from the IP Catalog. To view the settings of the IP parameters, open the IP variant in Vorlin Standard "
    "Edition.";
const std::string DISCONTINUED =
    "Support for this IP has been discontinued. This core cannot be upgraded but the "
    "generated HDL files will continue to compile. ";
const std::string NO_EDITOR =
    "<font color=red>No compatible IP parameter editor found. This may be because the IP "
    "is not installed or because the latest editor is no longer compatible with the IP "
    "variant file. ";
const std::string DOUBLE_CLICK = "Double-click to upgrade IP core. ";
const std::string CONVERTED = "IP core will be converted to use latest IP parameter editor. ";

IPMAN_IP_INFO record(IPMAN_IP_REGEN_STATUS_ENUM status, IPMAN_IP_UPGRADE_FLOW_ENUM flow)
{
    IPMAN_IP_INFO info;
    info.regen_status(status);
    info.upgrade_flow(flow);
    info.ip_generation_file("/p/sys.tessel");
    return info;
}

std::string compose(const IPMAN_IP_INFO& info, bool family_trait_test = true,
                    DEV_PART_ENUM part = DEV_PART_GENERIC)
{
    return ipman_compose_status_notification(info, family_trait_test, part);
}

TEST(StatusNotification, CompatibleRecordHasNone)
{
    EXPECT_EQ(compose(record(IPMAN_COMPATIBLE, IPMAN_NO_UPGRADE)), "");
    EXPECT_EQ(compose(record(IPMAN_VERSION_OLD, IPMAN_TESSEL_UPGRADE_IP_CORES)), "");
}

TEST(StatusNotification, StatusNotes)
{
    EXPECT_EQ(compose(record(IPMAN_INCOMPATIBLE_FAMILY, IPMAN_TESSEL_UPGRADE_IP_CORES)),
              INCOMPATIBLE_FAMILY + BR + MIGRATE_FAMILY);
    EXPECT_EQ(compose(record(IPMAN_INCOMPATIBLE_TOOL_ENV, IPMAN_TESSEL_UPGRADE_IP_CORES)),
              "<font color=red>IP was generated using a different software edition and must be regenerated. "
              "</font>");
    EXPECT_EQ(compose(record(IPMAN_FAMILY_MISMATCH, IPMAN_VKELVANE_SILENT)),
              "<strong>Warning</strong>: Device Family targeted by IP variant does not match project Device "
              "Family. ");
}

TEST(StatusNotification, IncompatibleDeviceAsksForARealPart)
{
    const IPMAN_IP_INFO silent = record(IPMAN_INCOMPATIBLE_DEV_TRAIT, IPMAN_TESSEL_UPGRADE_IP_CORES);
    EXPECT_EQ(compose(silent, true, DEV_PART_GENERIC),
              INCOMPATIBLE_DEVICE + BR + SELECT_DEVICE + BR + MIGRATE_DEVICE);
    EXPECT_EQ(compose(silent, true, dstr_get_dev_part_enum_by_string("CV5-AUTO")),
              INCOMPATIBLE_DEVICE + BR + SELECT_DEVICE + BR + MIGRATE_DEVICE);
    EXPECT_EQ(compose(record(IPMAN_INCOMPATIBLE_DEV_TRAIT, IPMAN_NOT_SUPPORTED), true,
                      dstr_get_dev_part_enum_by_string("CV5A-F1152-I2")),
              INCOMPATIBLE_DEVICE + BR + CANNOT_UPGRADE);
}

TEST(StatusNotification, RecordsThatCannotBeUpgraded)
{
    IPMAN_IP_INFO eol = record(IPMAN_VERSION_OLD, IPMAN_NOT_SUPPORTED);
    eol.is_eol(true);
    EXPECT_EQ(compose(eol), DISCONTINUED);
    eol.regen_status(IPMAN_INCOMPATIBLE);
    EXPECT_EQ(compose(eol), CANNOT_UPGRADE);

    // The editor note opens a red font and leaves it open.
    EXPECT_EQ(compose(record(IPMAN_VERSION_OLD, IPMAN_KELVANE_NOT_INSTALLED)), NO_EDITOR);
    EXPECT_EQ(compose(record(IPMAN_INCOMPATIBLE, IPMAN_KELVANE_NOT_INSTALLED)),
              CANNOT_UPGRADE + BR + NO_EDITOR);
}

TEST(StatusNotification, EditorAndConversionNotes)
{
    EXPECT_EQ(compose(record(IPMAN_VERSION_OLD, IPMAN_VKELVANE_UI_ONLY)), DOUBLE_CLICK);
    EXPECT_EQ(compose(record(IPMAN_INCOMPATIBLE, IPMAN_VKELVANE_LEGACY_UI_ONLY)),
              DOUBLE_CLICK + BR + CONVERTED);
    EXPECT_EQ(compose(record(IPMAN_INCOMPATIBLE, IPMAN_VKELVANE_LEGACY_SILENT)), CONVERTED);
    EXPECT_EQ(compose(record(IPMAN_VERSION_OLD, IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL)), CONVERTED);

    IPMAN_IP_INFO failed = record(IPMAN_VERSION_OLD, IPMAN_NO_UPGRADE);
    failed.upgrade_status(IPMAN_UPGRADE_CONVERTED_BUT_FAILED_REGEN);
    EXPECT_EQ(compose(failed), "");
    failed.upgrade_message("generation failed");
    EXPECT_EQ(compose(failed),
              "<strong>Error</strong>: IP was converted to use latest infrastructure but failed "
              "generation. Open the converted IP in the IP parameter editor to resolve errors. ");
}

TEST(StatusNotification, IpListPlacementWarnings)
{
    IPMAN_IP_INFO to_list = record(IPMAN_VERSION_OLD, IPMAN_TESSEL_UPGRADE_IP_CORES_TO_VIP);
    EXPECT_EQ(compose(to_list), "");  // placement unknown
    to_list.vip_in_default_directory(IPMAN_TERNARY_FALSE);
    const auto expected = [](const std::string& path) {
        return "<strong>Warning</strong>: VIP file not found in expected generation directory. Automatic "
               "upgrade "
               "will produce a new VIP file at '" +
               path +
               "' relative to the TESSEL file and remove the existing "
               "VIP file from the project. If regenerating using the parameter editor, ensure that the old "
               "VIP "
               "file is replaced by the newly generated VIP. ";
    };
    EXPECT_EQ(compose(to_list, true), expected("sys/synthesis/sys.vip"));
    EXPECT_EQ(compose(to_list, false), expected("sys/sys.vip"));
    to_list.vip_in_default_directory(IPMAN_TERNARY_TRUE);
    EXPECT_EQ(compose(to_list), "");

    IPMAN_IP_INFO silent = record(IPMAN_VERSION_OLD, IPMAN_VKELVANE_SILENT);
    silent.vip_in_default_directory(IPMAN_TERNARY_FALSE);
    EXPECT_EQ(compose(silent),
              "<strong>Warning</strong>: VIP file not co-located with IP variant file. Automatic "
              "upgrade will produce a new VIP next to the variant file and remove the existing VIP "
              "file from the project. If regenerating using the parameter editor, ensure that the "
              "old VIP file is replaced by the newly generated VIP. ");
    IPMAN_IP_INFO editor = record(IPMAN_VERSION_OLD, IPMAN_VKELVANE_UI_ONLY);
    editor.vip_in_default_directory(IPMAN_TERNARY_FALSE);
    EXPECT_EQ(compose(editor),
              DOUBLE_CLICK + BR +
                  "<strong>Warning</strong>: VIP file not co-located with IP variant file. "
                  "Regenerating using the parameter editor will create a new VIP file next to "
                  "the variant file. Ensure that the old VIP file is replaced by the new VIP "
                  "after the IP is generated. ");
}

}  // namespace
