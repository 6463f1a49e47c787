#include "platform/RegistryStore.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* kRoot = "HKEY_CURRENT_USER";
constexpr const char* kSubkey = "Software\\Vantrell Technology\\Mirewalk 2\\1.0";

std::vector<std::uint8_t> Dword(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

std::unique_ptr<RegistryKeyHandle> CreateGameKey(const CRegistryStore& store) {
    std::unique_ptr<RegistryKeyHandle> key;
    bool created = false;
    EXPECT_EQ(store.CreateKey(kRoot, kSubkey, created, key), RegistryStatus::Ok);
    return key;
}

// Runs `work` in a child process that ends without returning into the test.
template <typename Work> pid_t Spawn(Work work) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        work();
        ::_exit(0);
    }
    return pid;
}

int ExitCode(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(RegistryStore, OpensOnlyKeysThatExistAndCreatesTheRest) {
    TempDir dir;
    const CRegistryStore store(dir.Path());
    std::unique_ptr<RegistryKeyHandle> key;
    EXPECT_EQ(store.OpenKey(kRoot, kSubkey, key), RegistryStatus::Missing);
    EXPECT_EQ(store.OpenKey(kRoot, "", key), RegistryStatus::Ok);
    bool created = false;
    EXPECT_EQ(store.CreateKey(kRoot, kSubkey, created, key), RegistryStatus::Ok);
    EXPECT_TRUE(created);
    EXPECT_EQ(store.CreateKey(kRoot, "software\\VANTRELL Technology", created, key),
              RegistryStatus::Ok);
    EXPECT_FALSE(created);
    EXPECT_EQ(store.OpenKey(kRoot, "Software", key), RegistryStatus::Ok);
    EXPECT_EQ(store.CreateKey(kRoot, "Software\\\\Empty", created, key), RegistryStatus::Failed);
    EXPECT_EQ(
        dir.Read("HKEY_CURRENT_USER.reg"),
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vantrell Technology\\Mirewalk 2\\1.0]\n\n");
}

TEST(RegistryStore, TwoProcessesWritingTheSameFileLoseNoValue) {
    TempDir dir;
    const CRegistryStore store(dir.Path());
    const auto key = CreateGameKey(store);
    constexpr int kValuesPerWriter = 500;
    const auto writer = [&](char prefix) {
        return Spawn([&, prefix] {
            for (int i = 0; i < kValuesPerWriter; ++i) {
                const auto name = prefix + std::to_string(i);
                if (key->Write(name, kRegDword, Dword(static_cast<std::uint32_t>(i))) !=
                    RegistryStatus::Ok) {
                    ::_exit(1);
                }
            }
        });
    };
    const pid_t first = writer('a');
    const pid_t second = writer('b');
    EXPECT_EQ(ExitCode(first), 0);
    EXPECT_EQ(ExitCode(second), 0);
    CRegistryDocument document;
    ASSERT_EQ(CRegistryFile(store.RootFile(kRoot)).Load(document), RegistryStatus::Ok);
    for (const char prefix : {'a', 'b'}) {
        for (int i = 0; i < kValuesPerWriter; ++i) {
            const auto* value = document.FindValue(key->KeyPath(), prefix + std::to_string(i));
            ASSERT_NE(value, nullptr) << prefix << i;
            EXPECT_EQ(value->data, Dword(static_cast<std::uint32_t>(i)));
        }
    }
}

TEST(RegistryStore, AWriterKilledMidWriteLeavesAWholeFileAndNoLock) {
    TempDir dir;
    const CRegistryStore store(dir.Path());
    const auto key = CreateGameKey(store);
    // A large value makes every write long enough to be killed inside it.
    ASSERT_EQ(key->Write("Bulk", kRegBinary, std::vector<std::uint8_t>(400 * 1024, 0x5a)),
              RegistryStatus::Ok);
    for (int round = 0; round < 6; ++round) {
        const pid_t writer = Spawn([&] {
            for (std::uint32_t i = 0;; ++i) {
                key->Write("Counter", kRegDword, Dword(i));
            }
        });
        ::usleep(static_cast<useconds_t>(20000 + round * 7000));
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);

        const int lockFd = ::open((dir / "HKEY_CURRENT_USER.reg.lock").c_str(), O_RDWR);
        EXPECT_EQ(::flock(lockFd, LOCK_EX | LOCK_NB), 0) << "round " << round;
        ::close(lockFd);
        RegistryValue bulk;
        ASSERT_EQ(key->Read("Bulk", bulk), RegistryStatus::Ok) << "round " << round;
        EXPECT_EQ(bulk.data.size(), 400u * 1024);
        EXPECT_EQ(key->Write("After", kRegDword, Dword(static_cast<std::uint32_t>(round))),
                  RegistryStatus::Ok);
    }
}

} // namespace
