// Every way the programs write a file, aimed at what a careless root user or a hostile one may
// have put in its place: a device node, a FIFO, a socket, a file with a second name, a file of
// another user. A node is refused and stays what it was; a file keeps its names, its owner and
// its permissions.

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include "support/cli_fixture.h"
#include "support/run_program.h"

namespace fs = std::filesystem;

namespace {

const std::string kTimeout = "Response Timeout(50~60000ms)";

enum class Target { Device, Fifo, Socket, HardLink, OtherUsers };

// Makes target of the kind; a file starts with text. False when the kind cannot be made here.
bool Make(Target kind, const std::string& target, const std::string& text)
{
    switch (kind) {
    case Target::Device:   // a copy of /dev/null
        return ::mknod(target.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    case Target::Fifo:
        return ::mkfifo(target.c_str(), 0644) == 0;
    case Target::Socket: {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (target.size() >= sizeof address.sun_path)
            return false;
        target.copy(address.sun_path, target.size());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return bound;
    }
    case Target::HardLink:
        WriteWholeFile(target, text);
        return ::link(target.c_str(), (target + ".other").c_str()) == 0;
    case Target::OtherUsers:
        WriteWholeFile(target, text);
        return ::chown(target.c_str(), 65534, 65534) == 0 && ::chmod(target.c_str(), 0640) == 0;
    }
    return false;
}

TEST_F(Cli, HostileTargetsAreRefusedOrKeepTheirNamesAndOwner)
{
    const bool root = ::geteuid() == 0;
    const struct {
        const char* name;
        Target kind;
    } kinds[] = {{"device node", Target::Device}, {"FIFO", Target::Fifo}, {"socket", Target::Socket},
                 {"hard link", Target::HardLink}, {"another user's file", Target::OtherUsers}};
    const char* const writes[] = {"new", "set", "export", "map --svg", "simulator state"};
    Prepare({{"new", "plant.xml"}, {"add-command", "plant.xml", "3"}, {"set", "plant.xml", "command:1", "Starting Address", "9"},
             {"set", "plant.xml", "command:1", "Number of Data", "2"},
             {"automap", "plant.xml"}});
    const std::string plant = dir / "plant.xml", config = dir.Read("plant.xml");
    for (const auto& [name, kind] : kinds) {
        if ((kind == Target::Device || kind == Target::OtherUsers) && !root)
            continue;   // only root makes device nodes and gives files away
        for (const std::string write : writes) {
            SCOPED_TRACE(std::string(name) + ", " + write);
            const ScratchFolder ws;
            const std::string target = ws / "target", link = ws / "module";
            const bool simulator = write == "simulator state";
            ASSERT_TRUE(Make(kind, target, simulator ? "" : config));
            struct stat before {};
            ::lstat(target.c_str(), &before);
            const std::string text = S_ISREG(before.st_mode) ? ReadWholeFile(target) : "";

            int status = -1;
            std::string err;
            if (simulator) {
                ServingProcess sim({GATEWAY_SIM_PATH, "--state", target, "--link", link, "--idle-exit", "1"});
                if (sim.Running()) {
                    EXPECT_EQ(RunTool({"download", plant, "--port", link}).status, 0);
                }
                status = sim.Wait();
            } else {
                const ProgramRun run = write == "new" ? RunTool({"new", target, "--force"})
                                     : write == "set" ? RunTool({"set", target, "subnet", kTimeout, "500"})
                                     : write == "export" ? RunTool({"export", plant, target})
                                                         : RunTool({"map", plant, "--svg", target});
                status = run.status;
                err = run.err;
            }

            struct stat after {};
            ASSERT_EQ(::lstat(target.c_str(), &after), 0);
            if (kind != Target::HardLink && kind != Target::OtherUsers) {
                EXPECT_EQ(status, write == "set" ? 65 : 74);   // set reads the node first
                EXPECT_TRUE(simulator || err.find("not a regular file") != std::string::npos) << err;
                EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT) << "the node was replaced";
                EXPECT_EQ(after.st_rdev, before.st_rdev);
                continue;
            }
            EXPECT_EQ(status, 0) << err;
            EXPECT_NE(ReadWholeFile(target), text) << "nothing was written";
            EXPECT_EQ(after.st_uid, before.st_uid);
            EXPECT_EQ(after.st_gid, before.st_gid);
            EXPECT_EQ(after.st_mode, before.st_mode);
            if (kind == Target::HardLink) {
                EXPECT_EQ(after.st_ino, before.st_ino) << "a file with a second name is written in place";
                EXPECT_EQ(ReadWholeFile(target + ".other"), ReadWholeFile(target)) << "the other name keeps the old text";
            }
        }
    }
}

} // namespace
