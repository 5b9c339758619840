//! @file catalog_test.cpp
//! @brief IP catalog queries over a copy of the bundled catalog: names, aliases, renamed cores,
//! end of life per family, filters, broken files and refresh.
#include "support/test_support.h"

#include <ipcatalog/ipcatalog.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> names_of(const std::vector<const IPCATALOG_CARD*>& cards)
{
    std::vector<std::string> names;
    for (const IPCATALOG_CARD* card : cards)
        names.push_back(card->get_name());
    return names;
}

bool contains(const std::vector<std::string>& list, const std::string& value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

const DEV_FAMILY_ENUM CREST_II = DEV_FAMILY_ENUM(10);
const DEV_FAMILY_ENUM CREST_V = DEV_FAMILY_ENUM(12);

//! Runs each test on its own copy of the bundled catalog as IP_ROOTDIR.
class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::copy(std::string(VORLIN_BUNDLED_ROOTDIR) + "ip/catalog", catalog_dir());
        m_catalog = IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false);
        m_catalog->update(IPCATALOG_CHECK_TIME_AND_SIZE, false, true);
    }
    void TearDown() override
    {
        m_ip_root.reset();
        m_catalog->update(IPCATALOG_CHECK_TIME_AND_SIZE, false, true);
    }
    std::string catalog_dir() const { return m_root.file("catalog"); }
    void write(const std::string& name, const std::string& text) const
    {
        m_root.write("catalog/" + name, text);
    }
    const IPCATALOG_CARD* card(const std::string& name) const
    {
        auto cards = m_catalog->get_ip_cards_by_name(name);
        return cards.size() == 1 ? cards.front() : nullptr;
    }

    TEMP_DIR m_root;
    std::optional<SCOPED_ENV> m_ip_root{std::in_place, "IP_ROOTDIR", m_root.path()};
    IPCATALOG_VORLIN_IP_CATALOG_MANAGER* m_catalog = nullptr;
};

}  // namespace

TEST_F(CatalogTest, NameQueriesWithAliasesCaseAndMatchingNames)
{
    EXPECT_EQ(names_of(m_catalog->get_ip_cards_by_name("fir_filter")),
              std::vector<std::string>{"fir_filter"});
    EXPECT_TRUE(m_catalog->get_ip_cards_by_name("FIR_FILTER").empty());
    EXPECT_EQ(names_of(m_catalog->get_ip_cards_by_name("FIR", IPCATALOG_QUERY_ANALYSIS)),
              std::vector<std::string>{"fir_filter"});
    // Catalog order: files by name (legacy.xml before memory.xml), then document order.
    EXPECT_EQ(names_of(m_catalog->get_ip_cards_by_name("kv_ram_2port", IPCATALOG_QUERY_MATCHING)),
              (std::vector<std::string>{"kv_ram_2port", "ram_2port"}));

    const IPCATALOG_CARD* fir = card("fir_filter");
    ASSERT_NE(fir, nullptr);
    ASSERT_EQ(fir->get_matching_ip_cards().size(), 1u);
    const IPCATALOG_CARD* legacy = fir->get_matching_ip_cards().front();
    EXPECT_EQ(legacy->get_legacy_iputf_file(), "fir.iputf");
    EXPECT_EQ(legacy->get_legacy_iputf_family_parameter(), "DEVICE_FAMILY");

    // Renamed cores (the analysis tests use the index); several entries naming one old core.
    IPCATALOG_SCOPED_READ_WRITE_MUTEX lock(m_catalog);
    EXPECT_EQ(m_catalog->get_upgrade_index().at("pll_basic"), std::vector<std::string>{"clock_pll"});
}

TEST_F(CatalogTest, BrokenFilesAndEntriesAreSkippedTheRestStays)
{
    write("aaa_binary.xml", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    write("bbb_truncated.xml", "<ip_catalog><card name=\"lost\" version=\"1.0\">");
    write("ccc_other_root.xml", "<devices><card name=\"not_a_card\"/></devices>");
    write("ddd_entries.xml", R"(<ip_catalog>
        <card version="1.0"/>
        <card name="odd_type" type="system"/>
        <card name="elsewhere" version="1.0"><family>Crest IX</family></card>
        <card name="kept" version="2.0"><family>Crest IX</family><family>Cinder</family><fileset>x</fileset>
          <upgradeable_from name="gone" family="Crest IX"/><upgradeable_from name="old_kept"/></card>
        <outdated name="kept"><release version="one">no</release><eol version="1.0" family="Crest IX"/>
          <release version="1.5">yes</release></outdated>
      </ip_catalog>)");
    // Not UTF-8 (a Latin-1 byte): the generators skip such a file, so the catalog does too.
    write("eee_latin1.xml",
          "<ip_catalog><card name=\"latin\" version=\"1.0\" display_name=\"\xe9\"/></ip_catalog>");
    ASSERT_EQ(::mkfifo((catalog_dir() + "/fff_pipe.xml").c_str(), 0600), 0);
    // The binary, Latin-1 and FIFO files are skipped without being read into the catalog.
    EXPECT_EQ(m_catalog->update(IPCATALOG_CHECK_TIME_AND_SIZE, false, true), 3);

    EXPECT_NE(card("fir_filter"), nullptr);
    EXPECT_TRUE(m_catalog->get_ip_cards_by_name("latin").empty());
    EXPECT_TRUE(m_catalog->get_ip_cards_by_name("lost").empty());
    EXPECT_TRUE(m_catalog->get_ip_cards_by_name("odd_type").empty());
    EXPECT_TRUE(m_catalog->get_ip_cards_by_name("elsewhere").empty());  // not a card for every family
    const IPCATALOG_CARD* kept = card("kept");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->get_supported_families(), std::vector<DEV_FAMILY_ENUM>{DEV_FAMILY_ENUM(31)});
    EXPECT_TRUE(kept->const_supported_filesets().empty());
    ASSERT_EQ(kept->get_upgradeable_from_info().size(), 1u);
    EXPECT_EQ(kept->get_upgradeable_from_info()[0].version, "all");
    const IPCATALOG_OUTDATED_IP_INFO* info = m_catalog->get_outdated_ip_info("kept");
    EXPECT_EQ(info->get_release_descriptions(IPVX_VERSION("1.0"), IPVX_VERSION("2.0")),
              std::vector<std::string>{"yes"});
    EXPECT_FALSE(info->is_eol(IPVX_VERSION("1.0"), DEV_FAMILY_ENUM(31)));
}

