// SPDX-License-Identifier: MIT
#include "platform/File.h"

#include "platform/TextCodec.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>

using namespace vellisto::platform;
namespace fs = std::filesystem;

namespace {

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "vellisto-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        if (!m_path.empty())
            fs::remove_all(m_path, ignored);
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

} // namespace

TEST(NativePath, MatchesEachComponentWithoutCase)
{
    TempFolder temp;
    ASSERT_FALSE(temp.path().empty());
    fs::create_directories(temp.path() + "/Kit/Drums");
    WriteText(temp.path() + "/Kit/Drums/Kick.WAV", "x");

    const std::u16string stored = Utf8ToUtf16(temp.path()) + u"\\kit\\DRUMS\\kick.wav";
    EXPECT_EQ(NativePath(stored), temp.path() + "/Kit/Drums/Kick.WAV");
    EXPECT_EQ(NativePath(temp.path() + "/KIT/drums/KICK.wav"), temp.path() + "/Kit/Drums/Kick.WAV");
    // Exact names are taken as they are.
    EXPECT_EQ(NativePath(temp.path() + "/Kit/Drums/Kick.WAV"), temp.path() + "/Kit/Drums/Kick.WAV");
    // No match anywhere: the mapped name comes back unchanged.
    EXPECT_EQ(
        NativePath(Utf8ToUtf16(temp.path()) + u"\\kit\\snare.wav"), temp.path() + "/kit/snare.wav");
}

TEST(NativePath, MapsBackslashesOfRelativeNames)
{
    EXPECT_EQ(NativePath(u"no-such-folder-vellisto\\a\\b.wav"), "no-such-folder-vellisto/a/b.wav");
    EXPECT_EQ(NativePath(std::string_view("x\\y")), "x/y");
}

TEST(FolderOf, BothSeparatorsCount)
{
    EXPECT_EQ(FolderOf(u"a\\b/c.wav"), u"a\\b/");
    EXPECT_EQ(FolderOf(u"a/b\\c.wav"), u"a/b\\");
    EXPECT_EQ(FolderOf(u"\\kick.wav"), u"\\");
    EXPECT_EQ(FolderOf(u"kick.wav"), u"");
    EXPECT_EQ(FolderOf(u"dir/"), u"dir/");
    EXPECT_EQ(FolderOf(u""), u"");
}

TEST(AtomicFileWriter, UncommittedWriteLeavesOldFileUntouched)
{
    TempFolder temp;
    ASSERT_FALSE(temp.path().empty());
    const std::string target = temp.path() + "/song.spj";
    WriteText(target, "old contents");
    std::string tempPath;
    {
        AtomicFileWriter writer(target);
        ASSERT_TRUE(writer.open());
        tempPath = writer.temporaryPath();
        ASSERT_TRUE(writer.file().write("new", 3));
    } // destroyed without commit
    EXPECT_EQ(ReadText(target), "old contents");
    EXPECT_FALSE(fs::exists(tempPath));
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator {}), 1);
}

TEST(AtomicFileWriter, CommitReplacesTarget)
{
    TempFolder temp;
    ASSERT_FALSE(temp.path().empty());
    const std::string target = temp.path() + "/song.spj";
    WriteText(target, "old contents");
    AtomicFileWriter writer(target);
    ASSERT_TRUE(writer.open());
    ASSERT_TRUE(writer.file().write("new", 3));
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ(ReadText(target), "new");
    EXPECT_FALSE(fs::exists(writer.temporaryPath()));
}

TEST(AtomicFileWriter, OpenFailsInMissingFolder)
{
    TempFolder temp;
    ASSERT_FALSE(temp.path().empty());
    AtomicFileWriter writer(temp.path() + "/missing/song.spj");
    EXPECT_FALSE(writer.open());
    EXPECT_FALSE(writer.commit());
}

