// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// QtOutputFiles on real folders: what replaces a file and when, what the user is told when
// it cannot, and the character set of what lands on disk. Folders without permission need
// an ordinary user (root is given the file system identity of "nobody" for them); a full
// disk needs a small tmpfs mounted in a private mount namespace, which needs root.

#include "../registry/temp_folder.h"
#include "../support/private_mount.h"
#include "platform/qt_output_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <sys/fsuid.h>
#include <unistd.h>
#include <vector>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::vector<std::string> entries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

/// Writes `content` in chunks of at most 64 KiB, as the writers do; true when all went in.
bool writeAll(OutputFile& file, const std::string& content)
{
    constexpr std::size_t kChunk = 64 * 1024;
    for (std::size_t at = 0; at < content.size(); at += kChunk) {
        if (!file.write(std::string_view(content).substr(at, kChunk)))
            return false;
    }
    return true;
}

class QtOutputFilesTest : public testing::Test {
protected:
    fs::path path(const char* name) const { return folder.path() / name; }

    TempFolder folder;
    QtOutputFiles files {"UTF-8"};
};

TEST_F(QtOutputFilesTest, CommitReplacesTheFileWithExactlyTheBytesWritten)
{
    writeFile(path("data.txt"), std::string(100000, 'x'));
    const std::unique_ptr<OutputFile> file = files.create(path("data.txt"));
    ASSERT_TRUE(file->write("line 1\r\n"));
    ASSERT_TRUE(file->write("line 2\r\n"));
    EXPECT_EQ(readFile(path("data.txt")), std::string(100000, 'x'))
        << "the old content stays until the commit";
    ASSERT_TRUE(file->commit()) << file->errorText();
    EXPECT_EQ(readFile(path("data.txt")), "line 1\r\nline 2\r\n");
    EXPECT_EQ(entries(folder.path()), std::vector<std::string> {"data.txt"});
}

TEST_F(QtOutputFilesTest, AnAbandonedSaveLeavesTheFileAndNoTraceOfItself)
{
    writeFile(path("data.txt"), "old\r\n");
    {
        const std::unique_ptr<OutputFile> file = files.create(path("data.txt"));
        ASSERT_TRUE(writeAll(*file, std::string(300000, 'n')));
    }
    EXPECT_EQ(readFile(path("data.txt")), "old\r\n");
    EXPECT_EQ(entries(folder.path()), std::vector<std::string> {"data.txt"});
}

struct CreateFailure {
    const char* name;
    const char* target; ///< relative to the test folder
    const char* reason;
};

void PrintTo(const CreateFailure& row, std::ostream* out)
{
    *out << row.name;
}

class FilesThatCannotBeCreated : public QtOutputFilesTest,
                                 public testing::WithParamInterface<CreateFailure> { };

INSTANTIATE_TEST_SUITE_P(Targets, FilesThatCannotBeCreated,
    testing::Values(
        CreateFailure {"MissingFolder", "missing/data.txt", "No such file or directory"},
        CreateFailure {"NameOfAFolder", "folder", "Is a directory"}),
    [](const testing::TestParamInfo<CreateFailure>& row) { return std::string(row.param.name); });

TEST_P(FilesThatCannotBeCreated, FailEveryCallWithTheSystemsReason)
{
    fs::create_directory(path("folder"));
    writeFile(path("folder/inside.txt"), "kept");
    const std::unique_ptr<OutputFile> file = files.create(path(GetParam().target));
    EXPECT_FALSE(file->write("text\r\n"));
    EXPECT_FALSE(file->commit());
    EXPECT_EQ(file->errorText(), GetParam().reason);
    EXPECT_EQ(entries(folder.path()), std::vector<std::string> {"folder"});
    EXPECT_EQ(readFile(path("folder/inside.txt")), "kept");
}

TEST_F(QtOutputFilesTest, TextIsStoredInTheChosenCharacterSetWithoutAByteOrderMark)
{
    struct Case {
        const char* charset;
        std::string expected;
    };
    for (const Case& c : {Case {"UTF-8", "14:03 \xC3\xBC\r\n"},
             Case {"ISO-8859-1", "14:03 \xFC\r\n"}, Case {"EUC-KR", "14\xBD\xC3 \xB3\xE2\r\n"}}) {
        SCOPED_TRACE(c.charset);
        QtOutputFiles encoded(c.charset);
        const std::unique_ptr<OutputFile> file = encoded.create(path("text.txt"));
        const std::string utf8 = c.charset == std::string("EUC-KR") ? "14시 년\r\n" : "14:03 ü\r\n";
        ASSERT_TRUE(file->write(utf8));
        ASSERT_TRUE(file->commit()) << file->errorText();
        EXPECT_EQ(readFile(path("text.txt")), c.expected);
    }
}

