// PortBench's Windows pieces under Wine: the port list from the registry and the settings
// file through the system's profile functions.
#include "profile_win32.h"
#include "registry_ports_win32.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <windows.h>

namespace {

constexpr const char* kTestKey = "Software\\PortBenchTests\\serialcomm";

class RegistryPorts : public ::testing::Test {
  protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\PortBenchTests"); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\PortBenchTests"); }

    void Register(const char* device, const char* port) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, device, 0, REG_SZ, reinterpret_cast<const BYTE*>(port),
                                 static_cast<DWORD>(strlen(port) + 1)),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
};

// The values' data in the order the registry enumerates them (Wine keeps values sorted by
// name, Windows in the order they were made).
std::vector<std::string> EnumeratedData(HKEY root, const char* path) {
    std::vector<std::string> data;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return data;
    char name[256];
    BYTE bytes[256];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name, dataLength = sizeof bytes, type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, bytes, &dataLength) !=
            ERROR_SUCCESS)
            break;
        data.emplace_back(reinterpret_cast<char*>(bytes));
    }
    RegCloseKey(key);
    return data;
}

TEST_F(RegistryPorts, AreTheValuesDataInRegistryOrder) {
    Register("\\Device\\Serial7", "COM12");
    Register("\\Device\\Serial0", "COM3");
    Register("\\Device\\VCP0", "COM4");
    const std::vector<std::string> ports = RegisteredSerialPorts(HKEY_CURRENT_USER, kTestKey);
    EXPECT_EQ(ports, EnumeratedData(HKEY_CURRENT_USER, kTestKey));
    EXPECT_EQ(std::set<std::string>(ports.begin(), ports.end()),
              (std::set<std::string>{"COM12", "COM3", "COM4"}));
}

TEST_F(RegistryPorts, AMissingKeyGivesNoPorts) {
    EXPECT_TRUE(RegisteredSerialPorts(HKEY_CURRENT_USER, kTestKey).empty());
}

// Wine registers its own COM ports (the prefix's dosdevices) under the machine's key.
TEST_F(RegistryPorts, TheMachinesKeyListsTheSystemsPorts) {
    EXPECT_EQ(RegisteredSerialPorts(),
              EnumeratedData(HKEY_LOCAL_MACHINE, "hardware\\devicemap\\serialcomm"));
}

class Profile : public ::testing::Test {
  protected:
    void SetUp() override {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        path = std::string(folder) + "PortBenchProfileTest.ini";
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    void TearDown() override {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }

    void Store(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string Stored() {
        std::ifstream in(path, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    std::string path;
};

TEST_F(Profile, AMissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(ReadProfileText(path, "COM", "Port", "COM1"), "COM1");
    Store("[COM]\r\nparameter=9600,n,8,1\r\n");
    EXPECT_EQ(ReadProfileText(path, "COM", "Port", "COM1"), "COM1");
    EXPECT_EQ(ReadProfileText(path, "Time", "Long", ""), "");
    EXPECT_EQ(ReadProfileText(path, "COM", "parameter", "x"), "9600,n,8,1");
}

TEST_F(Profile, NamesMatchWhateverTheirCase) {
    Store("[send]\r\ndata=41 42\r\n[COM]\r\nPort=COM3\r\n");
    EXPECT_EQ(ReadProfileText(path, "Send", "data", ""), "41 42");
    EXPECT_EQ(ReadProfileText(path, "COM", "port", ""), "COM3");
    ASSERT_TRUE(WriteProfileText(path, "COM", "port", "COM7"));
    ASSERT_TRUE(WriteProfileText(path, "send", "DATA", "43"));
    EXPECT_EQ(ReadProfileText(path, "com", "PORT", ""), "COM7");
    EXPECT_EQ(ReadProfileText(path, "Send", "data", ""), "43");
    // One key each: the writes replaced the values, they added no second key.
    const std::string stored = Stored();
    EXPECT_EQ(stored.find("COM3"), std::string::npos) << stored;
    EXPECT_EQ(stored.find("41 42"), std::string::npos) << stored;
}

TEST_F(Profile, ValuesComeBackTrimmedOfBlanksAndOnePairOfQuotes) {
    Store("[Send]\r\ndata=  41 42  \r\nquoted=\"hello\"\r\n");
    EXPECT_EQ(ReadProfileText(path, "Send", "data", ""), "41 42");
    EXPECT_EQ(ReadProfileText(path, "Send", "quoted", ""), "hello");
    ASSERT_TRUE(WriteProfileText(path, "send", "data", "abc "));
    EXPECT_EQ(ReadProfileText(path, "Send", "data", ""), "abc");
}

TEST_F(Profile, ALongValueIsCutAt2047Characters) {
    const std::string longValue(3000, 'x');
    ASSERT_TRUE(WriteProfileText(path, "Send", "data", longValue));
    EXPECT_EQ(ReadProfileText(path, "Send", "data", ""), longValue.substr(0, 2047));
}

TEST_F(Profile, AWriteCreatesTheFileAndARefusedWriteSaysSo) {
    ASSERT_TRUE(WriteProfileText(path, "Language", "Lan", "English"));
    EXPECT_EQ(ReadProfileText(path, "Language", "Lan", "Chinese"), "English");
    // A folder that does not exist refuses the write (a read-only file does not, under Wine
    // run as root).
    EXPECT_FALSE(WriteProfileText("C:\\portbench-no-such-folder\\PortBench.ini", "Language", "Lan",
                                  "Chinese"));
}

} // namespace
