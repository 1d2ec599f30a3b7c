#include "devices/device_identity.h"

#include "base/diagnostic_log.h"
#include "base/utf8.h"

namespace {

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Indentation is written with "%*ls" and an empty string so that every line of a node lines
// up however deep it sits.
const wchar_t* const kNoText = L"";

} // namespace

std::wstring DeviceTextDefault(int id) {
    switch (id) {
    case kTextInterfaceUnknown:
        return L"Unknown";
    case kTextInterfaceUsb:
        return L"USB";
    case kTextInterfacePs2:
        return L"PS/2";
    case kTextInterfaceBluetooth:
        return L"Bluetooth";
    case kTextSpeedLow:
        return L"USB Speed:  Low";
    case kTextSpeedFull:
        return L"USB Speed:  Full";
    case kTextSpeedHigh:
        return L"USB Speed:  High";
    case kTextSpeedSuper:
        return L"USB Speed:  Super";
    case kTextUsbPortFormat:
        return L"USB ID:  %03d";
    case kTextSpeedUnknown:
        return L"USB Speed:  Unknown";
    default:
        return std::wstring();
    }
}

const wchar_t* RegistryKindName(std::uint32_t kind) {
    static const wchar_t* const names[] = {
        L"NONE",
        L"SZ",
        L"EXPAND_SZ",
        L"BINARY",
        L"DWORD",
        L"DWORD_BIG_ENDIAN",
        L"LINK",
        L"MULTI_SZ",
        L"RESOURCE_LIST",
        L"FULL_RESOURCE_DESCRIPTOR",
        L"RESOURCE_REQUIREMENTS_LIST",
        L"QWORD",
    };
    return kind < std::size(names) ? names[kind] : L"Unknown";
}

std::wstring InstanceIdFromDeviceName(std::wstring_view deviceName) {
    if (deviceName.size() <= 4) {
        return std::wstring();
    }
    std::wstring id(deviceName.substr(4));
    for (auto& c : id) {
        if (c == L'#') {
            c = L'\\';
        }
    }
    const auto last = id.rfind(L'\\');
    if (last != std::wstring::npos) {
        id.erase(last);
    }
    return id;
}

bool NeedsParentForClassification(std::wstring_view instanceId) {
    return !StartsWith(instanceId, L"ACPI") && StartsWith(instanceId, L"HID");
}

ConnectionType ClassifyConnection(std::wstring_view instanceId, const std::wstring* parentId) {
    if (StartsWith(instanceId, L"ACPI")) {
        return ConnectionType::PS2;
    }
    if (!StartsWith(instanceId, L"HID") || parentId == nullptr) {
        return ConnectionType::Unknown;
    }
    if (StartsWith(*parentId, L"USB")) {
        return ConnectionType::USB;
    }
    if (StartsWith(*parentId, L"BTH")) {
        return ConnectionType::Bluetooth;
    }
    return ConnectionType::Unknown;
}

int InterfaceTextId(ConnectionType kind) {
    switch (kind) {
    case ConnectionType::USB:
        return kTextInterfaceUsb;
    case ConnectionType::PS2:
        return kTextInterfacePs2;
    case ConnectionType::Bluetooth:
        return kTextInterfaceBluetooth;
    default:
        return kTextInterfaceUnknown;
    }
}

int SpeedTextId(std::uint32_t speed) {
    switch (speed) {
    case 0:
        return kTextSpeedLow;
    case 1:
        return kTextSpeedFull;
    case 2:
        return kTextSpeedHigh;
    case 3:
        return kTextSpeedSuper;
    default:
        return kTextSpeedUnknown;
    }
}

std::array<std::uint8_t, kHubQuerySize> BuildHubQuery(std::uint32_t port) {
    std::array<std::uint8_t, kHubQuerySize> query{};
    for (int i = 0; i < 4; ++i) {
        query[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(port >> (8 * i));
    }
    return query;
}

bool ParseHubSpeed(const std::uint8_t* answer, std::size_t returned, std::uint32_t& speed) {
    if (answer == nullptr || returned <= kHubQuerySpeedOffset) {
        return false;
    }
    speed = answer[kHubQuerySpeedOffset];
    return true;
}

std::wstring WideFromUtf16Le(const std::uint8_t* bytes, std::size_t size) {
    // Registry strings end at their first zero unit, if they have one.
    std::size_t length = 0;
    while (length + 1 < size && (bytes[length] != 0 || bytes[length + 1] != 0)) {
        length += 2;
    }
    return DecodeUtf16(std::string_view(reinterpret_cast<const char*>(bytes), length), false);
}

namespace {

// The shared part of the typed readers: false when there is nothing of the expected kind.
bool CheckProperty(const RawProperty& property, bool kindMatches, const wchar_t* mismatch) {
    switch (property.status) {
    case RawProperty::Status::Missing:
    case RawProperty::Status::NoData:
        return false;
    case RawProperty::Status::ReadError:
        LogMessage(L"SetupDiDeviceRegistryProperty failed!  (0x%08x)\n", property.error);
        return false;
    case RawProperty::Status::Ok:
        break;
    }
    if (!kindMatches) {
        LogMessage(mismatch, static_cast<int>(property.kind), RegistryKindName(property.kind));
        return false;
    }
    return true;
}

bool ReadLittleEndian(const RawProperty& property, std::size_t bytes, std::uint64_t& value) {
    if (property.data.size() < bytes) {
        return false;
    }
    value = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        value |= static_cast<std::uint64_t>(property.data[i]) << (8 * i);
    }
    return true;
}

} // namespace