/// Gives this thread the file system identity of "nobody" while it lives, so that a test
/// running as root meets file permissions as an ordinary user does. Does nothing when the
/// test already runs as an ordinary user.
class OrdinaryFileUser {
public:
    static constexpr uid_t kNobody = 65534;

    OrdinaryFileUser()
        : m_switched(::geteuid() == 0)
    {
        if (m_switched) {
            ::setfsgid(kNobody);
            ::setfsuid(kNobody);
        }
    }
    OrdinaryFileUser(const OrdinaryFileUser&) = delete;
    OrdinaryFileUser& operator=(const OrdinaryFileUser&) = delete;
    ~OrdinaryFileUser()
    {
        if (m_switched) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }

    /// True when `folder` really refuses this user a new file.
    static bool refusesNewFiles(const fs::path& folder)
    {
        const fs::path probe = folder / "probe";
        std::ofstream out(probe);
        if (out.is_open()) {
            out.close();
            fs::remove(probe);
            return false;
        }
        return true;
    }

private:
    bool m_switched;
};

class FolderWithoutWritePermission : public QtOutputFilesTest {
protected:
    void SetUp() override
    {
        // "nobody" must get through the test folder to the locked one below it.
        fs::permissions(folder.path(), fs::perms(0755));
        fs::create_directory(path("locked"));
        writeFile(path("locked/existing.txt"), "old\r\n");
        fs::permissions(path("locked/existing.txt"), fs::perms(0666));
        fs::permissions(path("locked"), fs::perms(0555));
    }
};

TEST_F(FolderWithoutWritePermission, RefusesANewFileWithThePermissionReason)
{
    const OrdinaryFileUser user;
    if (!OrdinaryFileUser::refusesNewFiles(path("locked")))
        GTEST_SKIP() << "this user may write to a folder without write permission";
    const std::unique_ptr<OutputFile> file = files.create(path("locked/new.txt"));
    EXPECT_FALSE(file->write("text\r\n"));
    EXPECT_FALSE(file->commit());
    EXPECT_EQ(file->errorText(), "Permission denied");
    EXPECT_EQ(entries(path("locked")), std::vector<std::string> {"existing.txt"});
}

TEST_F(FolderWithoutWritePermission, RewritesAWritableExistingFileInPlace)
{
    const OrdinaryFileUser user;
    if (!OrdinaryFileUser::refusesNewFiles(path("locked")))
        GTEST_SKIP() << "this user may write to a folder without write permission";
    const std::unique_ptr<OutputFile> file = files.create(path("locked/existing.txt"));
    ASSERT_TRUE(file->write("new content\r\n")) << file->errorText();
    ASSERT_TRUE(file->commit()) << file->errorText();
    EXPECT_EQ(readFile(path("locked/existing.txt")), "new content\r\n");
    EXPECT_EQ(entries(path("locked")), std::vector<std::string> {"existing.txt"});
}

/// A 16 KiB tmpfs at the test folder's "small".
class FullDisk : public QtOutputFilesTest {
protected:
    void SetUp() override
    {
        fs::create_directory(path("small"));
        m_mount.emplace(test::PrivateMount::tmpfs(path("small"), "16k"));
        if (!m_mount->unavailable().empty())
            GTEST_SKIP() << m_mount->unavailable();
    }

    std::optional<test::PrivateMount> m_mount;
};

TEST_F(FullDisk, ASaveThatDoesNotFitFailsWithTheReasonAndKeepsTheOldFile)
{
    const std::unique_ptr<OutputFile> small = files.create(path("small/data.txt"));
    ASSERT_TRUE(small->write("old\r\n"));
    ASSERT_TRUE(small->commit()) << "a small file fits: " << small->errorText();

    {
        const std::unique_ptr<OutputFile> file = files.create(path("small/data.txt"));
        const bool written = writeAll(*file, std::string(200000, 'n'));
        EXPECT_FALSE(written && file->commit());
        EXPECT_EQ(file->errorText(), "No space left on device");
        EXPECT_FALSE(file->write("more")) << "a failed file takes nothing more";
    }
    EXPECT_EQ(readFile(path("small/data.txt")), "old\r\n");
    EXPECT_EQ(entries(path("small")), std::vector<std::string> {"data.txt"});
}

} // namespace
} // namespace clampmeter