TEST(AtomicFileWriter, RefusesToReplaceAnythingButAFile)
{
    TempFolder temp;
    ASSERT_FALSE(temp.path().empty());
    const std::string folder = temp.path() + "/out.spj";
    const std::string pipe = temp.path() + "/out.wav";
    fs::create_directory(folder);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& target : { folder, pipe }) {
        AtomicFileWriter writer(target);
        EXPECT_FALSE(writer.open()) << target;
        EXPECT_FALSE(writer.commit()) << target;
    }
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator {}), 2);
}

TEST(AtomicFileWriter, NeverWritesThroughWhatIsPlantedAtItsTemporaryName)
{
    TempFolder temp;
    ASSERT_FALSE(temp.path().empty());
    const std::string target = temp.path() + "/out.wav";
    const std::string victim = temp.path() + "/victim";
    WriteText(target, "old");
    WriteText(victim, "victim");
    ::chmod(victim.c_str(), 0600);
    AtomicFileWriter writer(target);
    ASSERT_TRUE(writer.open());
    // Someone with write access to the folder swaps the temporary file for a link.
    ASSERT_EQ(::unlink(writer.temporaryPath().c_str()), 0);
    fs::create_symlink(victim, writer.temporaryPath());
    ASSERT_TRUE(writer.file().write("new", 3));
    EXPECT_FALSE(writer.commit());
    EXPECT_EQ(writer.error(), EEXIST);
    EXPECT_EQ(ReadText(victim), "victim");
    EXPECT_EQ(fs::status(victim).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadText(target), "old");
}

TEST(AtomicFileWriter, RefusesWriteProtectedFilesAndNamesTooLongToHold)
{
    TempFolder temp;
    ASSERT_FALSE(temp.path().empty());
    const std::string locked = temp.path() + "/locked.wav";
    WriteText(locked, "keep");
    ::chmod(locked.c_str(), 0444);
    AtomicFileWriter lockedWriter(locked);
    EXPECT_FALSE(lockedWriter.open());
    EXPECT_EQ(lockedWriter.error(), EACCES);
    EXPECT_EQ(ReadText(locked), "keep");

    AtomicFileWriter longWriter(temp.path() + "/" + std::string(300, 'n'));
    EXPECT_FALSE(longWriter.open());
    EXPECT_EQ(longWriter.error(), ENAMETOOLONG);
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator {}), 1);
}

TEST(NativePathIn, TakesTheFolderAsItIsAndConvertsOnlyTheStoredName)
{
    TempFolder temp;
    ASSERT_FALSE(temp.path().empty());
    // A folder whose name holds a backslash and bytes that are not UTF-8.
    const std::string folder = temp.path() + "/a\\b\xff";
    fs::create_directories(folder + "/Sub");
    WriteText(folder + "/Sub/Kick.wav", "k");
    EXPECT_EQ(NativePathIn(folder, u"\\sub\\kick.WAV"), folder + "/Sub/Kick.wav");
    EXPECT_EQ(NativePathIn(folder + "/", u"Sub\\Kick.wav"), folder + "/Sub/Kick.wav");
    // Nothing matches: the plain join.
    EXPECT_EQ(NativePathIn(folder, u"\\none.wav"), folder + "/none.wav");
}

TEST(ReadWholeFile, RefusesFoldersPipesMissingFilesAndOversize)
{
    TempFolder temp;
    ASSERT_FALSE(temp.path().empty());
    const std::string path = temp.path() + "/data.bin";
    WriteText(path, "12345");
    EXPECT_EQ(ReadWholeFile(path), (std::vector<std::uint8_t> { '1', '2', '3', '4', '5' }));
    EXPECT_EQ(ReadWholeFile(path, 4), std::nullopt);
    EXPECT_EQ(ReadWholeFile(temp.path()), std::nullopt);
    EXPECT_EQ(ReadWholeFile(temp.path() + "/none"), std::nullopt);
    // A named pipe is refused at once instead of waiting for a writer.
    const std::string pipe = temp.path() + "/pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(ReadWholeFile(pipe), std::nullopt);
}
