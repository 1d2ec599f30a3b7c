#include "devices/device_identity.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace {

std::vector<std::uint8_t> Utf16Bytes(const std::u16string& text, bool terminate = true) {
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    if (terminate) {
        bytes.push_back(0);
        bytes.push_back(0);
    }
    return bytes;
}

RawProperty StringProperty(const std::u16string& text, std::uint32_t kind = kRegSz) {
    RawProperty property;
    property.status = RawProperty::Status::Ok;
    property.kind = kind;
    property.data = Utf16Bytes(text);
    return property;
}

RawProperty NumberProperty(std::uint64_t value, std::uint32_t kind, std::size_t bytes) {
    RawProperty property;
    property.status = RawProperty::Status::Ok;
    property.kind = kind;
    for (std::size_t i = 0; i < bytes; ++i) {
        property.data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    return property;
}

// A device tree as the device services would describe it. Every set handed out is counted
// so that the tests can check that each one was released.
class FakeDeviceTree final : public DeviceServices {
public:
    struct Node {
        std::wstring id;
        DevInst parent = 0;
        std::map<std::uint32_t, RawProperty> properties;
    };

    std::map<DevInst, Node> nodes;
    std::vector<HubInterface> hubs;
    std::map<std::wstring, std::uint32_t> hubSpeeds; // by hub path
    std::wstring deviceName;
    NameRead nameRead = NameRead::Ok;
    bool failSets = false;
    int liveSets = 0;
    int setsCreated = 0;
    int nameReads = 0;
    std::uint32_t queriedPort = 0xFFFFFFFF;

    class Set final : public DeviceInfoSet {
    public:
        explicit Set(FakeDeviceTree& tree) : tree_(tree) { ++tree_.liveSets; }
        ~Set() override { --tree_.liveSets; }
        bool Open(const std::wstring& instanceId, DeviceNode& node) override {
            for (const auto& [devInst, entry] : tree_.nodes) {
                if (entry.id == instanceId) {
                    node.devInst = devInst;
                    return true;
                }
            }
            return false;
        }
        RawProperty ReadProperty(const DeviceNode& node, std::uint32_t property) override {
            const auto& properties = tree_.nodes.at(node.devInst).properties;
            const auto found = properties.find(property);
            return found == properties.end() ? RawProperty{} : found->second;
        }
        bool EnumHubInterface(std::uint32_t index, HubInterface& hub) override {
            if (index >= tree_.hubs.size()) {
                return false;
            }
            hub = tree_.hubs[index];
            return true;
        }
        bool ClassNameFromGuid(const std::wstring& guidText, std::wstring& name) override {
            if (guidText == L"{4d36e96b-e325-11ce-bfc1-08002be10318}") {
                name = L"Keyboard";
                return true;
            }
            return false;
        }

    private:
        FakeDeviceTree& tree_;
    };

    NameRead ReadDeviceName(std::wstring& buffer, std::uint32_t& indicatedLength) override {
        ++nameReads;
        buffer = deviceName + std::wstring(1, L'\0');
        indicatedLength = static_cast<std::uint32_t>(buffer.size());
        return nameRead;
    }
    std::unique_ptr<DeviceInfoSet> CreateEmptySet() override { return MakeSet(); }
    std::unique_ptr<DeviceInfoSet> CreateHubInterfaceSet() override { return MakeSet(); }
    bool NodeStatusOk(DevInst node) override { return nodes.count(node) != 0; }
    bool GetParent(DevInst node, DevInst& parent) override {
        const auto found = nodes.find(node);
        if (found == nodes.end() || found->second.parent == 0) {
            return false;
        }
        parent = found->second.parent;
        return true;
    }
    bool GetDeviceId(DevInst node, std::wstring& instanceId) override {
        const auto found = nodes.find(node);
        if (found == nodes.end()) {
            return false;
        }
        instanceId = found->second.id;
        return true;
    }
    bool QueryHubSpeed(const std::wstring& hubPath, std::uint32_t port,
                       std::uint32_t& speed) override {
        queriedPort = port;
        const auto found = hubSpeeds.find(hubPath);
        if (found == hubSpeeds.end()) {
            return false;
        }
        speed = found->second;
        return true;
    }
    std::uint32_t LastError() override { return 0x103; }

    void Add(DevInst devInst, const std::wstring& id, DevInst parent) {
        nodes[devInst].id = id;
        nodes[devInst].parent = parent;
    }

private:
    std::unique_ptr<DeviceInfoSet> MakeSet() {
        if (failSets) {
            return nullptr;
        }
        ++setsCreated;
        return std::make_unique<Set>(*this);
    }
};

const std::wstring kUsbName = L"\\\\?\\HID#VID_046D&PID_C31C&MI_00#7&2c6bd3a2&0&0000#"
                              L"{884b96c3-56ef-11d1-bc8c-00a0c91405dd}";

// Keyboard HID collection -> USB interface -> composite USB device -> hub.
void BuildUsbTree(FakeDeviceTree& tree) {
    tree.deviceName = kUsbName;
    tree.Add(0x40, L"USB\\ROOT_HUB30\\4&1b2c3d&0&0", 0);
    tree.Add(0x30, L"USB\\VID_046D&PID_C31C\\5&3a&0&7", 0x40);
    tree.Add(0x20, L"USB\\VID_046D&PID_C31C&MI_00\\6&1f&0&0000", 0x30);
    tree.Add(0x10, L"HID\\VID_046D&PID_C31C&MI_00\\7&2c6bd3a2&0&0000", 0x20);
    tree.nodes[0x10].properties[kPropAddress] = NumberProperty(7, kRegDword, 4);
    tree.nodes[0x10].properties[kPropFriendlyName] = StringProperty(u"HID Keyboard Device");
    tree.hubs.push_back({200, true, 0x55, L"\\\\?\\other-hub"});
    tree.hubs.push_back({4000, true, 0x40, L"\\\\?\\oversized-detail"});
    tree.hubs.push_back({180, true, 0x40, L"\\\\?\\usb#root_hub30"});
    tree.hubSpeeds[L"\\\\?\\usb#root_hub30"] = 2;
}

TEST(DeviceInstanceId, DerivedFromRawInputName) {
    EXPECT_EQ(InstanceIdFromDeviceName(kUsbName),
              L"HID\\VID_046D&PID_C31C&MI_00\\7&2c6bd3a2&0&0000");
    EXPECT_EQ(InstanceIdFromDeviceName(L"\\\\?\\ACPI#PNP0303#4&1d401fb5&0#"
                                       L"{884b96c3-56ef-11d1-bc8c-00a0c91405dd}"),
              L"ACPI\\PNP0303\\4&1d401fb5&0");
    // Without any "#" nothing is cut off, and a name too short for the prefix gives nothing.
    EXPECT_EQ(InstanceIdFromDeviceName(L"\\\\?\\RDP_KBD"), L"RDP_KBD");
    EXPECT_EQ(InstanceIdFromDeviceName(L"\\\\?\\"), L"");
    EXPECT_EQ(InstanceIdFromDeviceName(L""), L"");
}

TEST(DeviceClassification, KindFromInstanceAndParentIds) {
    const std::wstring usb = L"USB\\VID_1&PID_2\\1";
    const std::wstring bth = L"BTHENUM\\{00001124-0000}\\8&1";
    const std::wstring root = L"ROOT\\SYSTEM\\0000";
    EXPECT_EQ(ClassifyConnection(L"ACPI\\PNP0303\\4&1", nullptr), ConnectionType::PS2);
    EXPECT_EQ(ClassifyConnection(L"HID\\VID_1\\7&1", &usb), ConnectionType::USB);
    EXPECT_EQ(ClassifyConnection(L"HID\\{00001124}\\9&1", &bth), ConnectionType::Bluetooth);
    EXPECT_EQ(ClassifyConnection(L"HID\\VID_1\\7&1", &root), ConnectionType::Unknown);
    EXPECT_EQ(ClassifyConnection(L"HID\\VID_1\\7&1", nullptr), ConnectionType::Unknown);
    EXPECT_EQ(ClassifyConnection(L"Root\\RDP_KBD\\0000", &usb), ConnectionType::Unknown);
    // Prefixes are compared exactly.
    EXPECT_EQ(ClassifyConnection(L"acpi\\PNP0303\\4&1", nullptr), ConnectionType::Unknown);
}

TEST(DeviceTexts, SpeedAndPortLines) {
    EXPECT_EQ(UsbDetailsText(DeviceTextDefault, 7, 2), L"USB ID:  007\nUSB Speed:  High");
    EXPECT_EQ(UsbDetailsText(DeviceTextDefault, 1234, 0), L"USB ID:  1234\nUSB Speed:  Low");
    EXPECT_EQ(UsbDetailsText(DeviceTextDefault, 0, 3), L"USB ID:  000\nUSB Speed:  Super");
    EXPECT_EQ(UsbDetailsText(DeviceTextDefault, 0, 4), L"USB ID:  000\nUSB Speed:  Unknown");
    EXPECT_EQ(DeviceTextDefault(SpeedTextId(1)), L"USB Speed:  Full");
    EXPECT_STREQ(RegistryKindName(5), L"DWORD_BIG_ENDIAN");
    EXPECT_STREQ(RegistryKindName(11), L"QWORD");
    EXPECT_STREQ(RegistryKindName(12), L"Unknown");
}

TEST(DeviceHubQuery, PackedBufferAndSpeedByte) {
    const auto query = BuildHubQuery(0x01020307);
    EXPECT_EQ(query.size(), 35u);
    EXPECT_EQ(query[0], 0x07);
    EXPECT_EQ(query[3], 0x01);
    for (std::size_t i = 4; i < query.size(); ++i) {
        EXPECT_EQ(query[i], 0) << i;
    }
    std::array<std::uint8_t, 35> answer{};
    answer[23] = 3;
    std::uint32_t speed = 9;
    EXPECT_TRUE(ParseHubSpeed(answer.data(), 35, speed));
    EXPECT_EQ(speed, 3u);
    EXPECT_FALSE(ParseHubSpeed(answer.data(), 23, speed));
}

TEST(DevicePropertyReaders, KindsAndMismatches) {
    CapturedLog log;
    std::wstring text;
    EXPECT_TRUE(ReadStringProperty(StringProperty(u"Keyboard", kRegExpandSz), text));
    EXPECT_EQ(text, L"Keyboard");
    RawProperty empty;
    empty.status = RawProperty::Status::NoData;
    EXPECT_TRUE(ReadStringProperty(empty, text));
    EXPECT_EQ(text, L"");
    std::uint32_t dword = 0;
    EXPECT_FALSE(ReadDwordProperty(empty, dword));
    EXPECT_EQ(log.Text(), L"");

    EXPECT_FALSE(ReadDwordProperty(StringProperty(u"x"), dword));
    EXPECT_EQ(log.Text(), L"Incompatible data type (1 - SZ), expected DWORD.\n");
    log.Clear();
    EXPECT_FALSE(ReadStringProperty(NumberProperty(1, kRegDword, 4), text));
    EXPECT_EQ(log.Text(), L"Incompatible data type (4 - DWORD), expected string.\n");
    log.Clear();

    RawProperty failed;
    failed.status = RawProperty::Status::ReadError;
    failed.error = 0x7A;
    EXPECT_FALSE(ReadQwordProperty(failed, *std::make_unique<std::uint64_t>()));
    EXPECT_EQ(log.Text(), L"SetupDiDeviceRegistryProperty failed!  (0x0000007a)\n");
    log.Clear();

    // Too few bytes for the kind is a failed read, not a read past the buffer.
    EXPECT_FALSE(ReadDwordProperty(NumberProperty(1, kRegDword, 2), dword));

    RawProperty multi;
    multi.status = RawProperty::Status::Ok;
    multi.kind = kRegMultiSz;
    multi.data = Utf16Bytes(u"HID\\VID_1");
    const auto second = Utf16Bytes(u"HID_DEVICE");
    multi.data.insert(multi.data.end(), second.begin(), second.end());
    multi.data.push_back(0);
    multi.data.push_back(0);
    const auto ignored = Utf16Bytes(u"after the end");
    multi.data.insert(multi.data.end(), ignored.begin(), ignored.end());
    std::vector<std::wstring> values;
    EXPECT_TRUE(ReadMultiStringProperty(multi, values));
    EXPECT_EQ(values, (std::vector<std::wstring>{L"HID\\VID_1", L"HID_DEVICE"}));

    // A character outside the basic plane arrives as a surrogate pair and stays one character.
    EXPECT_TRUE(ReadStringProperty(StringProperty(u"K\U0001F600"), text));
    EXPECT_EQ(text, L"K\U0001F600");
}

TEST(DeviceDumpProperty, LineFormats) {
    FakeDeviceTree tree;
    tree.Add(0x10, L"HID\\X\\1", 0);
    auto& properties = tree.nodes[0x10].properties;
    properties[kPropAddress] = NumberProperty(3, kRegDword, 4);
    properties[kPropDeviceDesc] = StringProperty(u"HID Keyboard Device");
    properties[kPropHardwareId] = StringProperty(u"HID\\VID_1", kRegMultiSz);
    properties[kPropHardwareId].data.push_back(0);
    properties[kPropHardwareId].data.push_back(0);
    properties[kPropClassGuid] = StringProperty(u"{4d36e96b-e325-11ce-bfc1-08002be10318}");
    properties[kPropFriendlyName] = NumberProperty(5, kRegDword, 4);
    const std::uint32_t kQwordProperty = 0x40;
    properties[kQwordProperty] = NumberProperty(0xFFFFFFFFFFFFFFFEull, kRegQword, 8);

    auto set = tree.CreateEmptySet();
    const DeviceNode node{0x10, 0};
    CapturedLog log;
    DumpDeviceProperties(*set, node, 4);
    EXPECT_EQ(log.Text(), L"    Device Instance:  0x00000010.\n"
                          L"    Address:  \"3\".\n"
                          L"    Bus number:  failed.\n"
                          L"    Description:  \"HID Keyboard Device\".\n"
                          L"    Enumerator:  failed.\n"
                          L"    Hardware IDs:  (1 values)\n"
                          L"        \"HID\\VID_1\"\n"
                          L"Incompatible data type (4 - DWORD), expected string.\n"
                          L"    Friendly name:  failed.\n"
                          L"    PDO name:  failed.\n"
                          L"    Setup class GUID:  \"{4d36e96b-e325-11ce-bfc1-08002be10318}\" "
                          L"(\"Keyboard\").\n");
    log.Clear();
    DumpRegistryProperty(*set, node, kQwordProperty, kRegQword, L"Big", 0);
    DumpRegistryProperty(*set, node, kPropAddress, kRegBinary, L"Raw", 2);
    properties[kPropClassGuid] = StringProperty(u"{not a guid}");
    DumpRegistryProperty(*set, node, kPropClassGuid, kRegSz, L"Setup class GUID", 0);
    EXPECT_EQ(log.Text(),
              L"Big:  \"18446744073709551614\".\n"
              L"  DumpRegistryProperty(Raw):  Unknown data type (3 - BINARY)\n"
              L"Setup class GUID:  \"{not a guid}\" (\"Unable to get class name.\").\n");
}

TEST(DeviceIdentification, UsbKeyboardUnderCompositeDeviceAndHub) {
    FakeDeviceTree tree;
    BuildUsbTree(tree);
    CapturedLog log;
    const auto result = IdentifyDevice(tree, DeviceTextDefault);
    EXPECT_TRUE(result.detected);
    EXPECT_EQ(result.interfaceText, L"USB");
    EXPECT_EQ(result.details, L"USB ID:  007\nUSB Speed:  High\nHID Keyboard Device");
    EXPECT_EQ(tree.queriedPort, 7u);
    EXPECT_EQ(tree.liveSets, 0);
    EXPECT_EQ(tree.setsCreated, 3);
    EXPECT_EQ(tree.nameReads, 1); // the name is read once per identification
    const auto& text = log.Text();
    EXPECT_NE(text.find(L"Device port number is 7.\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"****Great-Grandparent:****\n            Device Instance:  0x00000040.\n"),
              std::wstring::npos);
    EXPECT_NE(text.find(L"     Looking for DEVINST 0x00000040, examining 0x00000055...  No match.\n"
                        L"     Looking for DEVINST 0x00000040, examining 0x00000040...  MATCH!\n"),
              std::wstring::npos);
    EXPECT_NE(text.find(L"Retrieved friendly name \"HID Keyboard Device\"\n."), std::wstring::npos);
    EXPECT_NE(text.find(L"GetName - name already stored.\n"), std::wstring::npos);
}

TEST(DeviceIdentification, UsbKeyboardWithoutCompositeDeviceKeepsSpeedZero) {
    FakeDeviceTree tree;
    BuildUsbTree(tree);
    // HID collection directly under the USB device, which hangs under the hub: the
    // great-grandparent is the hub's own parent, which matches no hub interface.
    tree.Add(0x10, L"HID\\VID_046D&PID_C31C&MI_00\\7&2c6bd3a2&0&0000", 0x30);
    tree.Add(0x40, L"USB\\ROOT_HUB30\\4&1b2c3d&0&0", 0x50);
    tree.Add(0x50, L"PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0", 0);
    CapturedLog log;
    const auto result = IdentifyDevice(tree, DeviceTextDefault);
    EXPECT_EQ(result.interfaceText, L"USB");
    EXPECT_EQ(result.details, L"USB ID:  007\nUSB Speed:  Low\nHID Keyboard Device");
    EXPECT_NE(log.Text().find(L"Unable to enumerate device interfaces (0x00000103).\n"),
              std::wstring::npos);
    EXPECT_EQ(tree.liveSets, 0);
}

TEST(DeviceIdentification, Ps2BluetoothAndRootKeyboards) {
    {
        FakeDeviceTree tree;
        tree.deviceName =
            L"\\\\?\\ACPI#PNP0303#4&1d401fb5&0#{884b96c3-56ef-11d1-bc8c-00a0c91405dd}";
        tree.Add(0x10, L"ACPI\\PNP0303\\4&1d401fb5&0", 0);
        tree.nodes[0x10].properties[kPropDeviceDesc] = StringProperty(u"Standard PS/2 Keyboard");
        CapturedLog log;
        const auto result = IdentifyDevice(tree, DeviceTextDefault);
        EXPECT_EQ(result.interfaceText, L"PS/2");
        EXPECT_EQ(result.details, L"Standard PS/2 Keyboard");
        EXPECT_NE(log.Text().find(L"Retrieved device desc  \"Standard PS/2 Keyboard\".\n"),
                  std::wstring::npos);
        EXPECT_EQ(tree.liveSets, 0);
    }
    {
        FakeDeviceTree tree;
        tree.deviceName = L"\\\\?\\HID#{00001124-0000-1000-8000-00805f9b34fb}_VID&0002046d#"
                          L"9&2f1&0&0000#{884b96c3-56ef-11d1-bc8c-00a0c91405dd}";
        tree.Add(0x20, L"BTHENUM\\{00001124-0000-1000-8000-00805f9b34fb}\\8&1", 0);
        tree.Add(0x10, L"HID\\{00001124-0000-1000-8000-00805f9b34fb}_VID&0002046d\\9&2f1&0&0000",
                 0x20);
        const auto result = IdentifyDevice(tree, DeviceTextDefault);
        EXPECT_EQ(result.interfaceText, L"Bluetooth");
        EXPECT_EQ(result.details, L""); // no name properties at all
        EXPECT_EQ(tree.liveSets, 0);
    }
    {
        FakeDeviceTree tree;
        tree.deviceName = L"\\\\?\\Root#RDP_KBD#0000#{884b96c3-56ef-11d1-bc8c-00a0c91405dd}";
        tree.Add(0x10, L"Root\\RDP_KBD\\0000", 0);
        tree.nodes[0x10].properties[kPropFriendlyName] =
            StringProperty(u"Terminal Server Keyboard");
        const auto result = IdentifyDevice(tree, DeviceTextDefault);
        EXPECT_TRUE(result.detected);
        EXPECT_EQ(result.interfaceText, L"Unknown");
        EXPECT_EQ(result.details, L"Terminal Server Keyboard");
    }
}

TEST(DeviceIdentification, FailuresKeepPreviousInterfaceText) {
    FakeDeviceTree tree;
    tree.deviceName = L"\\\\?\\RDP_KBD"; // no "#": the instance ID opens nothing
    tree.nameRead = DeviceServices::NameRead::LengthFailed;
    CapturedLog log;
    auto result = IdentifyDevice(tree, DeviceTextDefault);
    EXPECT_FALSE(result.detected);
    EXPECT_EQ(result.details, L"");
    EXPECT_NE(log.Text().find(L"Unable to get device name length.\n"), std::wstring::npos);

    tree.nameRead = DeviceServices::NameRead::Ok;
    tree.failSets = true;
    log.Clear();
    result = IdentifyDevice(tree, DeviceTextDefault);
    EXPECT_FALSE(result.detected);
    EXPECT_NE(log.Text().find(L"SetupDiCreateDeviceInfoList failed!  (0x00000103)\n"),
              std::wstring::npos);

    tree.failSets = false;
    log.Clear();
    result = IdentifyDevice(tree, DeviceTextDefault);
    EXPECT_EQ(result.interfaceText, L"Unknown");
    EXPECT_NE(log.Text().find(L"Unable to open device info (0x00000103)\n"), std::wstring::npos);
    EXPECT_EQ(tree.liveSets, 0);
}

} // namespace
