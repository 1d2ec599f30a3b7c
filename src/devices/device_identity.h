#pragma once
// Which keyboard is sending: the rules that turn the device services' answers into an
// interface kind, a USB port and speed, a friendly name and the property lines of the
// diagnostic log. The services themselves sit behind DeviceServices, so the same rules run
// against the Windows device tree and against a hand-made tree in the tests.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum class ConnectionType : int {
    Unknown = 0,
    USB = 1,
    PS2 = 2,
    Bluetooth = 3,
};

// String-table ids of the interface texts.
constexpr int kTextInterfaceUnknown = 139;
constexpr int kTextInterfaceUsb = 140;
constexpr int kTextInterfacePs2 = 141;
constexpr int kTextInterfaceBluetooth = 142;
constexpr int kTextSpeedLow = 143;
constexpr int kTextSpeedFull = 144;
constexpr int kTextSpeedHigh = 145;
constexpr int kTextSpeedSuper = 146;
constexpr int kTextUsbPortFormat = 147;
constexpr int kTextSpeedUnknown = 148;

// The English text of ids 139 to 148 as the string table holds them; empty for other ids.
std::wstring DeviceTextDefault(int id);

// Looks a text up by string-table id (the program reads its resources; tests use the
// defaults above).
using TextLookup = std::function<std::wstring(int id)>;

// Registry value kinds.
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;
constexpr std::uint32_t kRegQword = 11;

// "NONE", "SZ", ... "QWORD"; "Unknown" for any other number.
const wchar_t* RegistryKindName(std::uint32_t kind);

// Device registry properties (SPDRP_ values).
constexpr std::uint32_t kPropDeviceDesc = 0x00;
constexpr std::uint32_t kPropHardwareId = 0x01;
constexpr std::uint32_t kPropClassGuid = 0x08;
constexpr std::uint32_t kPropFriendlyName = 0x0C;
constexpr std::uint32_t kPropPdoName = 0x0E;
constexpr std::uint32_t kPropBusNumber = 0x15;
constexpr std::uint32_t kPropEnumeratorName = 0x16;
constexpr std::uint32_t kPropAddress = 0x1C;

// The device instance ID inside a raw input device name such as
// \\?\HID#VID_045E&PID_00DB&MI_00#7&1a2b3c&0&0000#{884b96c3-...}: the first four characters
// dropped, every "#" made a "\", and everything from the last "\" on removed. A name of four
// characters or fewer gives an empty ID; a name without any "#" keeps all its characters.
std::wstring InstanceIdFromDeviceName(std::wstring_view deviceName);

// "ACPI..." is PS/2; "HID..." depends on the parent ("USB..." or "BTH..."); anything else,
// and a HID collection whose parent could not be read (parentId null), is Unknown.
bool NeedsParentForClassification(std::wstring_view instanceId);
ConnectionType ClassifyConnection(std::wstring_view instanceId, const std::wstring* parentId);

// Text id of an interface kind and of a USB speed (USB_DEVICE_SPEED 0 to 3, else unknown).
int InterfaceTextId(ConnectionType kind);
int SpeedTextId(std::uint32_t speed);

// The hub connection query: a 35-byte, byte-packed USB_NODE_CONNECTION_INFORMATION_EX without
// pipe entries, ConnectionIndex in the first four bytes; Speed is the byte at offset 23.
constexpr std::size_t kHubQuerySize = 35;
constexpr std::size_t kHubQuerySpeedOffset = 23;
constexpr std::uint32_t kIoctlUsbGetNodeConnectionInformationEx = 0x220448;
std::array<std::uint8_t, kHubQuerySize> BuildHubQuery(std::uint32_t port);
// false when the answer is too short to hold the speed byte.
bool ParseHubSpeed(const std::uint8_t* answer, std::size_t returned, std::uint32_t& speed);

// A registry property as the device services returned it.
struct RawProperty {
    enum class Status {
        Ok,        // kind and data are valid
        NoData,    // the size query itself succeeded: the property holds nothing
        Missing,   // the size query reported 0 bytes: fails without a message
        ReadError, // the second call failed with `error`
    };
    Status status = Status::Missing;
    std::uint32_t kind = kRegNone;
    std::vector<std::uint8_t> data;
    std::uint32_t error = 0;
};