bool ReadStringProperty(const RawProperty& property, std::wstring& value) {
    if (property.status == RawProperty::Status::NoData) {
        value.clear();
        return true;
    }
    const bool isString = property.kind == kRegSz || property.kind == kRegExpandSz;
    if (!CheckProperty(property, isString,
                       L"Incompatible data type (%d - %ls), expected string.\n")) {
        return false;
    }
    value = WideFromUtf16Le(property.data.data(), property.data.size());
    return true;
}

bool ReadDwordProperty(const RawProperty& property, std::uint32_t& value) {
    std::uint64_t raw = 0;
    if (!CheckProperty(property, property.kind == kRegDword,
                       L"Incompatible data type (%d - %ls), expected DWORD.\n") ||
        !ReadLittleEndian(property, 4, raw)) {
        return false;
    }
    value = static_cast<std::uint32_t>(raw);
    return true;
}

bool ReadMultiStringProperty(const RawProperty& property, std::vector<std::wstring>& values) {
    if (!CheckProperty(property, property.kind == kRegMultiSz,
                       L"Incompatible data type (%d - %ls), expected multi-string.\n")) {
        return false;
    }
    values.clear();
    const auto& data = property.data;
    std::size_t offset = 0;
    while (offset + 1 < data.size()) {
        std::wstring value = WideFromUtf16Le(data.data() + offset, data.size() - offset);
        if (value.empty()) {
            break;
        }
        // Find the end of this value in code units: the next NUL pair on an even offset.
        std::size_t end = offset;
        while (end + 1 < data.size() && (data[end] != 0 || data[end + 1] != 0)) {
            end += 2;
        }
        values.push_back(std::move(value));
        offset = end + 2;
    }
    return true;
}

bool ReadQwordProperty(const RawProperty& property, std::uint64_t& value) {
    return CheckProperty(property, property.kind == kRegQword,
                         L"Incompatible data type (%d - %ls), expected QWORD.\n") &&
           ReadLittleEndian(property, 8, value);
}

void DumpRegistryProperty(DeviceInfoSet& set, const DeviceNode& node, std::uint32_t property,
                          std::uint32_t expectedKind, const wchar_t* label, int indent) {
    const RawProperty raw = set.ReadProperty(node, property);
    switch (expectedKind) {
    case kRegSz:
    case kRegExpandSz: {
        std::wstring text;
        if (!ReadStringProperty(raw, text)) {
            break;
        }
        if (property == kPropClassGuid) {
            std::wstring className;
            if (!set.ClassNameFromGuid(text, className)) {
                className = L"Unable to get class name.";
            }
            LogMessage(L"%*ls%ls:  \"%ls\" (\"%ls\").\n", indent, kNoText, label, text.c_str(),
                       className.c_str());
        } else {
            LogMessage(L"%*ls%ls:  \"%ls\".\n", indent, kNoText, label, text.c_str());
        }
        return;
    }
    case kRegDword: {
        std::uint32_t value = 0;
        if (!ReadDwordProperty(raw, value)) {
            break;
        }
        LogMessage(L"%*ls%ls:  \"%d\".\n", indent, kNoText, label, static_cast<int>(value));
        return;
    }
    case kRegMultiSz: {
        std::vector<std::wstring> values;
        if (!ReadMultiStringProperty(raw, values)) {
            break;
        }
        LogMessage(L"%*ls%ls:  (%d values)\n", indent, kNoText, label,
                   static_cast<int>(values.size()));
        for (const auto& value : values) {
            LogMessage(L"%*ls\"%ls\"\n", indent + 4, kNoText, value.c_str());
        }
        return;
    }
    case kRegQword: {
        std::uint64_t value = 0;
        if (!ReadQwordProperty(raw, value)) {
            break;
        }
        LogMessage(L"%*ls%ls:  \"%llu\".\n", indent, kNoText, label,
                   static_cast<unsigned long long>(value));
        return;
    }
    default:
        LogMessage(L"%*lsDumpRegistryProperty(%ls):  Unknown data type (%d - %ls)\n", indent,
                   kNoText, label, static_cast<int>(expectedKind), RegistryKindName(expectedKind));
        return;
    }
    LogMessage(L"%*ls%ls:  failed.\n", indent, kNoText, label);
}

