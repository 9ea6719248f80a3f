// Modules and slaves behind serial device servers: download, upload, verify and probe through
// Debian's ser2net (raw TCP and RFC 2217) and pyserial's RFC 2217 server, by IPv4, IPv6 and
// host name; a server that drops the line, a host that never answers, a setting refused, a
// server port another run holds, and every port name read in one place.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "file/config_file.h"
#include "link/port_address.h"
#include "link/port_connection.h"
#include "link/transfer_run.h"
#include "model/lang_strings.h"
#include "support/config_builder.h"
#include "support/device_server.h"
#include "support/in_process_module.h"
#include "support/probe_json.h"
#include "support/run_program.h"

namespace {

using namespace test_config;

TEST(PortNames, AreReadInOnePlace)
{
    const struct {
        std::string name;
        PortKind kind;
        std::string hostOrPath;   // the path of a device, the host of a server
        int port;
        int timeoutMs;
        std::string error;        // part of the fault; empty when the name is good
    } rows[] = {
        {"/dev/ttyUSB0", PortKind::Device, "/dev/ttyUSB0", 0, kDefaultConnectTimeoutMs, ""},
        {"socket://127.0.0.1:4001", PortKind::RawTcp, "127.0.0.1", 4001, kDefaultConnectTimeoutMs, ""},
        {"RFC2217://[::1]:4001?timeout=2.5", PortKind::Rfc2217, "::1", 4001, 2500, ""},
        {"rfc2217://cabinet-7.plant:65535", PortKind::Rfc2217, "cabinet-7.plant", 65535, kDefaultConnectTimeoutMs, ""},
        {"", PortKind::Device, "", 0, 0, "No port was given"},
        {"tcp://host:4001", PortKind::Device, "", 0, 0, "tcp://host:4001 is not a port"},
        {"socket://host", PortKind::Device, "", 0, 0, "the port number is missing"},
        {"socket://:4001", PortKind::Device, "", 0, 0, "the host is missing"},
        {"socket://::1:4001", PortKind::Device, "", 0, 0, "an IPv6 address goes in brackets"},
        {"socket://[::1:4001", PortKind::Device, "", 0, 0, "no closing bracket"},
        {"socket://host:0", PortKind::Device, "", 0, 0, "from 1 to 65535, not \"0\""},
        {"socket://host:65536", PortKind::Device, "", 0, 0, "from 1 to 65535, not \"65536\""},
        {"socket://host:4001?timeout=0", PortKind::Device, "", 0, 0, "timeout takes seconds"},
        {"socket://host:4001?baud=9600", PortKind::Device, "", 0, 0, "\"baud=9600\" is not an option here"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PortAddress address;
        const Outcome parsed = gw::ParsePortAddress(row.name, address);
        EXPECT_EQ(parsed.Ok(), row.error.empty());
        EXPECT_TRUE(Has(parsed.message, row.error)) << parsed.message;
        if (!row.error.empty())
            continue;
        EXPECT_EQ(address.kind, row.kind);
        EXPECT_EQ(address.kind == PortKind::Device ? address.path : address.host, row.hostOrPath);
        EXPECT_EQ(address.port, row.port);
        EXPECT_EQ(address.connectTimeoutMs, row.timeoutMs);
    }
}

// A server of one kind in front of a device, for the length of a test.
struct ServerKind {
    const char* name;
    bool rfc2217;
    bool pyserial;          // pyserial's PortManager, not ser2net
    const char* address;    // where the server listens
    const char* host;       // how the port names it
};

void PrintTo(const ServerKind& kind, std::ostream* out) { *out << kind.name; }

class ServedPort {
public:
    ServedPort(const ServerKind& kind, const std::string& device, const ScratchFolder& folder,
               std::vector<std::string> serverArgs = {})
    {
        if (kind.pyserial) {
            std::vector<std::string> args = {"/usr/bin/python3", RFC2217_SERVER_PATH, device, "--address", kind.address};
            args.insert(args.end(), serverArgs.begin(), serverArgs.end());
            m_pyserial = std::make_unique<ServingProcess>(args);
            m_url = std::string("rfc2217://") + kind.host + ":" + m_pyserial->Path();
            m_running = m_pyserial->Running();
            return;
        }
        m_ser2net = std::make_unique<Ser2net>(std::vector<ServedDevice>{{device, kind.rfc2217, kind.address}}, folder.Path().string());
        m_url = m_ser2net->Url(0);
        const std::string listening = std::string(kind.address).find(':') != std::string::npos ? "[" + std::string(kind.address) + "]" : kind.address;
        m_url.replace(m_url.find(listening), listening.size(), kind.host);
        m_running = m_ser2net->Running();
    }
    bool Running() const { return m_running; }
    const std::string& Url() const { return m_url; }

private:
    std::unique_ptr<Ser2net> m_ser2net;
    std::unique_ptr<ServingProcess> m_pyserial;
    std::string m_url;
    bool m_running = false;
};

class NetworkPorts : public ::testing::TestWithParam<ServerKind> {};

TEST_P(NetworkPorts, CarryEveryRunOverTheModuleLine)
{
    ScratchFolder folder;
    const std::string plant = folder / "plant.xml";
    auto config = MakeFilledConfig(MODE_MODBUS_MASTER, 7);
    // Byte FFh is Telnet's escape: RFC 2217 must carry it doubled, and undo that.
    SetValue(config->Subnet().GetNodeAt(0)->GetCommandAt(0)->GetItemAt(CMD_ROW_START_ADDRESS), "65279");
    SetValue(config->Subnet().GetNodeAt(0)->GetCommandAt(0)->GetItemAt(CMD_ROW_DATA_COUNT), "1");
    ASSERT_TRUE(gw::SaveFile(*config, plant).ok);
    InProcessModule module({});
    const ServedPort server(GetParam(), module.Path(), folder);
    ASSERT_TRUE(server.Running());
    const ProgramRun down = RunTool({"download", plant, "--port", server.Url(), "--trace"});
    ASSERT_EQ(down.status, 0) << down.err;
    EXPECT_TRUE(Has(down.out, "FE FF 00 01")) << down.out;
    EXPECT_EQ(RunTool({"verify", plant, "--port", server.Url()}).status, 0);
    ASSERT_EQ(RunTool({"upload", folder / "read.xml", "--port", server.Url()}).status, 0);
    EXPECT_EQ(RunTool({"diff", "--module", plant, folder / "read.xml"}).out, "");

    ServingProcess slave({MODBUS_SLAVE_SIM_PATH, "--idle-exit", "60", "--holding", "100=1,2,0x1234", "--coils", "10=1,0,1"});
    const ServedPort slaveServer(GetParam(), slave.Path(), folder);
    ASSERT_TRUE(slaveServer.Running());
    const std::string probed = SaveProbeConfig(folder / "probe.xml", {{3, "100", "3"}, {1, "10", "3"}});
    const ProgramRun probe = RunTool({"probe", probed, "--port", slaveServer.Url(), "--json", "--repeat", "3"});
    EXPECT_EQ(probe.status, 0) << probe.err;
    EXPECT_EQ(PolledLines(probe.out), "1 ok null [1, 2, 4660]\n2 ok null [1, 0, 1]\n") << probe.out;
}

INSTANTIATE_TEST_SUITE_P(Servers, NetworkPorts,
                         ::testing::Values(ServerKind{"ser2net_raw", false, false, "127.0.0.1", "127.0.0.1"},
                                           ServerKind{"ser2net_raw_by_name", false, false, "127.0.0.1", "localhost"},
                                           ServerKind{"ser2net_rfc2217_ipv6", true, false, "::1", "[::1]"},
                                           ServerKind{"pyserial_rfc2217", true, true, "127.0.0.1", "127.0.0.1"}),
                         [](const auto& instance) { return std::string(instance.param.name); });

// Every way a network port fails ends with its code and says why; no file is touched.
TEST(NetworkPortFailures, SayWhy)
{
    ScratchFolder folder;
    const std::string plant = folder / "plant.xml", kept = folder / "kept.xml";
    ASSERT_TRUE(gw::SaveFile(*MakeFilledConfig(MODE_MODBUS_MASTER, 7), plant).ok);
    ASSERT_TRUE(gw::SaveFile(*MakeFilledConfig(MODE_MODBUS_MASTER, 2), kept).ok);
    const std::string keptBefore = ReadWholeFile(kept);
    // A server whose line goes away after a few answers: ser2net closes the connection.
    ServingProcess dropping({GATEWAY_SIM_PATH, "--idle-exit", "60", "--drop-after", "4"});
    ServingProcess droppingOnUpload({GATEWAY_SIM_PATH, "--idle-exit", "60", "--drop-after", "3"});
    InProcessModule module({}), other({});
    Ser2net ser2net({{dropping.Path()}, {droppingOnUpload.Path()}, {module.Path()}, {other.Path()}}, folder.Path().string());
    ASSERT_TRUE(ser2net.Running());
    const ServerKind pyserial{"", true, true, "127.0.0.1", "127.0.0.1"};
    const ServedPort refusing(pyserial, module.Path(), folder, {"--baud", "9600", "--refuse", "baudrate"});
    const ServedPort refusingParity(pyserial, module.Path(), folder, {"--refuse", "parity"});
    ASSERT_TRUE(refusing.Running() && refusingParity.Running());
    const SilentListener silent;
    const std::string nobody = "127.0.0.1:" + std::to_string(FreeTcpPort());
    const std::string evenParity = SaveProbeConfig(folder / "even.xml", {{3, "1", "1"}}, [](CDeviceConfig& r) {
        SetValue(r.Subnet().GetItemAt(SUBNET_ROW_CHECK_BIT), "Even");
    });
    // A run of ours holding the server port, as another program on this computer would.
    const PortOpening held = gw::OpenPortConnection(ser2net.Url(2), SerialLineSettings{});
    ASSERT_TRUE(held.port) << held.refusal;
    std::string raw = ser2net.Url(3);
    raw.replace(0, raw.find("://"), "rfc2217");
    const struct {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string says;
    } rows[] = {
        {"the server drops the line mid-download", {"download", plant, "--port", ser2net.Url(0)}, 5,
         gw::ResultMessage(RESULT_SERIAL_IO) + " " + gw::PartlyDownloadedText()},
        {"the server drops the line mid-upload", {"upload", kept, "--port", ser2net.Url(1)}, 5, gw::ResultMessage(RESULT_SERIAL_IO)},
        {"a host that never answers", {"download", plant, "--port", "socket://127.0.0.1:" + std::to_string(silent.Port()) + "?timeout=1"},
         4, "did not answer within 1 s"},
        {"nobody serves the port", {"verify", plant, "--port", "rfc2217://" + nobody}, 4, nobody + " refused the connection"},
        {"a refused speed", {"download", plant, "--port", refusing.Url()}, 4, "the server refused 19200 bit/s (it answered 9600 bit/s)"},
        {"a refused parity", {"probe", evenParity, "--port", refusingParity.Url()}, 4,
         "the server refused parity Even (it answered parity None)"},
        {"a transparent server taken for RFC 2217", {"upload", kept, "--port", raw + "?timeout=1"}, 4,
         "no RFC 2217 server: a transparent one takes socket://"},
        {"a server port another run holds", {"download", plant, "--port", ser2net.Url(2)}, 4,
         "Another run of this program is using 127.0.0.1:"},
        {"a port name that is none", {"download", plant, "--port", "socket://plc"}, 4, "the port number is missing"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ProgramRun run = RunProgram(GATEWAYCFG_PATH, row.args, folder.Path().string());
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_TRUE(Has(run.err, row.says)) << run.err;
        EXPECT_EQ(ReadWholeFile(kept), keptBefore);
    }
    EXPECT_EQ(module.RequestsSeen(), 0) << "a refused run reached the module";
}

} // namespace
