// The instance lock's life in one process: owned, then released but still standing until the
// process lets go of it. Another process's view of it is taken from a forked child.

#include "Platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

// What a second process finds: true when it could take the lock itself (it lets go at once).
bool AnotherProcessCouldLock(const std::string& path)
{
    const pid_t child = ::fork();
    if (child == 0)
    {
        const int fd = ::open(path.c_str(), O_RDWR);
        struct flock whole = {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        ::_exit(fd >= 0 && ::fcntl(fd, F_SETLK, &whole) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class InstanceLockTest : public testing::Test
{
protected:
    void SetUp() override
    {
        char folder[] = "/tmp/kestrel-lock-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        m_folder = folder;
        ::setenv("XDG_RUNTIME_DIR", m_folder.c_str(), 1);
    }
    void TearDown() override
    {
        ::unlink(LockPath().c_str());
        ::rmdir(m_folder.c_str());
    }
    std::string LockPath() const { return m_folder + "/instance"; }

private:
    std::string m_folder;
};

TEST_F(InstanceLockTest, StandsFromCreationUntilTheProcessLetsGo)
{
    const platform::MutexCreation created = platform::CreateInstanceMutex("instance");
    ASSERT_NE(created.hMutex, platform::kNoMutex);
    EXPECT_FALSE(created.alreadyExisted);
    EXPECT_FALSE(AnotherProcessCouldLock(LockPath()));

    // Ownership ends; the object does not: a launcher started now must still stay out.
    platform::ReleaseInstanceMutex(created.hMutex);
    EXPECT_FALSE(AnotherProcessCouldLock(LockPath()));

    ::close(created.hMutex); // as the process's end does
    EXPECT_TRUE(AnotherProcessCouldLock(LockPath()));
}

} // namespace