// Typed readers: each writes the raw read's failure and a kind mismatch to the diagnostic log.
// A property without data reads as an empty string and fails for the other kinds.
bool ReadStringProperty(const RawProperty& property, std::wstring& value);
bool ReadDwordProperty(const RawProperty& property, std::uint32_t& value);
bool ReadMultiStringProperty(const RawProperty& property, std::vector<std::wstring>& values);
bool ReadQwordProperty(const RawProperty& property, std::uint64_t& value);

// UTF-16LE bytes up to the first NUL (or the end) as a wide string, whatever wchar_t's width.
std::wstring WideFromUtf16Le(const std::uint8_t* bytes, std::size_t size);

using DevInst = std::uint32_t;

// A device node opened into a device information set.
struct DeviceNode {
    DevInst devInst = 0;
    std::size_t record = 0; // the set's own index of its information record
};

struct HubInterface {
    std::uint32_t detailSize = 0; // bytes the interface detail data needs
    bool detailRead = false;      // detail data and information record read
    DevInst devInst = 0;
    std::wstring devicePath;
};

// A device information set; destroying the object releases the set.
class DeviceInfoSet {
public:
    virtual ~DeviceInfoSet() = default;
    // Opens a device by instance ID into the set.
    virtual bool Open(const std::wstring& instanceId, DeviceNode& node) = 0;
    virtual RawProperty ReadProperty(const DeviceNode& node, std::uint32_t property) = 0;
    // The hub interface at index; false when the enumeration fails or has ended.
    virtual bool EnumHubInterface(std::uint32_t index, HubInterface& hub) = 0;
    // The setup class name of a GUID text; false when it cannot be named.
    virtual bool ClassNameFromGuid(const std::wstring& guidText, std::wstring& name) = 0;
};

class DeviceServices {
public:
    enum class NameRead { Ok, LengthFailed, DataFailed };

    virtual ~DeviceServices() = default;
    // The raw input device name; `buffer` may hold a terminator and anything after it.
    virtual NameRead ReadDeviceName(std::wstring& buffer, std::uint32_t& indicatedLength) = 0;
    virtual std::unique_ptr<DeviceInfoSet> CreateEmptySet() = 0;
    virtual std::unique_ptr<DeviceInfoSet> CreateHubInterfaceSet() = 0;
    virtual bool NodeStatusOk(DevInst node) = 0;
    virtual bool GetParent(DevInst node, DevInst& parent) = 0;
    virtual bool GetDeviceId(DevInst node, std::wstring& instanceId) = 0;
    // Opens the hub, sends the connection query for the port and closes it again; false when
    // the hub cannot be opened or the request fails.
    virtual bool QueryHubSpeed(const std::wstring& hubPath, std::uint32_t port,
                               std::uint32_t& speed) = 0;
    // GetLastError of the last failed call.
    virtual std::uint32_t LastError() = 0;
};

// One property line (or block of lines) of the diagnostic log.
void DumpRegistryProperty(DeviceInfoSet& set, const DeviceNode& node, std::uint32_t property,
                          std::uint32_t expectedKind, const wchar_t* label, int indent);
// The "Device Instance" line and the eight properties of one node.
void DumpDeviceProperties(DeviceInfoSet& set, const DeviceNode& node, int indent);

// One identification of one raw input device.
class DeviceIdentifier {
public:
    explicit DeviceIdentifier(DeviceServices& services) : services_(services) {}

    bool GetName(std::wstring& name);
    bool DetectInterface(ConnectionType& kind);
    // Port and speed stay 0 where they could not be read.
    bool GetUsbPortAndSpeed(std::uint32_t& port, std::uint32_t& speed);
    bool GetFriendlyName(std::wstring& name);

private:
    bool WalkToAncestor(DeviceInfoSet& set, DevInst from, DevInst& node, std::wstring& id,
                        DeviceNode& opened);
    DeviceServices& services_;
    std::wstring name_;
};

struct IdentificationResult {
    bool detected = false; // false: the interface field keeps its previous text
    std::wstring interfaceText;
    std::wstring details; // may be empty; lines separated by "\n"
};

// Interface detection, USB port and speed and friendly name, composed into the two texts.
IdentificationResult IdentifyDevice(DeviceServices& services, const TextLookup& texts);

// "USB ID:  %03d" and the speed line, formatted from the looked-up texts.
std::wstring UsbDetailsText(const TextLookup& texts, std::uint32_t port, std::uint32_t speed);