TEST_F(CatalogTest, UpdateRereadsChangedAddedAndRemovedFiles)
{
    EXPECT_EQ(m_catalog->update(IPCATALOG_CHECK_CONTENT, false, true), 0);

    write("extra.xml", R"(<ip_catalog><card name="extra_core" version="1.0"/></ip_catalog>)");
    EXPECT_EQ(m_catalog->update(IPCATALOG_CHECK_TIME_AND_SIZE, false, false), 0);  // not looked for
    EXPECT_EQ(m_catalog->update(IPCATALOG_CHECK_TIME_AND_SIZE, false, true), 1);
    EXPECT_EQ(card("extra_core")->get_version(), "1.0");

    // Same size, same modification time: only the content check sees the new version.
    const std::string path = catalog_dir() + "/extra.xml";
    struct stat before {};
    stat(path.c_str(), &before);
    write("extra.xml", R"(<ip_catalog><card name="extra_core" version="2.0"/></ip_catalog>)");
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
    EXPECT_EQ(m_catalog->update(IPCATALOG_CHECK_TIME_AND_SIZE, false, false), 0);
    EXPECT_EQ(card("extra_core")->get_version(), "1.0");
    EXPECT_EQ(m_catalog->update(IPCATALOG_CHECK_CONTENT, false, false), 1);
    EXPECT_EQ(card("extra_core")->get_version(), "2.0");

    fs::remove(path);
    EXPECT_EQ(m_catalog->update(IPCATALOG_CHECK_TIME_AND_SIZE, false, false), 1);
    EXPECT_EQ(card("extra_core"), nullptr);
    EXPECT_NE(card("fir_filter"), nullptr);
    EXPECT_EQ(m_catalog->update(IPCATALOG_CHECK_TIME, true, false),
              static_cast<int>(m_catalog->get_catalog_files().size()));
}

TEST_F(CatalogTest, EndOfLifeAndInvalidVersionsPerFamily)
{
    const IPCATALOG_OUTDATED_IP_INFO* fir = m_catalog->get_outdated_ip_info("fir_filter");
    EXPECT_TRUE(fir->is_eol(IPVX_VERSION("19.1"), CREST_II));
    EXPECT_FALSE(fir->is_eol(IPVX_VERSION("20.1"), CREST_II));
    EXPECT_FALSE(fir->is_eol(IPVX_VERSION("19.1"), CREST_V));
    EXPECT_FALSE(fir->is_eol(IPVX_VERSION("N/A"), CREST_II));

    // Every version (uart_tiny) and invalid versions of fifo_buffer: the analysis tests.
    const IPCATALOG_OUTDATED_IP_INFO* pll = m_catalog->get_outdated_ip_info("pll_basic");
    EXPECT_TRUE(pll->is_invalid(IPVX_VERSION("20.2"), CREST_II, CREST_V));
    EXPECT_FALSE(pll->is_invalid(IPVX_VERSION("20.2"), CREST_V, CREST_II));
}

TEST_F(CatalogTest, FiltersSelectLegacyCards)
{
    const auto legacy = m_catalog->get_ip_cards_by_filter("type=legacy");
    EXPECT_TRUE(contains(names_of(legacy), "kv_counter"));
    for (const IPCATALOG_CARD* card : legacy)
        EXPECT_EQ(card->get_ip_type(), IPCATALOG_IP_TYPE_LEGACY);
    EXPECT_TRUE(
        contains(names_of(m_catalog->get_ip_cards_by_filter(" TYPE=Legacy ; family=Cinder ")), "kv_mult"));
    EXPECT_FALSE(
        contains(names_of(m_catalog->get_ip_cards_by_filter("type=legacy; family=Crest V")), "kv_mult"));
    EXPECT_TRUE(m_catalog->get_ip_cards_by_filter("colour=blue").empty());
    EXPECT_EQ(m_catalog->get_ip_cards_by_filter("").size(), m_catalog->get_all_ip_cards().size());
}