void DumpDeviceProperties(DeviceInfoSet& set, const DeviceNode& node, int indent) {
    LogMessage(L"%*ls%ls:  0x%08x.\n", indent, kNoText, L"Device Instance", node.devInst);
    DumpRegistryProperty(set, node, kPropAddress, kRegDword, L"Address", indent);
    DumpRegistryProperty(set, node, kPropBusNumber, kRegDword, L"Bus number", indent);
    DumpRegistryProperty(set, node, kPropDeviceDesc, kRegSz, L"Description", indent);
    DumpRegistryProperty(set, node, kPropEnumeratorName, kRegSz, L"Enumerator", indent);
    DumpRegistryProperty(set, node, kPropHardwareId, kRegMultiSz, L"Hardware IDs", indent);
    DumpRegistryProperty(set, node, kPropFriendlyName, kRegSz, L"Friendly name", indent);
    DumpRegistryProperty(set, node, kPropPdoName, kRegSz, L"PDO name", indent);
    DumpRegistryProperty(set, node, kPropClassGuid, kRegSz, L"Setup class GUID", indent);
}

bool DeviceIdentifier::GetName(std::wstring& name) {
    if (!name_.empty()) {
        LogMessage(L"GetName - name already stored.\n");
        name = name_;
        return true;
    }
    std::wstring buffer;
    std::uint32_t indicated = 0;
    switch (services_.ReadDeviceName(buffer, indicated)) {
    case DeviceServices::NameRead::LengthFailed:
        LogMessage(L"Unable to get device name length.\n");
        return false;
    case DeviceServices::NameRead::DataFailed:
        LogMessage(L"Unable to get device name data.\n");
        return false;
    case DeviceServices::NameRead::Ok:
        break;
    }
    const auto terminator = buffer.find(L'\0');
    if (terminator != std::wstring::npos) {
        buffer.erase(terminator);
    }
    LogMessage(L"Device name:  %ls (indicated length %d, actual length %d).\n", buffer.c_str(),
               static_cast<int>(indicated), static_cast<int>(buffer.size()));
    name_ = buffer;
    name = buffer;
    return true;
}

bool DeviceIdentifier::DetectInterface(ConnectionType& kind) {
    std::wstring name;
    if (!GetName(name)) {
        return false;
    }
    const std::wstring instanceId = InstanceIdFromDeviceName(name);
    const auto set = services_.CreateEmptySet();
    if (!set) {
        LogMessage(L"SetupDiCreateDeviceInfoList failed!  (0x%08x)\n", services_.LastError());
        return false;
    }
    const std::wstring* parentId = nullptr;
    std::wstring parent;
    if (NeedsParentForClassification(instanceId)) {
        DeviceNode node;
        DevInst parentNode = 0;
        if (set->Open(instanceId, node) && services_.NodeStatusOk(node.devInst) &&
            services_.GetParent(node.devInst, parentNode) &&
            services_.GetDeviceId(parentNode, parent)) {
            parentId = &parent;
        }
    }
    kind = ClassifyConnection(instanceId, parentId);
    return true;
}

bool DeviceIdentifier::WalkToAncestor(DeviceInfoSet& set, DevInst from, DevInst& node,
                                      std::wstring& id, DeviceNode& opened) {
    return services_.GetParent(from, node) && services_.GetDeviceId(node, id) &&
           set.Open(id, opened);
}

