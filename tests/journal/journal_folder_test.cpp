// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Where the journals live and how long they stay.

#include "journal_fixture.h"

#include "journal/journal_file.h"
#include "journal/journal_folder.h"

#include <cstdlib>
#include <fstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace clampmeter::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

#ifndef _WIN32
/// Sets or unsets environment variables for the life of the object.
class Environment {
public:
    void set(const char* name, const char* value)
    {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old == nullptr ? std::nullopt : std::optional(std::string(old)));
        if (value == nullptr)
            ::unsetenv(name);
        else
            ::setenv(name, value, 1);
    }
    ~Environment()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST(JournalFolder, TheStateFolderOfTheUserOrOfTheEnvironment)
{
    struct Case {
        const char* stateHome;
        const char* home;
        const char* folder; ///< null: none
    };
    const Case cases[] = {
        {"/data/state", "/home/me", "/data/state/clampmeter/sessions"},
        {nullptr, "/home/me", "/home/me/.local/state/clampmeter/sessions"},
        {"", "/home/me", "/home/me/.local/state/clampmeter/sessions"},
        {"relative/state", "/home/me", "/home/me/.local/state/clampmeter/sessions"},
        {nullptr, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        Environment environment;
        environment.set("XDG_STATE_HOME", c.stateHome);
        environment.set("HOME", c.home);
        const auto folder = defaultJournalFolder();
        EXPECT_EQ(folder ? folder->string() : "none", c.folder ? c.folder : "none")
            << (c.stateHome ? c.stateHome : "(unset)");
    }
    Environment environment;
    environment.set("CLAMPMETER_JOURNAL", "off");
    EXPECT_TRUE(journalSwitchedOff());
    environment.set("CLAMPMETER_JOURNAL", "on");
    EXPECT_FALSE(journalSwitchedOff());
}
#endif

TEST(JournalFolder, SessionNamesTellTheirStartAndSortByIt)
{
    using namespace std::chrono;
    const UtcTime morning(sys_days(year(2026) / 12 / 10) + 9h + 5min + 7s + 900ms);
    EXPECT_EQ(newSessionId(morning, 4242), "20261210T090507Z-4242");
    EXPECT_LT(newSessionId(morning, 99999), newSessionId(morning + 1s, 1));
}

class JournalRetention : public JournalFixture {
protected:
    void SetUp() override { fs::create_directories(folder()); }

    /// A closed session of `bytes` bytes last written `age` ago.
    void makeSession(const std::string& id, std::uintmax_t bytes, std::chrono::hours age)
    {
        const fs::path path = folder() / (id + ".journal");
        std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
        fs::last_write_time(path, m_fileNow - age);
    }

    std::vector<std::string> left() const
    {
        std::vector<std::string> ids;
        for (const SessionFile& session : listSessionFiles(folder()))
            ids.push_back(session.id);
        return ids;
    }

    fs::file_time_type m_fileNow = fs::file_time_type::clock::now();
};

TEST_F(JournalRetention, SessionsOlderThanThirtyDaysGo)
{
    makeSession("20261001T000000Z-1", 10, 31 * 24h);
    makeSession("20261105T000000Z-2", 10, 29 * 24h);
    makeSession("20261210T000000Z-3", 10, 1h);
    EXPECT_EQ(applyRetention(folder(), m_fileNow, "none"),
        std::vector<std::string> {"20261001T000000Z-1"});
    EXPECT_EQ(left(), (std::vector<std::string> {"20261105T000000Z-2", "20261210T000000Z-3"}));
}

TEST_F(JournalRetention, TheOldestGoWhileAllTogetherAreTooLarge)
{
    makeSession("20261201T000000Z-1", 400, 3h);
    makeSession("20261202T000000Z-2", 400, 2h);
    makeSession("20261203T000000Z-3", 400, 1h);
    const RetentionLimits limits {std::chrono::hours(30 * 24), 900};
    EXPECT_EQ(applyRetention(folder(), m_fileNow, "none", limits),
        std::vector<std::string> {"20261201T000000Z-1"});
    EXPECT_EQ(left().size(), 2U);
}

TEST_F(JournalRetention, NeitherThisRunsSessionNorOneInUseGoes)
{
    makeSession("20261001T000000Z-5", 10, 40 * 24h);
    makeSession("20261002T000000Z-6", 10, 40 * 24h);
    // Another program runs the older session.
    JournalFile running;
    ASSERT_TRUE(running.open(folder() / "20261001T000000Z-5.journal", JournalFile::Mode::Append));
    const RetentionLimits limits {std::chrono::hours(30 * 24), 0};
    EXPECT_EQ(applyRetention(folder(), m_fileNow, "20261002T000000Z-6", limits),
        std::vector<std::string> {});
    EXPECT_EQ(left().size(), 2U);
    running.close();
    EXPECT_EQ(applyRetention(folder(), m_fileNow, "20261002T000000Z-6", limits),
        std::vector<std::string> {"20261001T000000Z-5"});
}

#ifndef _WIN32
TEST_F(JournalRetention, EntriesNamedLikeSessionsThatAreNoRegularFilesAreNeitherListedNorRead)
{
    makeSession("20261001T000000Z-1", 10, std::chrono::hours(1));
    ASSERT_EQ(::mkfifo((folder() / "20261002T000000Z-2.journal").c_str(), 0600), 0);
    fs::create_directory(folder() / "20261003T000000Z-3.journal");
    fs::create_symlink(
        folder() / "20261001T000000Z-1.journal", folder() / "20261004T000000Z-4.journal");
    EXPECT_EQ(left(), std::vector<std::string> {"20261001T000000Z-1"});
    for (const char* id : {"20261002T000000Z-2", "20261003T000000Z-3", "20261004T000000Z-4"}) {
        std::string reason;
        // A FIFO would hold an open for reading for ever.
        EXPECT_FALSE(readJournalFile(folder() / (std::string(id) + ".journal"), reason)) << id;
        EXPECT_EQ(reason, "not a regular file") << id;
        EXPECT_FALSE(journalFileInUse(folder() / (std::string(id) + ".journal"))) << id;
    }
}
#endif

} // namespace
} // namespace clampmeter::test