bool DeviceIdentifier::GetUsbPortAndSpeed(std::uint32_t& port, std::uint32_t& speed) {
    port = 0;
    speed = 0;
    std::wstring name;
    if (!GetName(name)) {
        return false;
    }
    const std::wstring instanceId = InstanceIdFromDeviceName(name);
    const auto set = services_.CreateHubInterfaceSet();
    if (!set) {
        LogMessage(L"SetupDiCreateDeviceInfoList failed!  (0x%08x)\n", services_.LastError());
        return false;
    }
    DeviceNode device;
    if (!set->Open(instanceId, device)) {
        LogMessage(L"SetupDiOpenDeviceInfo failed!  (0x%08x)\n", services_.LastError());
        return true;
    }
    if (!ReadDwordProperty(set->ReadProperty(device, kPropAddress), port)) {
        port = 0;
    }
    LogMessage(L"Device port number is %d.\n", static_cast<int>(port));
    if (!services_.NodeStatusOk(device.devInst)) {
        return true;
    }
    DumpDeviceProperties(*set, device, 4);

    DevInst parentNode = 0;
    std::wstring parentId;
    DeviceNode parent;
    if (!WalkToAncestor(*set, device.devInst, parentNode, parentId, parent)) {
        return true;
    }
    LogMessage(L"****Parent:****\n");
    DumpDeviceProperties(*set, parent, 4);
    if (parentId.compare(0, 3, L"USB") != 0) {
        return false;
    }

    DevInst grandparentNode = 0;
    std::wstring grandparentId;
    DeviceNode grandparent;
    if (!WalkToAncestor(*set, parentNode, grandparentNode, grandparentId, grandparent)) {
        return true;
    }
    LogMessage(L"****Grandparent:****\n");
    DumpDeviceProperties(*set, grandparent, 8);

    // A keyboard's HID collection hangs under a USB interface of a composite device, which
    // hangs under the hub: the great-grandparent is taken to be the hub.
    DevInst hubNode = 0;
    std::wstring hubId;
    DeviceNode hub;
    if (!WalkToAncestor(*set, grandparentNode, hubNode, hubId, hub)) {
        return true;
    }
    LogMessage(L"****Great-Grandparent:****\n");
    DumpDeviceProperties(*set, hub, 12);

    for (std::uint32_t index = 0;; ++index) {
        HubInterface candidate;
        if (!set->EnumHubInterface(index, candidate)) {
            LogMessage(L"Unable to enumerate device interfaces (0x%08x).\n", services_.LastError());
            return true;
        }
        if (candidate.detailSize == 0 || candidate.detailSize > 1024 || !candidate.detailRead) {
            continue;
        }
        LogMessage(L"     Looking for DEVINST 0x%08x, examining 0x%08x...  ", hubNode,
                   candidate.devInst);
        if (candidate.devInst != hubNode) {
            LogMessage(L"No match.\n");
            continue;
        }
        LogMessage(L"MATCH!\n");
        std::uint32_t answer = 0;
        if (services_.QueryHubSpeed(candidate.devicePath, port, answer)) {
            speed = answer;
        }
        return true;
    }
}

bool DeviceIdentifier::GetFriendlyName(std::wstring& name) {
    std::wstring deviceName;
    std::wstring instanceId;
    if (GetName(deviceName)) {
        instanceId = InstanceIdFromDeviceName(deviceName);
    }
    const auto set = services_.CreateHubInterfaceSet();
    if (!set) {
        LogMessage(L"SetupDiCreateDeviceInfoList failed!  (0x%08x)\n", services_.LastError());
        return false;
    }
    name.clear();
    DeviceNode device;
    if (!set->Open(instanceId, device)) {
        LogMessage(L"Unable to open device info (0x%08x)\n", services_.LastError());
        return false;
    }
    if (ReadStringProperty(set->ReadProperty(device, kPropFriendlyName), name)) {
        LogMessage(L"Retrieved friendly name \"%ls\"\n.", name.c_str());
    } else if (ReadStringProperty(set->ReadProperty(device, kPropDeviceDesc), name)) {
        LogMessage(L"Retrieved device desc  \"%ls\".\n", name.c_str());
    } else {
        name.clear();
        LogMessage(L"Failed entirely to get device name.\n");
    }
    return !name.empty();
}

std::wstring UsbDetailsText(const TextLookup& texts, std::uint32_t port, std::uint32_t speed) {
    // The port format comes from the string table; only its one number field is filled, so
    // a translated text can never make the formatter read arguments that are not there.
    std::wstring portLine = texts(kTextUsbPortFormat);
    const std::wstring field = L"%03d";
    const auto at = portLine.find(field);
    if (at != std::wstring::npos) {
        portLine.replace(at, field.size(), FormatWide(L"%03u", static_cast<unsigned>(port)));
    }
    return portLine + L"\n" + texts(SpeedTextId(speed));
}

IdentificationResult IdentifyDevice(DeviceServices& services, const TextLookup& texts) {
    IdentificationResult result;
    DeviceIdentifier identifier(services);
    ConnectionType kind = ConnectionType::Unknown;
    if (identifier.DetectInterface(kind)) {
        result.detected = true;
        result.interfaceText = texts(InterfaceTextId(kind));
        if (kind == ConnectionType::USB) {
            std::uint32_t port = 0;
            std::uint32_t speed = 0;
            if (identifier.GetUsbPortAndSpeed(port, speed)) {
                result.details = UsbDetailsText(texts, port, speed);
            }
        }
    }
    std::wstring friendly;
    if (identifier.GetFriendlyName(friendly)) {
        result.details = result.details.empty() ? friendly : result.details + L"\n" + friendly;
    }
    return result;
}
